// The feature-bit names of the data file against the CPUID field table they
// are generated from, and against the flags this machine's kernel shows.
#include "cpuid/snapshot_source.hpp"
#include "names/capability_names.hpp"
#include "names/processor_db.hpp"
#include "support/capability_support.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace {

const char* const kRegisterNames[] = {"eax", "ebx", "ecx", "edx"};

// Each Bits.* section names exactly the single-bit rows of the CSV for its
// word: run scripts/gen-feature-names.py after editing the CSV.
TEST(FeatureNames, DataFileSectionsEqualTheCsv) {
    IniFile database = OpenDatabaseAt(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
    CsvBitNames csv = ReadCsvBitNames();
    FeatureNameBook book = ReadFeatureNameBook(database);
    ASSERT_EQ(book.size(), FeatureWords().size());
    size_t named = 0;
    for (size_t i = 0; i < book.size(); ++i) {
        const FeatureWord& word = FeatureWords()[i];
        for (int bit = 0; bit < 32; ++bit) {
            auto found = csv.find(std::make_tuple(word.leaf, word.subleaf, kRegisterNames[word.reg], bit));
            std::string expected = found == csv.end() ? "" : found->second;
            EXPECT_EQ(book[i][static_cast<size_t>(bit)], expected)
                << FeatureWordLabel(word) << " bit " << bit;
            named += expected.empty() ? 0 : 1;
        }
    }
    EXPECT_GT(named, 300u);
}

// Every /proc/cpuinfo flag that is the name of a bit this machine's snapshot
// has set appears among our features. Kernel-only flags (hypervisor,
// constant_tsc, ...) are no CSV name and are skipped; so are bits the kernel
// sees set while a program's CPUID reads them clear (a sandbox or hypervisor
// can answer the kernel and programs differently).
TEST(FeatureNames, ThisMachinesKernelFlagsAppear) {
    std::string cpuinfo = ReadWholeFile("/proc/cpuinfo");
    size_t at = cpuinfo.find("\nflags");
    if (at == std::string::npos) {
        GTEST_SKIP() << "no /proc/cpuinfo flags on this system";
    }
    std::string flagLine = cpuinfo.substr(cpuinfo.find(':', at) + 1);
    flagLine = flagLine.substr(0, flagLine.find('\n'));
    CpuidSnapshot snapshot = TakeHardwareSnapshot();
    CapabilityFacts facts = DecodeWithDataFile(snapshot);
    std::set<std::string> ours(facts.features.named.begin(), facts.features.named.end());
    std::set<std::string> recorded;
    for (const auto& [key, name] : ReadCsvBitNames()) {
        for (const FeatureWord& word : FeatureWords()) {
            bool same = word.leaf == std::get<0>(key) && word.subleaf == std::get<1>(key) &&
                        kRegisterNames[word.reg] == std::get<2>(key);
            bool set = ((FeatureWordValue(snapshot, word) >> std::get<3>(key)) & 1) != 0;
            if (same && set && snapshot.Has(0, word.leaf, word.subleaf) &&
                FeatureWordReported(snapshot, word)) {
                recorded.insert(name);
            }
        }
    }
    std::istringstream flags(flagLine);
    std::string flag;
    int compared = 0;
    while (flags >> flag) {
        if (recorded.count(flag) != 0) {
            EXPECT_EQ(ours.count(flag), 1u) << flag;
            ++compared;
        }
    }
    EXPECT_GT(compared, 20);
}

} // namespace
