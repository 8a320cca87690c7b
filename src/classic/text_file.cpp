#include "classic/text_file.hpp"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

const char kLineEnd[] = "\r\n";
// Written to the file whenever this much is waiting, and at every Flush.
constexpr size_t kPendingLimit = 64 * 1024;

std::streambuf* gRoutedBuffer = nullptr;

struct ProtectedFile {
    const char* reason;
    std::string path;
};

// In the order of OwnFile.
std::array<ProtectedFile, 3> gProtected = {{
    {"it is the program's data file", {}},
    {"it is the program itself", {}},
    {"it is the dump being replayed", {}},
}};

// Why name may not be written, or nullptr when it may.
const char* ProtectionOf(const std::string& name) {
    for (const ProtectedFile& file : gProtected) {
        std::error_code error;
        if (!file.path.empty() && std::filesystem::equivalent(name, file.path, error)) {
            return file.reason;
        }
    }
    return nullptr;
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

void ProtectFromReplacing(OwnFile kind, const std::string& path) {
    gProtected[static_cast<size_t>(kind)].path = path;
}

void RouteTextFilesTo(std::streambuf* buffer) {
    gRoutedBuffer = buffer;
}

TextFile::~TextFile() {
    if (open_) {
        Close();
    }
}

bool TextFile::Create(const std::string& name) {
    if (open_) {
        Close();
    }
    failure_.clear();
    pending_.clear();
    // The system ends a name at its first NUL: a typed NUL would create a
    // different file than the one named, with no extension, so no file is made.
    if (name.find('\0') != std::string::npos) {
        failure_ = std::strerror(EINVAL);
        return false;
    }
    if (const char* reason = ProtectionOf(name)) {
        failure_ = reason;
        return false;
    }
    routed_ = gRoutedBuffer;
    if (routed_ == nullptr && !file_.Open(name)) {
        failure_ = file_.FailureText();
        return false;
    }
    open_ = true;
    return true;
}

void TextFile::Line(std::string_view text) {
    if (!open_ || Failed()) {
        return;
    }
    Write(text);
    if (!Failed()) {
        Write(kLineEnd);
    }
    if (pending_.size() >= kPendingLimit) {
        Flush();
    }
}

void TextFile::Flush() {
    if (!open_ || Failed()) {
        return;
    }
    errno = 0;
    if (routed_ != nullptr ? routed_->pubsync() != 0 : !file_.Write(pending_.data(), pending_.size())) {
        NoteFailure();
    }
    pending_.clear();
}

bool TextFile::Close() {
    if (!open_) {
        return !Failed();
    }
    Flush();
    open_ = false;
    if (routed_ != nullptr) {
        return !Failed();
    }
    if (Failed()) {
        file_.Abandon();
    } else if (!file_.Commit()) {
        NoteFailure();
    }
    return !Failed();
}

void TextFile::Write(std::string_view text) {
    if (routed_ == nullptr) {
        pending_.append(text);
        return;
    }
    errno = 0;
    if (!WriteAll(routed_, text)) {
        NoteFailure();
    }
}

void TextFile::NoteFailure() {
    if (routed_ == nullptr && !file_.FailureText().empty()) {
        failure_ = file_.FailureText();
        return;
    }
    // A stream can fail without the system naming a cause.
    failure_ = std::strerror(routed_ != nullptr && errno != 0 ? errno : EIO);
}
