// What the running Linux kernel reports about the processor beside CPUID:
// the first processor's flags and microcode of /proc/cpuinfo, the microcode
// revision and the vulnerability states of /sys/devices/system/cpu. None on
// other systems.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct KernelReports {
    std::optional<std::string> flags;     // the words of the "flags" line
    std::optional<std::string> microcode; // "0x1000065"
    // Each entry of the vulnerabilities folder by name, in name order, with
    // its text; none when the entry could not be read.
    std::vector<std::pair<std::string, std::optional<std::string>>> vulnerabilities;
};

std::optional<KernelReports> ReadKernelReports();
