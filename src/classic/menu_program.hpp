// The interactive program: the banner, the choice of CPUID source, the probe,
// then the raw capture (-c) or the menu.
#pragma once

#include "classic/clock.hpp"
#include "cpuid/snapshot.hpp"

#include <functional>
#include <string>
#include <vector>

// What the program reads this machine through. A replayed dump uses neither.
struct MachineSources {
    std::function<CpuidSnapshot()> takeSnapshot; // every logical processor's leaves
    TickCounter clockTicks;                      // the time-stamp ticks of the clock window
};

// Runs the menu program on the arguments (without the program name) and
// returns its exit status.
int RunMenuProgram(const std::vector<std::string>& args, const MachineSources& machine);
