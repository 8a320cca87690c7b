// --names linux|cpuid of --diff and --baseline, and the archspec target of a
// baseline, over the real dumps.
#include "names/processor_db.hpp"
#include "names/reference_books.hpp"
#include "support/capability_support.hpp"
#include "support/command_support.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

const char kGenoa[] = "AuthenticAMD0A10F11_EPYC-Genoa-KVM_cpuid-r.txt";
const char kSapphireRapids[] = "GenuineIntel00806F8_SapphireRapids_05_CPUID.txt";

TEST(FleetVocabulary, DiffInLinuxNames) {
    const std::vector<std::string> diff = {"--diff", TestDumpPath(kGenoa), TestDumpPath(kSapphireRapids),
                                           "--names"};
    CommandOutcome kernelNames = RunOptions({diff[0], diff[1], diff[2], diff[3], "linux"});
    EXPECT_EQ(kernelNames.status, 1);
    EXPECT_NE(
        kernelNames.out.find(PlainLines("Only A has:\n  linux_flags: syscall mmxext fxsr_opt hypervisor ")),
        std::string::npos);
    EXPECT_EQ(kernelNames.out.find("guest_status"), std::string::npos);
    CommandOutcome cpuid = RunOptions({diff[0], diff[1], diff[2], diff[3], "cpuid"});
    EXPECT_NE(cpuid.out.find("guest_status"), std::string::npos);
    EXPECT_EQ(cpuid.out, RunOptions({diff[0], diff[1], diff[2]}).out);
    EXPECT_EQ(RunOptions({diff[0], diff[1], diff[2], diff[3], "bogus"}).status, 64);
    EXPECT_EQ(RunOptions({"--baseline", TestDumpPath(kGenoa), "--names"}).status, 64);
}

// The fleet's target is archspec's choice for the flags every machine has,
// and the machines named below the next target are exactly those it does
// not fit.
TEST(FleetVocabulary, BaselineOfEveryDumpNamesItsArchspecTarget) {
    ArchspecBook book = *ReadArchspecBook(OpenDatabaseAt(VELDRIX_SOURCE_DIR "/data/veldrix.dat"));
    std::vector<std::string> operands = {"--baseline"};
    std::map<std::string, size_t> flagCounts;
    std::set<std::string> vendors;
    std::vector<ArchspecProcessor> machines;
    for (const std::string& name : TestDumpNames()) {
        CapabilityFacts facts = DecodeWithDataFile(LoadTestDump(name));
        if (facts.vocabularies.archspec) { // without 64-bit mode the fleet's target is none
            operands.push_back(TestDumpPath(name.c_str()));
            const std::vector<std::string>& flags = *facts.vocabularies.linuxFlags;
            machines.push_back(ArchspecProcessor{facts.identity.vendorId, {flags.begin(), flags.end()}});
            vendors.insert(facts.identity.vendorId);
            for (const std::string& flag : flags) {
                ++flagCounts[flag];
            }
        }
    }
    ArchspecProcessor common{vendors.size() == 1 ? *vendors.begin() : "", {}};
    for (const auto& [flag, count] : flagCounts) {
        if (count == machines.size()) {
            common.flags.insert(flag);
        }
    }
    std::optional<size_t> target = ChooseArchspecTarget(book, common);
    ASSERT_TRUE(target);
    std::string out = WithLfLines(RunOptions(operands).out, PlainLines("\n"));
    EXPECT_NE(out.find("\narchspec:       " + book[*target].name + "\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\ngcc flags:      -march="), std::string::npos);
    EXPECT_NE(out.find("\nclang flags:    -march="), std::string::npos);
    size_t below = out.find("\nheld below ");
    ASSERT_NE(below, std::string::npos);
    std::string next = out.substr(below + 12, out.find(" by:", below) - below - 12);
    std::string belowList = out.substr(below, out.find("\ngcc flags:") - below);
    size_t named = 0;
    for (size_t i = 0; i < machines.size(); ++i) {
        bool fits = ArchspecFits(book, *FindArchspecTarget(book, next), machines[i]);
        bool listed = belowList.find("\n  " + operands[i + 1] + ": lacks ") != std::string::npos;
        EXPECT_EQ(listed, !fits) << operands[i + 1];
        named += listed ? 1 : 0;
    }
    EXPECT_GT(named, 0u);
}

} // namespace
