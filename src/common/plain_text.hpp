// Line ends and text cleaning for the machine-friendly outputs (--list,
// --json, --help): LF on Linux, CR LF on Windows, where the console's own
// screens always use CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
constexpr const char kPlainLineEnd[] = "\r\n";
#else
constexpr const char kPlainLineEnd[] = "\n";
#endif

// The text with every control byte (0x00-0x1F and 0x7F) replaced by '?', so a
// text read from a processor or a dump can neither break a line apart nor
// send an escape sequence to a terminal.
std::string WithoutControlBytes(std::string_view text);

// The text with every character a terminal would take as a command replaced
// by '?': the C0 controls (0x00-0x1F), DEL (0x7F) and the C1 controls, both
// as raw bytes 0x80-0x9F outside a UTF-8 sequence and as U+0080-U+009F
// written in UTF-8 (0xC2 0x80-0x9F; U+009B starts a control sequence like
// ESC [). Every other character stays, whether valid UTF-8 (an accented
// letter, a euro sign) or a byte of another code page.
std::string WithoutTerminalControls(std::string_view text);

// The text without blanks (space, tab) at either end: as a view into the
// same text, and as a string of its own.
std::string_view TrimmedView(std::string_view text);
std::string TrimBlanks(std::string_view text);

// The words joined by single blanks.
std::string JoinedWords(const std::vector<std::string>& words);
