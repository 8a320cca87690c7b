// The L1 and L2 cache and TLB geometry of extended leaves 0x80000005 and
// 0x80000006, one sentence per TLB or cache. A register that reads 0 has no
// lines.
#include "common/text_format.hpp"
#include "console/console_io.hpp"
#include "probe/record.hpp"
#include "views/cache_text.hpp"
#include "views/views.hpp"

namespace {

// Register indices of the cache leaves.
constexpr int kEax = 0;
constexpr int kEbx = 1;
constexpr int kEcx = 2;
constexpr int kEdx = 3;

std::string Entries(uint32_t count) {
    return Decimal(count) + " entries";
}

// Size, associativity, lines per tag and line size of one L1 cache, from the
// four fields starting at first.
std::string L1CacheGeometry(int first) {
    const auto& f = gRecord.l1Fields;
    std::string text = Decimal(f[first]) + " KB";
    uint8_t ways = f[first + 1];
    text += ways == 255 ? ", full" : ", " + Decimal(ways) + " ways";
    text += ", " + Decimal(f[first + 2]) + " lines per tag";
    text += ", " + Decimal(f[first + 3]) + " byte lines";
    return text;
}

} // namespace

void ShowL1Cache() {
    const auto& regs = gRecord.l1Regs;
    const auto& f = gRecord.l1Fields;
    WriteHeading("L1 cache and TLB configuration : ");
    if (regs[kEax] != 0) {
        ConLine(" -> L1 Data TLB, 4M/2M pages, " + L1WaysText(f[0]) + ", " + Entries(f[1]));
        ConLine(" -> L1 Code TLB, 4M/2M pages, " + L1WaysText(f[2]) + ", " + Entries(f[3]));
    }
    if (regs[kEbx] != 0) {
        ConLine(" -> L1 Data TLB, 4K pages, " + L1WaysText(f[4]) + ", " + Entries(f[5]));
        ConLine(" -> L1 Code TLB, 4K pages, " + L1WaysText(f[6]) + ", " + Entries(f[7]));
    }
    if (regs[kEcx] != 0) {
        ConLine(" -> L1 Data Cache, " + L1CacheGeometry(8));
    }
    if (regs[kEdx] != 0) {
        ConLine(" -> L1 Code Cache, " + L1CacheGeometry(12));
    }
    PauseEnd();
}

void ShowL2Cache() {
    const auto& regs = gRecord.l2Regs;
    const auto& f = gRecord.l2Fields;
    const WaysForm plural = WaysForm::Plural;
    WriteHeading("L2 cache and TLB configuration : ");
    if (regs[kEax] != 0) {
        ConLine(" -> L2 Data TLB, 4M/2M pages, " + L2WaysText(f[0], plural) + ", " + Entries(f[1]));
        ConLine(" -> L2 Code TLB, 4M/2M pages, " + L2WaysText(f[2], WaysForm::Hyphenated) + ", " +
                Entries(f[3]));
    }
    if (regs[kEbx] != 0) {
        ConLine(" -> L2 Data TLB, 4K pages, " + L2WaysText(f[4], plural) + ", " + Entries(f[5]));
        ConLine(" -> L2 Code TLB, 4K pages, " + L2WaysText(f[6], plural) + ", " + Entries(f[7]));
    }
    if (regs[kEcx] != 0) {
        ConLine(" -> Unified L2 Cache, " + Decimal(f[8]) + " KB, " + L2WaysText(f[9], plural) + ", " +
                Decimal(f[10]) + " lines per tag" + ", " + Decimal(f[11]) + " byte lines");
    }
    PauseEnd();
}
