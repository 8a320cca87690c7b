// Small text helpers shared by the tests: whole files, counting pieces, and
// matching whole console lines.
#pragma once

#include <cstddef>
#include <string>

// The whole content of a file, or "" when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// How often part stands in text (overlapping occurrences counted).
size_t CountOf(const std::string& text, const std::string& part);

// True when line stands in output as a whole line between CR LF ends.
bool HasLine(const std::string& output, const std::string& line);

bool EndsWith(const std::string& text, const std::string& tail);

// ASCII letters to lower case; other bytes unchanged.
std::string LowerAscii(std::string text);
