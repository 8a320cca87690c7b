// The one writer of the report and capture files: binary mode, every line
// ended with CR LF here, and every write, flush and close checked.
#pragma once

#include <fstream>
#include <streambuf>
#include <string>
#include <string_view>

// A typed file name with its extension: the name stays as typed only when
// the first occurrence of ext (case-sensitive) is its last characters and
// something stands before it; otherwise ext is appended.
std::string WithExtension(const std::string& typed, std::string_view ext);

// Names Create refuses from now on, like names that cannot be created: every
// name that resolves to this file (the same file, through any link or other
// spelling of its path). Replay protects the dump it reads, so a capture or a
// report can never replace the user's only copy of another machine's data.
// An empty path lifts the protection.
void ProtectFromReplacing(const std::string& path);

// Tests send every file created from now on into this buffer instead of the
// disk (nullptr restores real files). The buffer stays the caller's.
void RouteTextFilesTo(std::streambuf* buffer);

class TextFile {
  public:
    TextFile() = default;
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    ~TextFile();

    // Creates or replaces the file; false when it cannot be created (a name
    // holding a NUL byte is one that cannot, and so is a protected one).
    bool Create(const std::string& name);

    // Writes text and the line end. After the first failure nothing more is
    // written, so a broken file never gets lines out of order.
    void Line(std::string_view text = {});

    // Pushes what is buffered to the file.
    void Flush();

    // Flushes and closes; false when any write, flush or the close failed.
    // A failed file is then removed, so no truncated file stays under its
    // name; a device or pipe written through that name is left alone.
    bool Close();

    bool Failed() const { return errorCode_ != 0; }

    // The system's text for the first failure.
    std::string ErrorText() const;

  private:
    void NoteFailure();
    void RemoveFailedFile() const;

    std::filebuf file_;
    std::string name_;
    std::streambuf* out_ = nullptr;
    int errorCode_ = 0;
};
