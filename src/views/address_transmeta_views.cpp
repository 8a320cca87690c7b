// Address widths of leaf 0x80000008, and the Transmeta identity and status.
#include "common/text_format.hpp"
#include "console/console_io.hpp"
#include "probe/leaves.hpp"
#include "probe/record.hpp"
#include "probe/transmeta.hpp"
#include "views/views.hpp"

namespace {

// Bytes addressable, right-aligned in 12 characters, never cut.
std::string AddressSpace(long double bytes) {
    return FixedReal(bytes, 12, 0);
}

} // namespace

void ShowAddressSizes() {
    const ProcessorRecord& r = gRecord;
    WriteHeading("Physical Address And Linear Address Size : ");
    ConLine(" -> Physical Address Size : " + Decimal(r.physAddrBits) + "-bits [approx. " +
            AddressSpace(r.physAddrSpace) + " bytes]");
    ConLine(" -> Linear   Address Size : " + Decimal(r.linearAddrBits) + "-bits [approx. " +
            AddressSpace(r.linearAddrSpace) + " bytes]");
    PauseEnd();
}

// Returns straight to the menu: no end prompt.
void ShowTransmetaIdentity() {
    const ProcessorRecord& r = gRecord;
    WriteHeading("Transmeta Processor Identity :");
    ConLine(" -> Vendor          : " + MachineText(r.tmxVendorId));
    ConLine(" -> Family          : " + HexDigit(r.tmxFamily));
    ConLine(" -> Model           : " + HexDigit(r.tmxModel));
    ConLine(" -> Stepping        : " + HexDigit(r.tmxStepping));
    ConLine(" -> Hardware Rev.   : " + TransmetaHardwareRevision());
    if (r.maxTransmetaLevel > kTransmetaBase + 1) {
        ConLine(" -> Software Rev.   : " + TransmetaSoftwareRevision());
    }
    if (r.maxTransmetaLevel > kTransmetaBase + 2) {
        ConLine(" -> Additional Inf. : " + MachineText(NulText(r.tmxInfoText.data(), r.tmxInfoText.size())));
    }
    ConLine(" -> Clock Frequency : " + Decimal(r.tmxNominalMhz) + " MHz");
    ConFlush();
}

// Three lines, no heading and no end prompt.
void ShowTransmetaStatus() {
    const ProcessorRecord& r = gRecord;
    ConLine(" -> Current Freq.   : " + Decimal(r.tmxCurrentMhz) + " MHz");
    ConLine(" -> Current Voltage : " + Decimal(r.tmxCurrentVoltage) + " mV");
    ConLine(" -> Performance     : " + Decimal(r.tmxCurrentPerformance) + " percent");
    ConFlush();
}
