#include "classic/shared_rows.hpp"

#include "common/text_format.hpp"
#include "cpuid/registers.hpp"

namespace {

constexpr size_t kCyrixMmxBit = 24;
const char kCyrixVendorId[] = "CyrixInstead";

std::string ApicIdText(const ProcessorRecord& record) {
    return ByteToHex(record.apicId);
}

std::string SerialText(const ProcessorRecord& record) {
    return record.serialText;
}

std::string ClflushText(const ProcessorRecord& record) {
    return Decimal(record.clflushSize * 8u);
}

std::string LogicalCountText(const ProcessorRecord& record) {
    return Decimal(record.logicalCount);
}

// Associativity and entries of one L1 TLB, from l1Fields[first] and [first + 1].
std::string L1TlbText(const ProcessorRecord& record, size_t first, WaysForm) {
    const auto& f = record.l1Fields;
    return L1WaysText(f[first]) + ", " + Decimal(f[first + 1]) + " entries";
}

// One L1 cache from l1Fields[first] to [first + 3]: size, associativity,
// lines per tag, line size.
std::string L1CacheText(const ProcessorRecord& record, size_t first, WaysForm) {
    const auto& f = record.l1Fields;
    return Decimal(f[first]) + " KB" + ", " + L1WaysText(f[first + 1]) + ", " + Decimal(f[first + 2]) +
           " lines per tag" + ", " + Decimal(f[first + 3]) + " byte lines";
}

std::string L2TlbText(const ProcessorRecord& record, size_t first, WaysForm ways) {
    const auto& f = record.l2Fields;
    return L2WaysText(f[first], ways) + ", " + Decimal(f[first + 1]) + " entries";
}

std::string L2CacheText(const ProcessorRecord& record, size_t first, WaysForm ways) {
    const auto& f = record.l2Fields;
    return Decimal(f[first]) + " KB, " + L2WaysText(f[first + 1], ways) + ", " + Decimal(f[first + 2]) +
           " lines per tag" + ", " + Decimal(f[first + 3]) + " byte lines";
}

} // namespace

const HardwareRow kHardwareRows[4] = {
    {kBitLocalApic, " -> Local APIC Physical ID                   : ", "Local APIC Physical ID", ApicIdText,
     false},
    {kBitSerialNumber, " -> Processor Serial Number [PSN] is         : ", "Processor Serial Number [PSN]",
     SerialText, false},
    {kBitClflush, " -> Cache Line FLUSH [CLFLUSH] Size          : ", "Cache Line FLUSH [CLFLUSH] Size",
     ClflushText, false},
    {kBitHyperThreading, " -> CPU Count for Hyper Threading Technology : ",
     "CPU Count for Hyper Threading Technology", LogicalCountText, true},
};

bool HardwareRowShown(const ProcessorRecord& record, const HardwareRow& row) {
    if (record.stdFeatureStatus[row.bit] != StatusPresent) {
        return false;
    }
    return !row.severalLogical || record.logicalCount > 1;
}

const CacheRow kL1CacheRows[6] = {
    {&ProcessorRecord::l1Regs, kEax, "L1 Data TLB, 4M/2M pages", L1TlbText, 0, WaysForm::Plural},
    {&ProcessorRecord::l1Regs, kEax, "L1 Code TLB, 4M/2M pages", L1TlbText, 2, WaysForm::Plural},
    {&ProcessorRecord::l1Regs, kEbx, "L1 Data TLB, 4K pages", L1TlbText, 4, WaysForm::Plural},
    {&ProcessorRecord::l1Regs, kEbx, "L1 Code TLB, 4K pages", L1TlbText, 6, WaysForm::Plural},
    {&ProcessorRecord::l1Regs, kEcx, "L1 Data Cache", L1CacheText, 8, WaysForm::Plural},
    {&ProcessorRecord::l1Regs, kEdx, "L1 Code Cache", L1CacheText, 12, WaysForm::Plural},
};

const CacheRow kL2CacheRows[5] = {
    {&ProcessorRecord::l2Regs, kEax, "L2 Data TLB, 4M/2M pages", L2TlbText, 0, WaysForm::Plural},
    {&ProcessorRecord::l2Regs, kEax, "L2 Code TLB, 4M/2M pages", L2TlbText, 2, WaysForm::Hyphenated},
    {&ProcessorRecord::l2Regs, kEbx, "L2 Data TLB, 4K pages", L2TlbText, 4, WaysForm::Plural},
    {&ProcessorRecord::l2Regs, kEbx, "L2 Code TLB, 4K pages", L2TlbText, 6, WaysForm::Plural},
    {&ProcessorRecord::l2Regs, kEcx, "Unified L2 Cache", L2CacheText, 8, WaysForm::Plural},
};

bool CacheRowShown(const ProcessorRecord& record, const CacheRow& row) {
    return (record.*row.regs)[row.reg] != 0;
}

std::string ExtendedFeatureName(const ProcessorRecord& record, size_t bit) {
    if (bit == kCyrixMmxBit && record.vendorId == kCyrixVendorId) {
        return "Cyrix MMX+ Technology";
    }
    return record.extFeatureNames[bit];
}

std::string AddressSizeText(uint8_t bits, long double space) {
    return Decimal(bits) + "-bits [approx. " + FixedReal(space, 12, 0) + " bytes]";
}
