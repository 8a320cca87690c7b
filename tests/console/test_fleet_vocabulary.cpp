// --names linux|cpuid of --diff and --baseline, and the archspec target of a
// baseline, over the real dumps.
#include "names/processor_db.hpp"
#include "names/reference_books.hpp"
#include "support/capability_support.hpp"
#include "support/command_support.hpp"
#include "support/json_check.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

const char kGenoa[] = "AuthenticAMD0A10F11_EPYC-Genoa-KVM_cpuid-r.txt";
const char kSapphireRapids[] = "GenuineIntel00806F8_SapphireRapids_05_CPUID.txt";

TEST(FleetVocabulary, DiffInLinuxNames) {
    CommandOutcome linux =
        RunOptions({"--diff", TestDumpPath(kGenoa), TestDumpPath(kSapphireRapids), "--names", "linux"});
    EXPECT_EQ(linux.status, 1);
    std::string out = WithLfLines(linux.out, PlainLines("\n"));
    EXPECT_NE(out.find("Only A has:\n  linux_flags: syscall mmxext fxsr_opt hypervisor "), std::string::npos)
        << out;
    EXPECT_EQ(out.find("guest_status"), std::string::npos);
    CommandOutcome cpuid =
        RunOptions({"--diff", TestDumpPath(kGenoa), TestDumpPath(kSapphireRapids), "--names", "cpuid"});
    EXPECT_NE(cpuid.out.find("guest_status"), std::string::npos);
    EXPECT_EQ(cpuid.out, RunOptions({"--diff", TestDumpPath(kGenoa), TestDumpPath(kSapphireRapids)}).out);
    for (const char* word : {"bogus", "--json"}) {
        EXPECT_EQ(RunOptions({"--diff", TestDumpPath(kGenoa), TestDumpPath(kGenoa), "--names", word}).status,
                  64);
    }
    EXPECT_EQ(RunOptions({"--baseline", TestDumpPath(kGenoa), "--names"}).status, 64);
}

// The fleet's target is archspec's choice for the flags every machine has,
// and the machines named below the next target are exactly those it does
// not fit.
TEST(FleetVocabulary, BaselineOfEveryDumpNamesItsArchspecTarget) {
    IniFile database = OpenDatabaseAt(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
    ArchspecBook book = *ReadArchspecBook(database);
    std::vector<std::string> operands = {"--baseline"};
    std::optional<std::set<std::string>> common;
    std::set<std::string> vendors;
    std::vector<CapabilityFacts> machines;
    for (const std::string& name : TestDumpNames()) {
        CapabilityFacts facts = DecodeWithDataFile(LoadTestDump(name));
        if (!facts.vocabularies.archspec) {
            continue; // no 64-bit mode: the whole folder's target is none
        }
        operands.push_back(TestDumpPath(name.c_str()));
        std::set<std::string> flags(facts.vocabularies.linuxFlags->begin(),
                                    facts.vocabularies.linuxFlags->end());
        if (common) {
            std::set<std::string> both;
            std::set_intersection(common->begin(), common->end(), flags.begin(), flags.end(),
                                  std::inserter(both, both.end()));
            common = both;
        } else {
            common = flags;
        }
        vendors.insert(facts.identity.vendorId);
        machines.push_back(facts);
    }
    ASSERT_GT(machines.size(), 15u);
    std::string vendor = vendors.size() == 1 ? *vendors.begin() : "";
    std::optional<size_t> target = ChooseArchspecTarget(book, ArchspecProcessor{vendor, *common});
    ASSERT_TRUE(target);
    CommandOutcome text = RunOptions(operands);
    EXPECT_EQ(text.status, 0);
    std::string out = WithLfLines(text.out, PlainLines("\n"));
    EXPECT_NE(out.find("\narchspec:       " + book[*target].name + "\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\ngcc flags:      -march="), std::string::npos);
    EXPECT_NE(out.find("\nclang flags:    -march="), std::string::npos);
    size_t below = out.find("\nheld below ");
    ASSERT_NE(below, std::string::npos);
    std::string next = out.substr(below + 12, out.find(" by:", below) - below - 12);
    std::string belowList = out.substr(below, out.find("\ngcc flags:") - below);
    size_t named = 0;
    for (size_t i = 0; i < machines.size(); ++i) {
        const std::vector<std::string>& flags = *machines[i].vocabularies.linuxFlags;
        ArchspecProcessor processor{machines[i].identity.vendorId, {flags.begin(), flags.end()}};
        bool fits = ArchspecFits(book, *FindArchspecTarget(book, next), processor);
        bool listed = belowList.find("\n  " + operands[i + 1] + ": lacks ") != std::string::npos;
        EXPECT_EQ(listed, !fits) << operands[i + 1];
        named += listed ? 1 : 0;
    }
    EXPECT_GT(named, 0u);
    operands.push_back("--json");
    CommandOutcome json = RunOptions(operands);
    EXPECT_TRUE(IsWellFormedJson(json.out));
    EXPECT_NE(json.out.find("\"archspec\": {\"target\": \"" + book[*target].name + "\", \"next\": \"" + next +
                            "\""),
              std::string::npos);
}

} // namespace
