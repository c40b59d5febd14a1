#include "platform/common/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tolvaran {

namespace {

std::string KindOf(mode_t mode) {
    if (S_ISREG(mode)) return {};
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

std::string NotAFile(mode_t mode) {
    return "it is " + KindOf(mode) + ", not a file";
}

// A size for a message: whole megabytes from one megabyte on (rounded up, so that a file just
// over a limit never reads as equal to it), bytes below.
std::string SizeText(std::uint64_t bytes) {
    constexpr std::uint64_t kMb = 1024 * 1024;
    if (bytes < kMb) return std::to_string(bytes) + " bytes";
    return std::to_string((bytes + kMb - 1) / kMb) + " MB";
}

std::string TooLarge(std::uint64_t size, std::uint64_t maxBytes) {
    constexpr std::uint64_t kMb = 1024 * 1024;
    const std::string limit =
        maxBytes >= kMb && maxBytes % kMb == 0 ? std::to_string(maxBytes / kMb) + " MB" : SizeText(maxBytes);
    return "it holds " + SizeText(size) + ", more than the " + limit + " allowed";
}

std::string CannotRead(int error) {
    return std::string("it cannot be read (") + std::strerror(error) + ")";
}

}  // namespace

std::string NotAFileKind(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return KindOf(st.st_mode);
}

std::string ReadRegularFile(const std::string& path, std::string& out, std::uint64_t maxBytes) {
    out.clear();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? "it does not exist" : CannotRead(errno);
    if (!S_ISREG(st.st_mode)) return NotAFile(st.st_mode);
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) return TooLarge(st.st_size, maxBytes);
    // Opened without waiting, and looked at again once open: the name may have been given to a
    // FIFO or a device in between.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? "it does not exist" : CannotRead(errno);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &st) != 0) return CannotRead(errno);
    if (!S_ISREG(st.st_mode)) return NotAFile(st.st_mode);
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) return TooLarge(st.st_size, maxBytes);
    std::string bytes(static_cast<size_t>(st.st_size), '\0');
    size_t got = 0;
    for (;;) {
        // A file that grows while it is read is read up to one byte past the limit.
        if (got == bytes.size()) {
            if (got > maxBytes) {
                return TooLarge(got, maxBytes);
            }
            bytes.resize(std::min<std::uint64_t>(maxBytes + 1, std::max<std::uint64_t>(got * 2, got + 4096)));
        }
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return CannotRead(errno);
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    if (got > maxBytes) return TooLarge(got, maxBytes);
    bytes.resize(got);
    out = std::move(bytes);
    return {};
}

}  // namespace tolvaran
