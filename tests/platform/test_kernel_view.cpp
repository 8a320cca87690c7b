// The kernel's view: the states of vulnerability texts, and that only this
// machine's own facts carry it.
#include "decode/kernel_view.hpp"
#include "support/capability_support.hpp"
#include "support/command_support.hpp"

#include <gtest/gtest.h>

namespace {

TEST(KernelView, VulnerabilityStates) {
    const std::pair<const char*, const char*> kStates[] = {
        {"Not affected", "not affected"},
        {"Mitigation: Retpolines; STIBP: disabled; RSB filling", "mitigation"},
        {"Vulnerable: Safe RET, no microcode", "vulnerable"},
        {"Vulnerable", "vulnerable"},
        {"Unknown: Dependent on hypervisor status", "unknown"},
    };
    for (const auto& [text, state] : kStates) {
        EXPECT_EQ(VulnerabilityState(text), state) << text;
    }
    std::vector<Vulnerability> entries =
        DescribeVulnerabilities({{"mds", std::nullopt}, {"l1tf", "Not affected"}});
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_FALSE(entries[0].text || entries[0].state);
    EXPECT_EQ(entries[1].state.value_or(""), "not affected");
}

// A dump is another machine: the kernel that runs here says nothing of it.
TEST(KernelView, NullOnEveryDump) {
    for (const std::string& name : TestDumpNames()) {
        CommandOutcome json = RunOptions({"-r", TestDumpPath(name.c_str()), "--json"});
        for (const char* key : {"microcode", "vulnerabilities", "kernel_hidden", "kernel_only"}) {
            EXPECT_NE(json.out.find("\"" + std::string(key) + "\": null"), std::string::npos)
                << name << " " << key;
        }
    }
}

} // namespace
