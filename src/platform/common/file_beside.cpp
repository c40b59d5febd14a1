#include "platform/common/file_beside.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "platform/common/text.h"

namespace tolvaran {

namespace {

constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kNameLetters = 6;

// The folder a path's file is in ("." for a bare name).
std::string FolderOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// A hidden name in target's folder: short, so that it fits wherever the target's name fits.
std::string NameBeside(const std::string& target) {
    thread_local std::mt19937 pick{std::random_device{}()};
    std::string tail = kFileBesidePrefix;
    for (std::size_t i = 0; i < kNameLetters; ++i) tail += kLetters[pick() % (sizeof kLetters - 1)];
    return JoinPath(FolderOf(target), tail);
}

bool IsBesideName(const char* name) {
    const std::size_t prefix = std::strlen(kFileBesidePrefix);
    if (std::strncmp(name, kFileBesidePrefix, prefix) != 0 || std::strlen(name) != prefix + kNameLetters)
        return false;
    for (const char* c = name + prefix; *c != '\0'; ++c)
        if (std::strchr(kLetters, *c) == nullptr) return false;
    return true;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    // A file system that cannot sync a folder (EINVAL) has nothing to hand over.
    return error == EINVAL ? 0 : error;
}

}  // namespace

FileBeside::~FileBeside() {
    Close();
}

std::string FileBeside::ErrorText(int error) {
    if (error == kNameNotAFile) return "the name is taken by a device, pipe or socket";
    return std::strerror(error);
}

int FileBeside::Create() {
    Close();
    moved_ = false;
    struct stat there {};
    if (::lstat(target_.c_str(), &there) == 0 && !S_ISREG(there.st_mode) && !S_ISLNK(there.st_mode))
        return S_ISDIR(there.st_mode) ? EISDIR : kNameNotAFile;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = NameBeside(target_);
        const int fd = ::open(temporary_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            const int error = errno;
            temporary_.clear();
            return error;
        }
        // Held from here on; a cleaner that took the file first (between the open and the
        // lock) removes it, so another name is taken.
        struct stat held {
        }, named{};
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &held) != 0 ||
            ::lstat(temporary_.c_str(), &named) != 0 || !SameFile(held, named)) {
            ::close(fd);
            continue;
        }
        fd_ = fd;
        return 0;
    }
    temporary_.clear();
    return EEXIST;
}

int FileBeside::Write(const char* data, std::size_t size) {
    if (fd_ < 0) return EBADF;
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::write(fd_, data + done, size - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n < 0 && errno != EINTR)
            return errno;
        else if (n == 0)
            return EIO;
    }
    return 0;
}

int FileBeside::Sync() {
    if (fd_ < 0) return EBADF;
    return ::fsync(fd_) == 0 ? 0 : errno;
}

int FileBeside::MoveOver(bool syncFolder) {
    if (fd_ < 0 || moved_) return EBADF;
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) return errno;
    moved_ = true;
    return syncFolder ? SyncFolder(FolderOf(target_)) : 0;
}

int FileBeside::Close() {
    if (fd_ < 0) return 0;
    // Removed while still held, so that no cleaner meets it unheld.
    if (!moved_) ::unlink(temporary_.c_str());
    const int error = ::close(fd_) == 0 ? 0 : errno;
    fd_ = -1;
    return error;
}

void RemoveSaveLeftovers(const std::string& folder) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return;
    const int dfd = ::dirfd(dir);
    const uid_t me = ::geteuid();
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsBesideName(entry->d_name)) continue;
        // Only a file of this user that no other name shares: never a link to another file.
        struct stat named {};
        if (::fstatat(dfd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode) ||
            named.st_nlink != 1 || named.st_uid != me)
            continue;
        const int fd = ::openat(dfd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat held {
        }, again{};
        if (::fstat(fd, &held) == 0 && SameFile(held, named) && held.st_nlink == 1 &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dfd, entry->d_name, &again, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(held, again))
            ::unlinkat(dfd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

}  // namespace tolvaran
