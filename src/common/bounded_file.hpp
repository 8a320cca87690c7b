// Reading a whole file into memory without trusting it: never more than a
// limit, whatever the file is (a pipe, a device that never ends, a file that
// grows while it is read).
#pragma once

#include <cstddef>
#include <cstdint>
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
