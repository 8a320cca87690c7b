// Replay of a CPUID dump from another machine: "veldrix -r DUMP [OPTION]".
// The menu program then shows the dump's first processor, and the clock is
// not measured, since it would be this machine's clock and not the dump's.
#pragma once

#include "classic/run_state.hpp"
#include "cpuid/snapshot.hpp"

#include <string>
#include <vector>

// Exit status when the dump named after "-r" cannot be read.
constexpr int kUnreadableDumpStatus = 2;

// Chooses where CPUID answers come from, right after the banner. For "-r"
// the dump named by the second argument is loaded into snapshot and
// announced, the run is marked as replaying, and option receives the
// third argument; otherwise snapshot is left alone (this machine's processor
// answers) and option receives the first argument. Option is empty when
// there is no such argument. False when the dump cannot be read: the refusal
// line has been written and the program is to end with
// kUnreadableDumpStatus.
bool SelectCpuidSource(const std::vector<std::string>& args, std::string& option, RunState& run,
                       CpuidSnapshot& snapshot);
