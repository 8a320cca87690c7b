// The report sections of the L1 and L2 cache and TLB geometry (extended
// leaves 0x80000005 and 0x80000006).
#include "common/text_format.hpp"
#include "probe/record.hpp"
#include "reports/html_report.hpp"
#include "views/cache_text.hpp"

namespace {

enum Register { kEax = 0, kEbx = 1, kEcx = 2, kEdx = 3 };

// Associativity and entries of one L1 TLB, from l1Fields[first] and [first + 1].
std::string L1TlbText(size_t first) {
    const auto& f = gRecord.l1Fields;
    return L1WaysText(f[first]) + ", " + Decimal(f[first + 1]) + " entries";
}

// One L1 cache from l1Fields[first] to [first + 3]: size, associativity,
// lines per tag, line size.
std::string L1CacheText(size_t first) {
    const auto& f = gRecord.l1Fields;
    return Decimal(f[first]) + " KB" + ", " + L1WaysText(f[first + 1]) + ", " + Decimal(f[first + 2]) +
           " lines per tag" + ", " + Decimal(f[first + 3]) + " byte lines";
}

std::string L2TlbText(size_t first) {
    const auto& f = gRecord.l2Fields;
    return L2WaysText(f[first], WaysForm::Plural) + ", " + Decimal(f[first + 1]) + " entries";
}

std::string L2CacheText() {
    const auto& f = gRecord.l2Fields;
    return Decimal(f[8]) + " KB, " + L2WaysText(f[9], WaysForm::Plural) + ", " + Decimal(f[10]) +
           " lines per tag" + ", " + Decimal(f[11]) + " byte lines";
}

} // namespace

void WriteL1CacheSection() {
    const auto& regs = gRecord.l1Regs;
    WriteTitleRow("L1 Cache and TLB Configuration");
    if (regs[kEax] != 0) {
        WriteL1ValueRow("L1 Data TLB, 4M/2M pages", L1TlbText(0));
        WriteL1ValueRow("L1 Code TLB, 4M/2M pages", L1TlbText(2));
    }
    if (regs[kEbx] != 0) {
        WriteL1ValueRow("L1 Data TLB, 4K pages", L1TlbText(4));
        WriteL1ValueRow("L1 Code TLB, 4K pages", L1TlbText(6));
    }
    if (regs[kEcx] != 0) {
        WriteL1ValueRow("L1 Data Cache", L1CacheText(8));
    }
    if (regs[kEdx] != 0) {
        WriteL1ValueRow("L1 Code Cache", L1CacheText(12));
    }
    WriteWideSpacerRow();
    reportFile.Flush();
}

void WriteL2CacheSection() {
    const auto& regs = gRecord.l2Regs;
    WriteTitleRow("L2 Cache and TLB Configuration");
    if (regs[kEax] != 0) {
        WriteL2ValueRow("L2 Data TLB, 4M/2M pages", L2TlbText(0));
        WriteL2ValueRow("L2 Code TLB, 4M/2M pages", L2TlbText(2));
    }
    if (regs[kEbx] != 0) {
        WriteL2ValueRow("L2 Data TLB, 4K pages", L2TlbText(4));
        WriteL2ValueRow("L2 Code TLB, 4K pages", L2TlbText(6));
    }
    if (regs[kEcx] != 0) {
        WriteL2ValueRow("Unified L2 Cache", L2CacheText());
    }
    EndReportSection();
}
