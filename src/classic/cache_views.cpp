// The L1 and L2 cache and TLB geometry of extended leaves 0x80000005 and
// 0x80000006, one sentence per TLB or cache. A register that reads 0 has no
// lines.
#include "classic/shared_rows.hpp"
#include "classic/views.hpp"
#include "console/console_io.hpp"

namespace {

void WriteCacheLines(const ProcessorRecord& record, const CacheRow& row) {
    if (CacheRowShown(record, row)) {
        ConLine(std::string(" -> ") + row.label + ", " + row.text(record, row.first, row.screenWays));
    }
}

} // namespace

void ShowL1Cache(const ProcessorRecord& record) {
    WriteHeading("L1 cache and TLB configuration : ");
    for (const CacheRow& row : kL1CacheRows) {
        WriteCacheLines(record, row);
    }
    PauseEnd();
}

void ShowL2Cache(const ProcessorRecord& record) {
    WriteHeading("L2 cache and TLB configuration : ");
    for (const CacheRow& row : kL2CacheRows) {
        WriteCacheLines(record, row);
    }
    PauseEnd();
}
