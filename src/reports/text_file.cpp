#include "reports/text_file.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ios>
#include <system_error>

namespace {

const char kLineEnd[] = "\r\n";

std::streambuf* gRoutedBuffer = nullptr;
std::string gProtectedPath;

bool IsProtected(const std::string& name) {
    std::error_code error;
    return !gProtectedPath.empty() && std::filesystem::equivalent(name, gProtectedPath, error);
}

bool WriteAll(std::streambuf* out, std::string_view text) {
    std::streamsize size = static_cast<std::streamsize>(text.size());
    return out->sputn(text.data(), size) == size;
}

} // namespace

std::string WithExtension(const std::string& typed, std::string_view ext) {
    size_t first = typed.find(ext);
    bool endsWithIt = first != std::string::npos && first + ext.size() == typed.size();
    if (endsWithIt && first > 0) {
        return typed;
    }
    return typed + std::string(ext);
}

void ProtectFromReplacing(const std::string& path) {
    gProtectedPath = path;
}

void RouteTextFilesTo(std::streambuf* buffer) {
    gRoutedBuffer = buffer;
}

TextFile::~TextFile() {
    if (out_ != nullptr) {
        Close();
    }
}

bool TextFile::Create(const std::string& name) {
    if (out_ != nullptr) {
        Close();
    }
    errorCode_ = 0;
    // The system ends a name at its first NUL: a typed NUL would create a
    // different file than the one named, with no extension, so no file is made.
    if (name.find('\0') != std::string::npos || IsProtected(name)) {
        return false;
    }
    if (gRoutedBuffer != nullptr) {
        out_ = gRoutedBuffer;
        return true;
    }
    if (file_.open(name, std::ios::out | std::ios::trunc | std::ios::binary) == nullptr) {
        return false;
    }
    out_ = &file_;
    name_ = name;
    return true;
}

void TextFile::Line(std::string_view text) {
    if (out_ == nullptr || Failed()) {
        return;
    }
    errno = 0;
    if (!WriteAll(out_, text) || !WriteAll(out_, kLineEnd)) {
        NoteFailure();
    }
}

void TextFile::Flush() {
    if (out_ == nullptr || Failed()) {
        return;
    }
    errno = 0;
    if (out_->pubsync() != 0) {
        NoteFailure();
    }
}

bool TextFile::Close() {
    if (out_ == nullptr) {
        return !Failed();
    }
    Flush();
    if (out_ == &file_) {
        errno = 0;
        // Closing writes out what is still buffered, so it can fail too.
        bool closed = file_.close() != nullptr;
        if (!closed && !Failed()) {
            NoteFailure();
        }
        if (Failed()) {
            RemoveFailedFile();
        }
    }
    out_ = nullptr;
    return !Failed();
}

std::string TextFile::ErrorText() const {
    return std::strerror(errorCode_);
}

void TextFile::RemoveFailedFile() const {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::file_type type = fs::symlink_status(name_, error).type();
    if (type == fs::file_type::regular || type == fs::file_type::symlink) {
        fs::remove(name_, error);
    }
}

void TextFile::NoteFailure() {
    // A stream can fail without the system naming a cause.
    errorCode_ = errno != 0 ? errno : EIO;
}
