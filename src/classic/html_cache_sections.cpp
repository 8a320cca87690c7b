// The report sections of the L1 and L2 cache and TLB geometry (extended
// leaves 0x80000005 and 0x80000006).
#include "classic/html_report.hpp"
#include "classic/shared_rows.hpp"

namespace {

std::string ReportText(const ProcessorRecord& r, const CacheRow& row) {
    return row.text(r, row.first, WaysForm::Plural);
}

} // namespace

void WriteL1CacheSection(const ProcessorRecord& r) {
    WriteTitleRow("L1 Cache and TLB Configuration");
    for (const CacheRow& row : kL1CacheRows) {
        if (CacheRowShown(r, row)) {
            WriteL1ValueRow(row.label, ReportText(r, row));
        }
    }
    WriteWideSpacerRow();
    reportFile.Flush();
}

void WriteL2CacheSection(const ProcessorRecord& r) {
    WriteTitleRow("L2 Cache and TLB Configuration");
    for (const CacheRow& row : kL2CacheRows) {
        if (CacheRowShown(r, row)) {
            WriteL2ValueRow(row.label, ReportText(r, row));
        }
    }
    EndReportSection();
}
