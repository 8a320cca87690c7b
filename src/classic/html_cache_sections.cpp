// The report sections of the L1 and L2 cache and TLB geometry (extended
// leaves 0x80000005 and 0x80000006).
#include "classic/html_report.hpp"
#include "classic/shared_rows.hpp"

namespace {

std::string ReportText(const ProcessorRecord& record, const CacheRow& row) {
    return row.text(record, row.first, WaysForm::Plural);
}

} // namespace

void WriteL1CacheSection(TextFile& page, const ProcessorRecord& record) {
    WriteTitleRow(page, "L1 Cache and TLB Configuration");
    for (const CacheRow& row : kL1CacheRows) {
        if (CacheRowShown(record, row)) {
            WriteL1ValueRow(page, row.label, ReportText(record, row));
        }
    }
    WriteWideSpacerRow(page);
    page.Flush();
}

void WriteL2CacheSection(TextFile& page, const ProcessorRecord& record) {
    WriteTitleRow(page, "L2 Cache and TLB Configuration");
    for (const CacheRow& row : kL2CacheRows) {
        if (CacheRowShown(record, row)) {
            WriteL2ValueRow(page, row.label, ReportText(record, row));
        }
    }
    EndReportSection(page);
}
