// The report sections of the standard and extended identity, the feature
// lists, the configuration descriptors, power management and address sizes.
#include "common/text_format.hpp"
#include "probe/leaves.hpp"
#include "probe/record.hpp"
#include "reports/html_report.hpp"

namespace {

// Extended feature bit that Cyrix processors use for their own MMX extensions.
constexpr size_t kBitCyrixMmxPlus = 24;

// Power management rows cover bits 0 to 2 only.
constexpr size_t kLastReportedPowerBit = 2;

void WriteLongNameRow() {
    const ProcessorRecord& r = gRecord;
    if (HasBrandString(r)) {
        WriteValueRow("Long Name", HtmlText(NulText(r.brandString.data(), r.brandString.size())));
    }
}

bool StdFeaturePresent(int bit) {
    return gRecord.stdFeatureStatus[bit] == StatusPresent;
}

// Rows that depend on leaf 1 EDX bits the data file names and the processor sets.
void WriteHardwareRows() {
    const ProcessorRecord& r = gRecord;
    if (StdFeaturePresent(kBitLocalApic)) {
        WriteValueRow("Local APIC Physical ID", ByteToHex(r.apicId));
    }
    if (StdFeaturePresent(kBitSerialNumber)) {
        WriteValueRow("Processor Serial Number [PSN]", HtmlText(r.serialText));
    }
    if (StdFeaturePresent(kBitClflush)) {
        WriteValueRow("Cache Line FLUSH [CLFLUSH] Size", Decimal(r.clflushSize * 8u));
    }
    if (StdFeaturePresent(kBitHyperThreading) && r.logicalCount > 1) {
        WriteValueRow("CPU Count for Hyper Threading Technology", Decimal(r.logicalCount));
    }
}

std::string SpeedText() {
    const ProcessorRecord& r = gRecord;
    return FixedReal(r.measuredMhz, 8, 3) + " MHz" + "   [Normalized to " + Decimal(r.normalizedMhz) +
           " MHz]";
}

std::string AddressSizeText(uint8_t bits, long double space) {
    return Decimal(bits) + "-bits [approx. " + FixedReal(space, 12, 0) + " bytes]";
}

} // namespace

void WriteIdentitySection() {
    const ProcessorRecord& r = gRecord;
    WriteTitleRow("Processor Identity");
    WriteValueRow("Vendor", HtmlText(r.vendorId));
    WriteValueRow("Type", HtmlText(r.typeName));
    WriteValueRow("Family", HexDigit(r.family));
    WriteValueRow("Model", HexDigit(r.model) + " [" + HtmlText(r.vendorName) + "]");
    WriteLongNameRow();
    WriteValueRow("Stepping", HexDigit(r.stepping));
    if (r.brandId != 0) {
        WriteValueRow("BRAND ID", HtmlText(r.brandName));
    }
    if (r.measuredMhz != 0.0) {
        WriteValueRow("Speed", SpeedText());
    }
    WriteHardwareRows();
    EndReportSection();
}

void WriteStdFeaturesSection() {
    const ProcessorRecord& r = gRecord;
    WriteTitleRow("Standard Processor Features");
    WriteFeatureRows(r.stdFeatureNames, r.stdFeatureStatus);
    EndReportSection();
}

void WriteConfigDescriptorSection() {
    WriteTitleRow("Standard Processor Configuration Descriptor");
    for (const std::string& name : gRecord.configNames) {
        if (!name.empty()) {
            WriteDescriptorRow(HtmlText(name));
        }
    }
    WriteWideSpacerRow();
    reportFile.Flush();
}

void WriteExtIdentitySection() {
    const ProcessorRecord& r = gRecord;
    WriteTitleRow("Extended Processor Identity");
    WriteValueRow("Family", HexDigit(r.extFamily));
    WriteValueRow("Model", HexDigit(r.extModel) + " [" + HtmlText(r.extVendorName) + "]");
    WriteLongNameRow();
    WriteValueRow("Stepping", HexDigit(r.extStepping));
    EndReportSection();
}

void WriteExtFeaturesSection() {
    const ProcessorRecord& r = gRecord;
    WriteTitleRow("Extended Processor Features");
    for (size_t bit = 0; bit < r.extFeatureNames.size(); ++bit) {
        if (r.extFeatureStatus[bit] == StatusHidden) {
            continue;
        }
        bool present = r.extFeatureStatus[bit] == StatusPresent;
        if (bit == kBitCyrixMmxPlus && r.vendorId == "CyrixInstead") {
            WriteFlagRow("Cyrix MMX+ Technology", present);
        } else {
            WriteFlagRow(HtmlText(r.extFeatureNames[bit]), present);
        }
    }
    EndReportSection();
}

void WritePowerManagementSection() {
    const ProcessorRecord& r = gRecord;
    WriteTitleRow("Enhanced Power Management");
    for (size_t bit = 0; bit <= kLastReportedPowerBit; ++bit) {
        if (r.powerMgmtStatus[bit] != StatusHidden) {
            WriteOpenFlagRow(HtmlText(r.powerMgmtNames[bit]), r.powerMgmtStatus[bit] == StatusPresent);
        }
    }
    EndReportSection();
}

void WriteAddressSizeSection() {
    const ProcessorRecord& r = gRecord;
    WriteTitleRow("Physical Address And Linear Address Size");
    WriteValueRow("Physical Address Size", AddressSizeText(r.physAddrBits, r.physAddrSpace));
    WriteValueRow("Linear   Address Size", AddressSizeText(r.linearAddrBits, r.linearAddrSpace));
    EndReportSection();
}
