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

// The text with each LF of lfText turned into end ("\n" or "\r\n").
std::string WithLineEnds(const std::string& lfText, const std::string& end);

// The text with each end turned back into a single LF.
std::string WithLfLines(const std::string& text, const std::string& end);

// True when the text is whole lines, each ending with end and no other line
// end: no bare LF before a CR LF end, no stray CR anywhere.
bool EveryLineEndsWith(const std::string& text, const std::string& end);

// ASCII letters to lower case; other bytes unchanged.
std::string LowerAscii(std::string text);
