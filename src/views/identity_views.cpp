// The two identity screens: the standard leaves with the clock, and the
// signature of extended leaf 0x80000001.
#include "common/text_format.hpp"
#include "console/console_io.hpp"
#include "probe/leaves.hpp"
#include "probe/record.hpp"
#include "views/views.hpp"

namespace {

// The brand string exists only when leaf 0x80000004 was read.
constexpr uint32_t kLastBrandLeaf = kExtendedBase + 4;

void WriteLongName() {
    const ProcessorRecord& r = gRecord;
    if (r.maxExtLevel >= kLastBrandLeaf) {
        ConLine(" -> Long Name : " + MachineText(NulText(r.brandString.data(), r.brandString.size())));
    }
}

bool StdFeaturePresent(int bit) {
    return gRecord.stdFeatureStatus[bit] == StatusPresent;
}

// Lines that depend on leaf 1 EDX bits; a bit the data file does not name is
// hidden and leaves its line out even when the processor sets it.
void WriteHardwareLines() {
    const ProcessorRecord& r = gRecord;
    if (StdFeaturePresent(kBitLocalApic)) {
        ConLine(" -> Local APIC Physical ID                   : " + ByteToHex(r.apicId));
    }
    if (StdFeaturePresent(kBitSerialNumber)) {
        ConLine(" -> Processor Serial Number [PSN] is         : " + r.serialText);
    }
    if (StdFeaturePresent(kBitClflush)) {
        ConLine(" -> Cache Line FLUSH [CLFLUSH] Size          : " + Decimal(r.clflushSize * 8u));
    }
    if (StdFeaturePresent(kBitHyperThreading) && r.logicalCount > 1) {
        ConLine(" -> CPU Count for Hyper Threading Technology : " + Decimal(r.logicalCount));
    }
}

} // namespace

void ShowProcessorIdentity() {
    const ProcessorRecord& r = gRecord;
    WriteHeading("Processor Identity :");
    ConLine(" -> Vendor    : " + MachineText(r.vendorId));
    ConLine(" -> Type      : " + r.typeName);
    ConLine(" -> Family    : " + HexDigit(r.family));
    ConLine(" -> Model     : " + HexDigit(r.model) + " [" + r.vendorName + "]");
    WriteLongName();
    ConLine(" -> Stepping  : " + HexDigit(r.stepping));
    if (r.brandId != 0) {
        ConLine(" -> Brand ID  : " + r.brandName);
    }
    if (r.measuredMhz != 0.0) {
        ConLine(" -> Speed     : " + FixedReal(r.measuredMhz, 8, 3) + " MHz" + "   [Normalized to " +
                Decimal(r.normalizedMhz) + " MHz]");
    }
    WriteHardwareLines();
    PauseEnd();
}

void ShowExtendedIdentity() {
    const ProcessorRecord& r = gRecord;
    WriteHeading("Extended Processor Identity :");
    ConLine(" -> Family    : " + HexDigit(r.extFamily));
    ConLine(" -> Model     : " + HexDigit(r.extModel) + " [" + r.extVendorName + "]");
    WriteLongName();
    ConLine(" -> Stepping  : " + HexDigit(r.extStepping));
    PauseEnd();
}
