// Replay of a CPUID dump from another machine: "veldrix -r DUMP [OPTION]".
// CPUID is then answered from the dump, and the clock is not measured, since
// it would be this machine's clock and not the dump's.
#pragma once

#include "probe/record.hpp"

#include <string>
#include <vector>

// Exit status when the dump named after "-r" cannot be read.
constexpr int kUnreadableDumpStatus = 2;

// Chooses where CPUID answers come from, right after the banner. For "-r"
// the dump named by the second argument is loaded and announced, and option
// receives the third argument; otherwise the processor answers and option
// receives the first argument. Option is empty when there is no such
// argument; a replay marks the record as replaying. False when the dump
// cannot be read: the refusal line has been written and the program is to
// end with kUnreadableDumpStatus. While a dump is replayed, no report or
// capture may be written over it.
bool SelectCpuidSource(const std::vector<std::string>& args, std::string& option, ProcessorRecord& record);
