// What the Linux kernel says of the processor beside CPUID, and where its
// flags and the CPUID bits disagree. The kernel's texts are handed in.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct Vulnerability {
    std::string name;                // "spectre_v2"
    std::optional<std::string> text; // none when the entry could not be read
    // "not affected", "mitigation", "vulnerable" or "unknown" (another text).
    std::optional<std::string> state;
};

// A flag the kernel shows that no CPUID bit of this processor gives:
// synthetic (no CPUID bit ever gives it) or derived (a bit could, but the
// kernel set it from elsewhere: the model, an MSR).
struct KernelOnlyFlag {
    std::string name;
    bool synthetic = false;
};

struct KernelView {
    std::optional<std::string> microcode;
    std::vector<Vulnerability> vulnerabilities;
    // Our Linux flags the kernel does not show (a boot option, a feature
    // the kernel disables or was built without); none without its flags.
    std::optional<std::vector<std::string>> hidden;
    std::optional<std::vector<KernelOnlyFlag>> only;
};

// The state a vulnerability text begins with.
std::string VulnerabilityState(const std::string& text);

// The kernel's flags line against our Linux flags (either may be unknown);
// synthetic names the flags no CPUID bit gives.
void CompareKernelFlags(const std::optional<std::vector<std::string>>& ours,
                        const std::optional<std::string>& kernelFlags,
                        const std::vector<std::string>& synthetic, KernelView& view);

// Each (name, text) entry with its state.
std::vector<Vulnerability>
DescribeVulnerabilities(const std::vector<std::pair<std::string, std::optional<std::string>>>& entries);
