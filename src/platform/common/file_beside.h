#pragma once
// A file that takes a name by being written beside it and moved over it: whatever stood under
// the name (a file, a symbolic or hard link, a link to nowhere) is replaced, never opened and
// never written through, and nothing is made outside the name's folder.
//
// The new file has a hidden name of its own in the target's folder (".tolvaran-" and six
// letters), made here with O_EXCL, and is held under an exclusive flock for the life of this
// object, so that RemoveSaveLeftovers tells the partial file of a save that was killed from
// one being written at this moment (by this program or another instance of it).
#include <cstddef>
#include <string>
#include <utility>

namespace tolvaran {

// Returned when the target's name holds a device, FIFO or socket.
inline constexpr int kNameNotAFile = -1;

class FileBeside {
  public:
    // Nothing is made until Create.
    explicit FileBeside(std::string target) : target_(std::move(target)) {}
    // Removes the new file when it was never moved over the target, and closes it.
    ~FileBeside();
    FileBeside(const FileBeside&) = delete;
    FileBeside& operator=(const FileBeside&) = delete;

    // Makes the new file (empty, open for writing). 0, or the errno of the failure;
    // EISDIR or kNameNotAFile when the name holds something that is neither a file nor a
    // link (a folder; a device, FIFO or socket): that is never replaced.
    int Create();
    // Writes every byte (at the end of what was written before). 0, or the errno.
    int Write(const char* data, std::size_t size);
    // Hands what was written to the disk (fsync). 0, or the errno.
    int Sync();
    // Moves the new file over the target in one step: at every moment the name holds the
    // earlier file or the new one. With syncFolder the folder's new entry is handed to the
    // disk too, so that after a power cut the name holds the new file whole. The file stays
    // open for writing. 0, or the errno (then the target is as it was).
    int MoveOver(bool syncFolder);
    // Closes the file (removing it when it was never moved). 0, or the errno of the close.
    int Close();

    // The words for an error these members return.
    static std::string ErrorText(int error);

    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Target() const { return target_; }
    // The hidden name while the file has not been moved; empty before Create.
    const std::string& TemporaryName() const { return temporary_; }

  private:
    std::string target_;
    std::string temporary_;
    int fd_ = -1;
    bool moved_ = false;
};

// The hidden name's mark: a file of the folder named so, and six letters after it, is one of
// this program's files in the making.
inline constexpr const char* kFileBesidePrefix = ".tolvaran-";

// Removes from folder the hidden files of saves that did not finish (a process killed while
// it wrote one): regular files of one link owned by this user, named as FileBeside names
// them, that no writer holds. Files being written now are left alone. Errors are ignored:
// a leftover that cannot be removed now is tried again at the next save.
void RemoveSaveLeftovers(const std::string& folder);

}  // namespace tolvaran
