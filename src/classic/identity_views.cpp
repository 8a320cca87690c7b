// The two identity screens: the standard leaves with the clock, and the
// signature of extended leaf 0x80000001.
#include "classic/shared_rows.hpp"
#include "classic/views.hpp"
#include "common/text_format.hpp"
#include "console/console_io.hpp"

namespace {

void WriteLongName(const ProcessorRecord& record) {
    if (HasBrandString(record)) {
        ConLine(" -> Long Name : " +
                MachineText(NulText(record.brandString.data(), record.brandString.size())));
    }
}

void WriteHardwareLines(const ProcessorRecord& record) {
    for (const HardwareRow& row : kHardwareRows) {
        if (HardwareRowShown(record, row)) {
            ConLine(row.screenLine + row.value(record));
        }
    }
}

} // namespace

void ShowProcessorIdentity(const ProcessorRecord& record) {
    WriteHeading("Processor Identity :");
    ConLine(" -> Vendor    : " + MachineText(record.vendorId));
    ConLine(" -> Type      : " + MachineText(record.typeName));
    ConLine(" -> Family    : " + HexDigit(record.family));
    ConLine(" -> Model     : " + HexDigit(record.model) + " [" + MachineText(record.vendorName) + "]");
    WriteLongName(record);
    ConLine(" -> Stepping  : " + HexDigit(record.stepping));
    if (record.brandId != 0) {
        ConLine(" -> Brand ID  : " + MachineText(record.brandName));
    }
    if (record.measuredMhz != 0.0) {
        ConLine(" -> Speed     : " + FixedReal(record.measuredMhz, 8, 3) + " MHz" + "   [Normalized to " +
                Decimal(record.normalizedMhz) + " MHz]");
    }
    WriteHardwareLines(record);
    PauseEnd();
}

void ShowExtendedIdentity(const ProcessorRecord& record) {
    WriteHeading("Extended Processor Identity :");
    ConLine(" -> Family    : " + HexDigit(record.extFamily));
    ConLine(" -> Model     : " + HexDigit(record.extModel) + " [" + MachineText(record.extVendorName) + "]");
    WriteLongName(record);
    ConLine(" -> Stepping  : " + HexDigit(record.extStepping));
    PauseEnd();
}
