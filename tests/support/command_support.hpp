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

// The path of a dump in tests/data/dumps.
std::string TestDumpPath(const char* name);
