// Address widths of leaf 0x80000008, and the Transmeta identity and status.
#include "classic/record.hpp"
#include "classic/shared_rows.hpp"
#include "classic/transmeta.hpp"
#include "classic/views.hpp"
#include "common/text_format.hpp"
#include "console/console_io.hpp"

void ShowAddressSizes(const ProcessorRecord& record) {
    WriteHeading("Physical Address And Linear Address Size : ");
    ConLine(" -> Physical Address Size : " + AddressSizeText(record.physAddrBits, record.physAddrSpace));
    ConLine(" -> Linear   Address Size : " + AddressSizeText(record.linearAddrBits, record.linearAddrSpace));
    PauseEnd();
}

// Returns straight to the menu: no end prompt.
void ShowTransmetaIdentity(const ProcessorRecord& record) {
    WriteHeading("Transmeta Processor Identity :");
    ConLine(" -> Vendor          : " + MachineText(record.tmxVendorId));
    ConLine(" -> Family          : " + HexDigit(record.tmxFamily));
    ConLine(" -> Model           : " + HexDigit(record.tmxModel));
    ConLine(" -> Stepping        : " + HexDigit(record.tmxStepping));
    ConLine(" -> Hardware Rev.   : " + TransmetaHardwareRevision(record));
    if (HasTransmetaLeaf(record, 0x80860002)) {
        ConLine(" -> Software Rev.   : " + TransmetaSoftwareRevision(record));
    }
    if (HasTransmetaLeaf(record, 0x80860003)) {
        ConLine(" -> Additional Inf. : " +
                MachineText(NulText(record.tmxInfoText.data(), record.tmxInfoText.size())));
    }
    ConLine(" -> Clock Frequency : " + Decimal(record.tmxNominalMhz) + " MHz");
    ConFlush();
}

// Three lines, no heading and no end prompt.
void ShowTransmetaStatus(const ProcessorRecord& record) {
    ConLine(" -> Current Freq.   : " + Decimal(record.tmxCurrentMhz) + " MHz");
    ConLine(" -> Current Voltage : " + Decimal(record.tmxCurrentVoltage) + " mV");
    ConLine(" -> Performance     : " + Decimal(record.tmxCurrentPerformance) + " percent");
    ConFlush();
}
