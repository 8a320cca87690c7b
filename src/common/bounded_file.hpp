// Reading a whole file into memory without trusting it: never more than a
// limit, whatever the file is (a pipe, a device that never ends, a file that
// grows while it is read).
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>

// The size of a regular file, or nothing for pipes, devices, folders and
// paths that cannot be looked at.
std::optional<std::uintmax_t> RegularFileSize(const std::string& path);

enum class FileRead {
    Failed,      // the file cannot be opened or read (a folder included)
    Whole,       // text holds the whole file
    BeyondLimit, // text holds the first limit bytes; the file goes on
};

// Reads the file at path into text, at most limit bytes of it.
FileRead ReadFileUpTo(const std::string& path, std::size_t limit, std::string& text);

// A regular file read piece by piece at the offsets asked for, for readers
// that need a few parts of a file that may be large: memory holds only the
// pieces, and no read reaches past the size the file had when it was opened.
class FilePieces {
  public:
    // False when path is no regular file or cannot be opened.
    bool Open(const std::string& path);
    std::uintmax_t Size() const { return size_; }
    // Reads the size bytes at offset into bytes. False when they lie beyond
    // the size or cannot be read (a file cut short since it was opened).
    bool ReadAt(std::uintmax_t offset, std::size_t size, std::string& bytes);

  private:
    std::ifstream file_;
    std::uintmax_t size_ = 0;
};
