// The report sections of the standard and extended identity, the feature
// lists, the configuration descriptors, power management and address sizes.
#include "classic/html_report.hpp"
#include "classic/shared_rows.hpp"
#include "common/text_format.hpp"

namespace {

// Power management rows cover bits 0 to 2 only.
constexpr size_t kLastReportedPowerBit = 2;

void WriteLongNameRow(const ProcessorRecord& r) {
    if (HasBrandString(r)) {
        WriteValueRow("Long Name", HtmlText(NulText(r.brandString.data(), r.brandString.size())));
    }
}

void WriteHardwareRows(const ProcessorRecord& r) {
    for (const HardwareRow& row : kHardwareRows) {
        if (HardwareRowShown(r, row)) {
            WriteValueRow(row.reportField, HtmlText(row.value(r)));
        }
    }
}

std::string SpeedText(const ProcessorRecord& r) {
    return FixedReal(r.measuredMhz, 8, 3) + " MHz" + "   [Normalized to " + Decimal(r.normalizedMhz) +
           " MHz]";
}

} // namespace

void WriteIdentitySection(const ProcessorRecord& r) {
    WriteTitleRow("Processor Identity");
    WriteValueRow("Vendor", HtmlText(r.vendorId));
    WriteValueRow("Type", HtmlText(r.typeName));
    WriteValueRow("Family", HexDigit(r.family));
    WriteValueRow("Model", HexDigit(r.model) + " [" + HtmlText(r.vendorName) + "]");
    WriteLongNameRow(r);
    WriteValueRow("Stepping", HexDigit(r.stepping));
    if (r.brandId != 0) {
        WriteValueRow("BRAND ID", HtmlText(r.brandName));
    }
    if (r.measuredMhz != 0.0) {
        WriteValueRow("Speed", SpeedText(r));
    }
    WriteHardwareRows(r);
    EndReportSection();
}

void WriteStdFeaturesSection(const ProcessorRecord& r) {
    WriteTitleRow("Standard Processor Features");
    WriteFeatureRows(r.stdFeatureNames, r.stdFeatureStatus);
    EndReportSection();
}

void WriteConfigDescriptorSection(const ProcessorRecord& r) {
    WriteTitleRow("Standard Processor Configuration Descriptor");
    for (const std::string& name : r.configNames) {
        if (!name.empty()) {
            WriteDescriptorRow(HtmlText(name));
        }
    }
    WriteWideSpacerRow();
    reportFile.Flush();
}

void WriteExtIdentitySection(const ProcessorRecord& r) {
    WriteTitleRow("Extended Processor Identity");
    WriteValueRow("Family", HexDigit(r.extFamily));
    WriteValueRow("Model", HexDigit(r.extModel) + " [" + HtmlText(r.extVendorName) + "]");
    WriteLongNameRow(r);
    WriteValueRow("Stepping", HexDigit(r.extStepping));
    EndReportSection();
}

void WriteExtFeaturesSection(const ProcessorRecord& r) {
    WriteTitleRow("Extended Processor Features");
    for (size_t bit = 0; bit < r.extFeatureNames.size(); ++bit) {
        if (r.extFeatureStatus[bit] == StatusHidden) {
            continue;
        }
        WriteFlagRow(HtmlText(ExtendedFeatureName(r, bit)), r.extFeatureStatus[bit] == StatusPresent);
    }
    EndReportSection();
}

void WritePowerManagementSection(const ProcessorRecord& r) {
    WriteTitleRow("Enhanced Power Management");
    for (size_t bit = 0; bit <= kLastReportedPowerBit; ++bit) {
        if (r.powerMgmtStatus[bit] != StatusHidden) {
            WriteOpenFlagRow(HtmlText(r.powerMgmtNames[bit]), r.powerMgmtStatus[bit] == StatusPresent);
        }
    }
    EndReportSection();
}

void WriteAddressSizeSection(const ProcessorRecord& r) {
    WriteTitleRow("Physical Address And Linear Address Size");
    WriteValueRow("Physical Address Size", AddressSizeText(r.physAddrBits, r.physAddrSpace));
    WriteValueRow("Linear   Address Size", AddressSizeText(r.linearAddrBits, r.linearAddrSpace));
    EndReportSection();
}
