// Address widths of leaf 0x80000008, and the Transmeta identity and status.
#include "classic/record.hpp"
#include "classic/shared_rows.hpp"
#include "classic/transmeta.hpp"
#include "classic/views.hpp"
#include "common/text_format.hpp"
#include "console/console_io.hpp"

void ShowAddressSizes(const ProcessorRecord& r) {
    WriteHeading("Physical Address And Linear Address Size : ");
    ConLine(" -> Physical Address Size : " + AddressSizeText(r.physAddrBits, r.physAddrSpace));
    ConLine(" -> Linear   Address Size : " + AddressSizeText(r.linearAddrBits, r.linearAddrSpace));
    PauseEnd();
}

// Returns straight to the menu: no end prompt.
void ShowTransmetaIdentity(const ProcessorRecord& r) {
    WriteHeading("Transmeta Processor Identity :");
    ConLine(" -> Vendor          : " + MachineText(r.tmxVendorId));
    ConLine(" -> Family          : " + HexDigit(r.tmxFamily));
    ConLine(" -> Model           : " + HexDigit(r.tmxModel));
    ConLine(" -> Stepping        : " + HexDigit(r.tmxStepping));
    ConLine(" -> Hardware Rev.   : " + TransmetaHardwareRevision(r));
    if (HasTransmetaLeaf(r, 0x80860002)) {
        ConLine(" -> Software Rev.   : " + TransmetaSoftwareRevision(r));
    }
    if (HasTransmetaLeaf(r, 0x80860003)) {
        ConLine(" -> Additional Inf. : " + MachineText(NulText(r.tmxInfoText.data(), r.tmxInfoText.size())));
    }
    ConLine(" -> Clock Frequency : " + Decimal(r.tmxNominalMhz) + " MHz");
    ConFlush();
}

// Three lines, no heading and no end prompt.
void ShowTransmetaStatus(const ProcessorRecord& r) {
    ConLine(" -> Current Freq.   : " + Decimal(r.tmxCurrentMhz) + " MHz");
    ConLine(" -> Current Voltage : " + Decimal(r.tmxCurrentVoltage) + " mV");
    ConLine(" -> Performance     : " + Decimal(r.tmxCurrentPerformance) + " percent");
    ConFlush();
}
