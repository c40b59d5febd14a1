#pragma once
// Files the program reads whole (report files, report exports, pictures, a data project's
// connection text) are read only when they are regular files, and only up to a size the
// caller states. Anything else under such a name is named in the reason and never opened for
// reading: a FIFO would wait for a writer, a device may never end, a directory "reads" as a
// size of many exabytes.
#include <cstdint>
#include <string>

namespace tolvaran {

// What a path names when it is not a regular file, in words for a message: "a directory", "a
// FIFO (named pipe)", "a character device", "a block device", "a socket"; "" when it is a
// regular file or when nothing is there. Symbolic links are followed.
std::string NotAFileKind(const std::string& path);

// Reads the regular file at path whole into out, when it holds at most maxBytes. Returns ""
// when it did; otherwise why it did not, in words that follow a file's name ("it does not
// exist", "it is a directory, not a file", "it holds 2048 MB, more than the 64 MB allowed",
// "it cannot be read (Permission denied)"), and out is empty.
std::string ReadRegularFile(const std::string& path, std::string& out, std::uint64_t maxBytes);

}  // namespace tolvaran
