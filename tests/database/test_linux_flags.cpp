// The Linux flag names of the data file against data/linux-flags.csv they
// are made from, and against the flags this machine's kernel prints.
#include "cpuid/snapshot_source.hpp"
#include "names/processor_db.hpp"
#include "names/reference_books.hpp"
#include "support/capability_support.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

namespace {

const char* const kRegisterNames[] = {"eax", "ebx", "ecx", "edx"};

std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::istringstream row(line);
    std::string cell;
    while (std::getline(row, cell, ',')) {
        cells.push_back(cell);
    }
    return cells;
}

// name -> "0xLEAF.SUBLEAF.reg.BIT" of every named row of section 1, and the
// names of section 2.
struct CsvFlags {
    std::map<std::string, std::set<std::string>> sources;
    std::set<std::string> synthetic;
};

CsvFlags ReadCsvFlags() {
    CsvFlags flags;
    std::ifstream in(VELDRIX_SOURCE_DIR "/data/linux-flags.csv");
    std::string line;
    bool second = false;
    while (std::getline(in, line)) {
        second = second || line.rfind("# SECTION 2:", 0) == 0;
        std::vector<std::string> cells = Cells(line);
        if (line.empty() || line[0] == '#' || line.rfind("leaf,", 0) == 0) {
            continue;
        }
        if (second) {
            flags.synthetic.insert(line);
        } else if (cells.size() == 7 && !cells[5].empty()) {
            flags.sources[cells[5]].insert(cells[0] + "." + cells[1] + "." + cells[2] + "." + cells[3]);
        }
    }
    return flags;
}

std::string BitText(const FeatureBit& bit) {
    char leaf[11];
    std::snprintf(leaf, sizeof leaf, "0x%08X", bit.word.leaf);
    return std::string(leaf) + "." + std::to_string(bit.word.subleaf) + "." + kRegisterNames[bit.word.reg] +
           "." + std::to_string(bit.bit);
}

IniFile Database() {
    return OpenDatabaseAt(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
}

// Run scripts/gen-reference-names.py after editing the CSV.
TEST(LinuxFlags, DataFileSectionsEqualTheCsv) {
    CsvFlags csv = ReadCsvFlags();
    std::optional<LinuxFlagBook> book = ReadLinuxFlagBook(Database());
    ASSERT_TRUE(book);
    std::map<std::string, std::set<std::string>> ours;
    for (const LinuxFlagRule& rule : *book) {
        for (const FeatureBit& bit : rule.sources) {
            ours[rule.name].insert(BitText(bit));
        }
    }
    EXPECT_EQ(ours, csv.sources);
    EXPECT_GT(ours.size(), 250u);
    std::vector<std::string> synthetic = ReadLinuxSyntheticFlags(Database());
    EXPECT_EQ(std::set<std::string>(synthetic.begin(), synthetic.end()), csv.synthetic);
}

// This machine's linux_flags are the kernel's flags line without the flags
// no CPUID bit gives, once the ones the kernel hides are taken out; in the
// kernel's order. Only a few may be hidden (kernel configuration,
// clearcpuid=), and every flag the kernel alone shows is named as such.
TEST(LinuxFlags, ThisMachinesKernelPrintsThemInOrder) {
    std::string cpuinfo = ReadWholeFile("/proc/cpuinfo");
    size_t at = cpuinfo.find("\nflags");
#ifdef _WIN32
    at = std::string::npos; // wine shows Linux's file, but the program reads no kernel there
#endif
    if (at == std::string::npos) {
        GTEST_SKIP() << "no /proc/cpuinfo flags on this system";
    }
    size_t start = cpuinfo.find(':', at) + 1;
    std::istringstream line(cpuinfo.substr(start, cpuinfo.find('\n', start) - start));
    std::vector<std::string> kernel{std::istream_iterator<std::string>(line), {}};
    CapabilityFacts facts = DecodeWithDataFile(TakeHardwareSnapshot(), true);
    ASSERT_TRUE(facts.vocabularies.linuxFlags);
    ASSERT_TRUE(facts.vocabularies.kernel && facts.vocabularies.kernel->hidden);
    std::vector<std::string> syntheticList = ReadLinuxSyntheticFlags(Database());
    std::set<std::string> synthetic(syntheticList.begin(), syntheticList.end());
    const std::vector<std::string>& hiddenList = *facts.vocabularies.kernel->hidden;
    std::set<std::string> hidden(hiddenList.begin(), hiddenList.end());
    std::vector<std::string> expected;
    std::copy_if(kernel.begin(), kernel.end(), std::back_inserter(expected),
                 [&](const std::string& flag) { return synthetic.count(flag) == 0; });
    std::vector<std::string> ours;
    std::copy_if(facts.vocabularies.linuxFlags->begin(), facts.vocabularies.linuxFlags->end(),
                 std::back_inserter(ours), [&](const std::string& flag) { return hidden.count(flag) == 0; });
    EXPECT_EQ(ours, expected);
    EXPECT_GT(ours.size(), 30u);
    EXPECT_LE(hidden.size(), 3u);
    for (const KernelOnlyFlag& flag : *facts.vocabularies.kernel->only) {
        EXPECT_EQ(flag.synthetic, synthetic.count(flag.name) == 1) << flag.name;
    }
}

// Flags read beyond the feature words, and names the kernel gives that no
// CPUID database name matches; "-" marks a name that must not be there.
const std::pair<const char*, const char*> kRules[] = {
    {"GenuineTMx860000543_Crusoe_CPUID.txt", "longrun lrti -lm -e_cmov"},
    {"CentaurHauls00607B1_KX7000_05_CPUID.txt", "rng rng_en ace2 phe pmm_en"},
    {"AuthenticAMD0A10F11_EPYC-Genoa-KVM_cpuid-r.txt",
     "hypervisor constant_tsc nonstop_tsc -guest_status -pku"},
    {"GenuineIntel00806F8_SapphireRapids_05_CPUID.txt", "ibpb ibrs stibp ssbd amx_tile -spec_ctrl -osxsave"},
};

TEST(LinuxFlags, RulesOfRealProcessors) {
    for (const auto& [dump, expected] : kRules) {
        CapabilityFacts facts = DecodeWithDataFile(LoadTestDump(dump));
        ASSERT_TRUE(facts.vocabularies.linuxFlags);
        std::set<std::string> flags(facts.vocabularies.linuxFlags->begin(),
                                    facts.vocabularies.linuxFlags->end());
        std::istringstream words(expected);
        for (std::string word; words >> word;) {
            bool absent = word[0] == '-';
            EXPECT_EQ(flags.count(absent ? word.substr(1) : word), absent ? 0u : 1u) << dump << " " << word;
        }
    }
}

} // namespace
