// The two identity screens: the standard leaves with the clock, and the
// signature of extended leaf 0x80000001.
#include "classic/shared_rows.hpp"
#include "classic/views.hpp"
#include "common/text_format.hpp"
#include "console/console_io.hpp"

namespace {

void WriteLongName(const ProcessorRecord& r) {
    if (HasBrandString(r)) {
        ConLine(" -> Long Name : " + MachineText(NulText(r.brandString.data(), r.brandString.size())));
    }
}

void WriteHardwareLines(const ProcessorRecord& r) {
    for (const HardwareRow& row : kHardwareRows) {
        if (HardwareRowShown(r, row)) {
            ConLine(row.screenLine + row.value(r));
        }
    }
}

} // namespace

void ShowProcessorIdentity(const ProcessorRecord& r) {
    WriteHeading("Processor Identity :");
    ConLine(" -> Vendor    : " + MachineText(r.vendorId));
    ConLine(" -> Type      : " + MachineText(r.typeName));
    ConLine(" -> Family    : " + HexDigit(r.family));
    ConLine(" -> Model     : " + HexDigit(r.model) + " [" + MachineText(r.vendorName) + "]");
    WriteLongName(r);
    ConLine(" -> Stepping  : " + HexDigit(r.stepping));
    if (r.brandId != 0) {
        ConLine(" -> Brand ID  : " + MachineText(r.brandName));
    }
    if (r.measuredMhz != 0.0) {
        ConLine(" -> Speed     : " + FixedReal(r.measuredMhz, 8, 3) + " MHz" + "   [Normalized to " +
                Decimal(r.normalizedMhz) + " MHz]");
    }
    WriteHardwareLines(r);
    PauseEnd();
}

void ShowExtendedIdentity(const ProcessorRecord& r) {
    WriteHeading("Extended Processor Identity :");
    ConLine(" -> Family    : " + HexDigit(r.extFamily));
    ConLine(" -> Model     : " + HexDigit(r.extModel) + " [" + MachineText(r.extVendorName) + "]");
    WriteLongName(r);
    ConLine(" -> Stepping  : " + HexDigit(r.extStepping));
    PauseEnd();
}
