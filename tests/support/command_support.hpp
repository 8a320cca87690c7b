// Runs the command-line options in this process, with the shipped data file.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct CommandOutcome {
    std::optional<int> status; // none when the menu program would run
    std::string out;
    std::string err;
};

CommandOutcome RunOptions(const std::vector<std::string>& args);

// The expected text with each LF turned into this build's plain line end
// (CR LF on Windows), as the options write their lines.
std::string PlainLines(const std::string& lfText);

// The path of a dump in tests/data/dumps.
std::string TestDumpPath(const char* name);
