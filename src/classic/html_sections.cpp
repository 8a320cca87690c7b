// The report sections of the standard and extended identity, the feature
// lists, the configuration descriptors, power management and address sizes.
#include "classic/html_report.hpp"
#include "classic/shared_rows.hpp"
#include "common/text_format.hpp"

namespace {

// Power management rows cover bits 0 to 2 only.
constexpr size_t kLastReportedPowerBit = 2;

void WriteLongNameRow(TextFile& page, const ProcessorRecord& record) {
    if (HasBrandString(record)) {
        WriteValueRow(page, "Long Name",
                      HtmlText(NulText(record.brandString.data(), record.brandString.size())));
    }
}

void WriteHardwareRows(TextFile& page, const ProcessorRecord& record) {
    for (const HardwareRow& row : kHardwareRows) {
        if (HardwareRowShown(record, row)) {
            WriteValueRow(page, row.reportField, HtmlText(row.value(record)));
        }
    }
}

std::string SpeedText(const ProcessorRecord& record) {
    return FixedReal(record.measuredMhz, 8, 3) + " MHz" + "   [Normalized to " +
           Decimal(record.normalizedMhz) + " MHz]";
}

} // namespace

void WriteIdentitySection(TextFile& page, const ProcessorRecord& record) {
    WriteTitleRow(page, "Processor Identity");
    WriteValueRow(page, "Vendor", HtmlText(record.vendorId));
    WriteValueRow(page, "Type", HtmlText(record.typeName));
    WriteValueRow(page, "Family", HexDigit(record.family));
    WriteValueRow(page, "Model", HexDigit(record.model) + " [" + HtmlText(record.vendorName) + "]");
    WriteLongNameRow(page, record);
    WriteValueRow(page, "Stepping", HexDigit(record.stepping));
    if (record.brandId != 0) {
        WriteValueRow(page, "BRAND ID", HtmlText(record.brandName));
    }
    if (record.measuredMhz != 0.0) {
        WriteValueRow(page, "Speed", SpeedText(record));
    }
    WriteHardwareRows(page, record);
    EndReportSection(page);
}

void WriteStdFeaturesSection(TextFile& page, const ProcessorRecord& record) {
    WriteTitleRow(page, "Standard Processor Features");
    WriteFeatureRows(page, record.stdFeatureNames, record.stdFeatureStatus);
    EndReportSection(page);
}

void WriteConfigDescriptorSection(TextFile& page, const ProcessorRecord& record) {
    WriteTitleRow(page, "Standard Processor Configuration Descriptor");
    for (const std::string& name : record.configNames) {
        if (!name.empty()) {
            WriteDescriptorRow(page, HtmlText(name));
        }
    }
    WriteWideSpacerRow(page);
    page.Flush();
}

void WriteExtIdentitySection(TextFile& page, const ProcessorRecord& record) {
    WriteTitleRow(page, "Extended Processor Identity");
    WriteValueRow(page, "Family", HexDigit(record.extFamily));
    WriteValueRow(page, "Model", HexDigit(record.extModel) + " [" + HtmlText(record.extVendorName) + "]");
    WriteLongNameRow(page, record);
    WriteValueRow(page, "Stepping", HexDigit(record.extStepping));
    EndReportSection(page);
}

void WriteExtFeaturesSection(TextFile& page, const ProcessorRecord& record) {
    WriteTitleRow(page, "Extended Processor Features");
    for (size_t bit = 0; bit < record.extFeatureNames.size(); ++bit) {
        if (record.extFeatureStatus[bit] == StatusHidden) {
            continue;
        }
        WriteFlagRow(page, HtmlText(ExtendedFeatureName(record, bit)),
                     record.extFeatureStatus[bit] == StatusPresent);
    }
    EndReportSection(page);
}

void WritePowerManagementSection(TextFile& page, const ProcessorRecord& record) {
    WriteTitleRow(page, "Enhanced Power Management");
    for (size_t bit = 0; bit <= kLastReportedPowerBit; ++bit) {
        if (record.powerMgmtStatus[bit] != StatusHidden) {
            WriteOpenFlagRow(page, HtmlText(record.powerMgmtNames[bit]),
                             record.powerMgmtStatus[bit] == StatusPresent);
        }
    }
    EndReportSection(page);
}

void WriteAddressSizeSection(TextFile& page, const ProcessorRecord& record) {
    WriteTitleRow(page, "Physical Address And Linear Address Size");
    WriteValueRow(page, "Physical Address Size", AddressSizeText(record.physAddrBits, record.physAddrSpace));
    WriteValueRow(page, "Linear   Address Size",
                  AddressSizeText(record.linearAddrBits, record.linearAddrSpace));
    EndReportSection(page);
}
