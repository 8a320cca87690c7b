#include "common/bounded_file.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

// What a file of unknown size (a pipe) is expected to hold at first.
constexpr std::size_t kUnknownSizeGuess = 256 * 1024;
constexpr std::size_t kChunk = 64 * 1024;

// Reads up to limit + 1 bytes (the extra byte tells whether the file goes
// on) into text, whose capacity is set once from the expected size; a file
// of known size is read in one go.
bool ReadBytes(std::ifstream& file, std::string& text, std::size_t limit, std::size_t expected) {
    const std::size_t chunk = std::max(kChunk, expected + 1);
    text.reserve(std::min(expected, limit) + 1);
    while (text.size() <= limit) {
        std::size_t used = text.size();
        std::size_t want = std::min(chunk, limit + 1 - used);
        text.resize(used + want);
        file.read(&text[used], static_cast<std::streamsize>(want));
        text.resize(used + static_cast<std::size_t>(file.gcount()));
        if (file.bad()) {
            return false;
        }
        if (file.eof()) {
            break;
        }
    }
    return true;
}

} // namespace

std::optional<std::uintmax_t> RegularFileSize(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? std::nullopt : std::optional<std::uintmax_t>(size);
}

FileRead ReadFileUpTo(const std::string& path, std::size_t limit, std::string& text) {
    text.clear();
    std::optional<std::uintmax_t> size = RegularFileSize(path);
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return FileRead::Failed;
    }
    std::size_t expected =
        size ? static_cast<std::size_t>(std::min<std::uintmax_t>(*size, limit)) : kUnknownSizeGuess;
    if (!ReadBytes(file, text, limit, expected)) {
        text.clear();
        return FileRead::Failed;
    }
    if (text.size() > limit) {
        text.resize(limit);
        return FileRead::BeyondLimit;
    }
    return FileRead::Whole;
}

bool FilePieces::Open(const std::string& path) {
    std::optional<std::uintmax_t> size = RegularFileSize(path);
    if (!size) {
        return false;
    }
    file_.open(path, std::ios::binary);
    size_ = *size;
    return file_.is_open();
}

bool FilePieces::ReadAt(std::uintmax_t offset, std::size_t size, std::string& bytes) {
    if (!file_.is_open() || offset > size_ || size > size_ - offset) {
        bytes.clear();
        return false;
    }
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(offset));
    bytes.resize(size);
    file_.read(&bytes[0], static_cast<std::streamsize>(size));
    if (static_cast<std::size_t>(file_.gcount()) != size) {
        bytes.clear();
        return false;
    }
    return true;
}
