#include "decode/kernel_view.hpp"

#include <algorithm>
#include <iterator>
#include <set>
#include <sstream>

namespace {

bool StartsWith(const std::string& text, const char* start) {
    return text.rfind(start, 0) == 0;
}

} // namespace

std::string VulnerabilityState(const std::string& text) {
    if (StartsWith(text, "Not affected")) {
        return "not affected";
    }
    if (StartsWith(text, "Mitigation")) {
        return "mitigation";
    }
    if (StartsWith(text, "Vulnerable")) {
        return "vulnerable";
    }
    return "unknown";
}

void CompareKernelFlags(const std::optional<std::vector<std::string>>& ours,
                        const std::optional<std::string>& kernelFlags,
                        const std::vector<std::string>& synthetic, KernelView& view) {
    if (!ours || !kernelFlags) {
        return;
    }
    std::istringstream words(*kernelFlags);
    std::vector<std::string> kernel{std::istream_iterator<std::string>(words), {}};
    std::set<std::string> kernelSet(kernel.begin(), kernel.end());
    std::set<std::string> ourSet(ours->begin(), ours->end());
    std::set<std::string> syntheticSet(synthetic.begin(), synthetic.end());
    view.hidden.emplace();
    for (const std::string& flag : *ours) {
        if (kernelSet.count(flag) == 0) {
            view.hidden->push_back(flag);
        }
    }
    view.only.emplace();
    for (const std::string& flag : kernel) {
        if (ourSet.count(flag) == 0) {
            view.only->push_back(KernelOnlyFlag{flag, syntheticSet.count(flag) == 1});
        }
    }
}

std::vector<Vulnerability>
DescribeVulnerabilities(const std::vector<std::pair<std::string, std::optional<std::string>>>& entries) {
    std::vector<Vulnerability> vulnerabilities;
    for (const auto& [name, text] : entries) {
        vulnerabilities.push_back(Vulnerability{
            name, text, text ? std::optional<std::string>(VulnerabilityState(*text)) : std::nullopt});
    }
    return vulnerabilities;
}
