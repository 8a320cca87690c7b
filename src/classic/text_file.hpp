// The one writer of the report and capture files: binary mode, every line
// ended with CR LF here, every write checked, and a file put under its name
// only once it is whole (see PlatformFileWriter), so a failure leaves any
// earlier file of that name as it was.
#pragma once

#include "platform/platform.hpp"

#include <streambuf>
#include <string>
#include <string_view>

// A typed file name with its extension: the name stays as typed only when
// the first occurrence of ext (case-sensitive) is its last characters and
// something stands before it; otherwise ext is appended.
std::string WithExtension(const std::string& typed, std::string_view ext);

// The program's own files, which no report or capture may replace.
enum class OwnFile {
    DataFile,
    Program,
    // Replay protects the dump it reads, so a capture or a report can never
    // replace the user's only copy of another machine's data.
    ReplayedDump,
};

// Names Create refuses from now on, like names that cannot be created: every
// name that resolves to the file at path (the same file, through any link or
// other spelling of its path), which is the program's file of that kind. An
// empty path lifts that protection.
void ProtectFromReplacing(OwnFile kind, const std::string& path);

// Tests send every file created from now on into this buffer instead of the
// disk (nullptr restores real files). The buffer stays the caller's.
void RouteTextFilesTo(std::streambuf* buffer);

class TextFile {
  public:
    TextFile() = default;
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    ~TextFile();

    // Starts the file that is to replace name; false when it cannot be
    // created (a name holding a NUL byte is one that cannot, and so is a
    // protected one), with the reason in ErrorText.
    bool Create(const std::string& name);

    // Writes text and the line end. After the first failure nothing more is
    // written, so a broken file never gets lines out of order.
    void Line(std::string_view text = {});

    // Pushes what is buffered to the file.
    void Flush();

    // Flushes and puts the file under its name; false when any write, the
    // flush or the replacing failed. A failed file never appears under its
    // name; a device or pipe written through that name is left alone.
    bool Close();

    bool Failed() const { return !failure_.empty(); }

    // The reason of the first failure, as the system words it.
    const std::string& ErrorText() const { return failure_; }

  private:
    void Write(std::string_view text);
    void NoteFailure();

    PlatformFileWriter file_;
    std::string pending_;
    std::streambuf* routed_ = nullptr;
    bool open_ = false;
    std::string failure_;
};
