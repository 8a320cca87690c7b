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
    // holding a NUL byte is one that cannot).
    bool Create(const std::string& name);

    // Writes text and the line end. After the first failure nothing more is
    // written, so a broken file never gets lines out of order.
    void Line(std::string_view text = {});

    // Pushes what is buffered to the file.
    void Flush();

    // Flushes and closes; false when any write, flush or the close failed.
    bool Close();

    bool Failed() const { return errorCode_ != 0; }

    // The system's text for the first failure.
    std::string ErrorText() const;

  private:
    void NoteFailure();

    std::filebuf file_;
    std::streambuf* out_ = nullptr;
    int errorCode_ = 0;
};
