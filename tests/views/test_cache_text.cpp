// Associativity texts of the AMD cache leaves, as real processors make the L1
// and L2 screens show them. Sizes and ways are the processors' datasheet
// geometry; code 5 of 0x80000006 is 6 ways, and code 3 shows itself (3 ways).
#include "classic/cache_text.hpp"
#include "classic/views.hpp"
#include "cpuid/dump_reader.hpp"
#include "support/harness.hpp"

#include <string>

namespace {

struct AssociativityLine {
    const char* dump;
    const char* line;
};

const AssociativityLine kAssociativityLines[] = {
    // 16-way L2 (code 8), fully associative L1 TLB (255)
    {"AuthenticAMD0020FB1_K8_Manchester_CPUID.txt",
     " -> Unified L2 Cache, 512 KB, 16 ways, 1 lines per tag, 64 byte lines"},
    {"AuthenticAMD0020FB1_K8_Manchester_CPUID.txt", " -> L1 Data TLB, 4M/2M pages, full, 8 entries"},
    {"AuthenticAMD0000662_K7_Palomino_CPUID.txt",
     " -> Unified L2 Cache, 256 KB, 16 ways, 1 lines per tag, 64 byte lines"},
    {"AuthenticAMD0600F12_K15_Zambezi8C_CPUID.txt",
     " -> Unified L2 Cache, 2048 KB, 16 ways, 1 lines per tag, 64 byte lines"},
    // 8-way L2 (code 6) on the Zen cores, and the hyphenated 2-way TLB form
    {"AuthenticAMD0A60F12_K19_Raphael_10_CPUID.txt",
     " -> Unified L2 Cache, 1024 KB, 8 ways, 1 lines per tag, 64 byte lines"},
    {"AuthenticAMD0A60F12_K19_Raphael_10_CPUID.txt", " -> L2 Code TLB, 4M/2M pages, 2-way, 512 entries"},
    {"AuthenticAMD0A60F12_K19_Raphael_10_CPUID.txt", " -> L2 Data TLB, 4M/2M pages, 6 ways, 3072 entries"},
    {"AuthenticAMD0A10F11_EPYC-Genoa-KVM_cpuid-r.txt", " -> L2 Data TLB, 4M/2M pages, 6 ways, 3072 entries"},
    {"HygonGenuine0900F02_Hygon_CPUID.txt",
     " -> Unified L2 Cache, 512 KB, 8 ways, 1 lines per tag, 64 byte lines"},
    {"HygonGenuine0900F02_Hygon_CPUID.txt", " -> L2 Data TLB, 4M/2M pages, 3 ways, 1536 entries"},
    {"HygonGenuine0900F02_Hygon_CPUID.txt", " -> L2 Data TLB, 4K pages, 6 ways, 1536 entries"},
    // the VIA C3 reports its L2 as off (code 0) beside its size erratum
    {"CentaurHauls0000673_C5B_Samuel2_CPUID.txt",
     " -> Unified L2 Cache, 16388 KB, off [disabled], 1 lines per tag, 32 byte lines"},
    {"CentaurHauls0000673_C5B_Samuel2_CPUID.txt",
     " -> L1 Data Cache, 64 KB, 4 ways, 1 lines per tag, 32 byte lines"},
};

std::string CacheScreensOf(const std::string& dump) {
    CpuidTable table;
    EXPECT_TRUE(LoadCpuidDump(std::string(VELDRIX_DUMPS_DIR) + "/" + dump, table)) << dump;
    ResetWorld(table);
    ProcessorRecord record = ProbedRecord();
    ConsoleCapture console("\n\n\n\n");
    ShowL1Cache(record);
    ShowL2Cache(record);
    return console.Output();
}

} // namespace

TEST(CacheText, RealProcessorsShowTheirAssociativity) {
    for (const AssociativityLine& row : kAssociativityLines) {
        std::string screens = CacheScreensOf(row.dump);
        EXPECT_NE(screens.find(std::string(row.line) + "\r\n"), std::string::npos) << row.dump << "\n"
                                                                                   << row.line;
    }
}

// Codes AMD defined later than any dump here uses, in both forms the rows
// take: 6 ways for 5, then 32 to 128 ways for 10 to 14.
TEST(CacheText, LaterAssociativityCodesNameTheirWays) {
    const struct {
        uint32_t code;
        const char* plural;
        const char* hyphenated;
    } rows[] = {
        {5, "6 ways", "6-way"},    {10, "32 ways", "32-way"}, {11, "48 ways", "48-way"},
        {12, "64 ways", "64-way"}, {13, "96 ways", "96-way"}, {14, "128 ways", "128-way"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(L2WaysText(row.code, WaysForm::Plural), row.plural) << row.code;
        EXPECT_EQ(L2WaysText(row.code, WaysForm::Hyphenated), row.hyphenated) << row.code;
    }
}
