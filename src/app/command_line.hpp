// The command-line options that print machine-friendly facts instead of
// starting the menu: --list, --json, --check LEVEL, --help (-h) and
// --version, each also after "-r DUMP". They write no banner, end lines with
// LF (CR LF on Windows), put errors on the error stream and end with 0 on
// success, 2 on an unreadable dump and 64 on a usage error.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// Exit status of a command line that cannot be understood.
constexpr int kUsageStatus = 64;

// Runs the option the arguments name and gives the exit status; nullopt when
// the arguments name none of these options, so the menu program runs as it
// always has.
std::optional<int> RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The usage summary of every option and of the menu keys.
void WriteUsage(std::ostream& out);
