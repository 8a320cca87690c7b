#include "classic/record_identity.hpp"

#include "common/text_format.hpp"
#include "cpuid/registers.hpp"
#include "decode/cache_descriptors.hpp"
#include "decode/identity.hpp"
#include "names/processor_db.hpp"

namespace {

// Leaf 1 EAX bits 4..11 (family and model as one byte) must reach this for
// leaf 1 EBX to carry brand, CLFLUSH, logical count and APIC ID.
constexpr uint32_t kBrandFieldsFrom = 0x53;

const char kGenuineIntel[] = "GenuineIntel";
const char kUnknownBrand[] = "Unknown";

uint8_t ByteField(uint32_t value, uint32_t low, uint32_t count) {
    return static_cast<uint8_t>(BitField(value, low, count));
}

// What the name rows of a shared signature ask beyond it, from the leaves
// the probe has read by the time the names are looked up.
SignatureFacts SignatureFactsOf(const ProcessorRecord& record, const IniFile& database) {
    SignatureFacts facts;
    facts.brand = NulText(record.brandString.data(), record.brandString.size());
    std::vector<uint8_t> descriptors;
    for (const auto& found : Leaf2Descriptors(record.configRegs)) {
        descriptors.push_back(found.second);
    }
    facts.level3 = DescriptorsNameLevel3(database, descriptors);
    facts.hypervisor = BitSet(record.stdRegs[1].ecx, kBitHypervisor);
    facts.longMode = BitSet(record.extFeatureFlags, kBitLongMode);
    return facts;
}

} // namespace

void SplitStandardSignature(ProcessorRecord& record, const CpuidRegs& leaf1) {
    SignatureFields fields = SplitSignature(leaf1.eax);
    record.signature = leaf1.eax;
    record.stepping = static_cast<uint8_t>(fields.stepping);
    record.model = static_cast<uint8_t>(fields.baseModel);
    record.family = static_cast<uint8_t>(fields.baseFamily);
    record.procType = static_cast<uint8_t>(fields.type);
    record.brandId = 0;
    if (ByteField(leaf1.eax, 4, 8) >= kBrandFieldsFrom) {
        record.brandId = ByteField(leaf1.ebx, 0, 8);
        record.clflushSize = ByteField(leaf1.ebx, 8, 8);
        record.logicalCount = ByteField(leaf1.ebx, 16, 8);
        record.apicId = ByteField(leaf1.ebx, 24, 8);
    }
    record.stdFeatureFlags = leaf1.edx;
}

void SplitExtendedSignature(ProcessorRecord& record, uint32_t eax) {
    record.extSignature = eax;
    record.extStepping = ByteField(eax, 0, 4);
    record.extModel = ByteField(eax, 4, 4);
    record.extFamily = ByteField(eax, 8, 8);
}

std::string TypeNameOf(uint8_t procType) {
    static const char* const kTypeNames[4] = {"Original OEM Processor", "OverDrive Processor",
                                              "Dual Processor", "Reserved"};
    return kTypeNames[procType & 3];
}

std::string BrandNameOf(uint8_t brandId, const std::string& vendorId, uint8_t family, uint8_t model,
                        uint8_t stepping) {
    bool intel = vendorId == kGenuineIntel;
    switch (brandId) {
    case 0:
        return "Not supported";
    case 1:
        return "Intel Celeron Processor [Coppermine]";
    case 2:
        return "Intel Pentium III Processor [Coppermine]";
    case 3:
        return model == 10 ? "Intel Pentium III Xeon Processor [Cascades]"
                           : "Intel Celeron Processor [Tualatin]";
    case 4:
        return "Intel Pentium III Processor [Tualatin]";
    case 6:
        return "Mobile Intel Pentium III - M Processor [Tualatin]";
    case 7:
        return "Mobile Intel Celeron Processor [Tualatin]";
    case 8:
        if (intel && family == 15 && model >= 1 && stepping >= 4) {
            return "Intel Genuine Processor";
        }
        return "Intel Pentium 4 Processor [Willamette]";
    case 9:
        return "Intel Pentium 4 Processor [Northwood]";
    case 11:
        return (intel && model <= 1 && stepping <= 2) ? "Intel Xeon Processor MP" : "Intel Xeon Processor";
    case 14:
        return "Intel Xeon Foster / Northwood Mobile Processor";
    default:
        return kUnknownBrand;
    }
}

void DecodeIdentityNames(ProcessorRecord& record, const IniFile& database) {
    record.typeName = TypeNameOf(record.procType);
    std::string vendorKey = LookupVendorKey(database, record.vendorId);
    if (!vendorKey.empty()) {
        SignatureFacts facts = SignatureFactsOf(record, database);
        record.vendorName =
            MatchSignature(database, "Vendor" + vendorKey, DwordToBits(record.signature), facts);
        record.extVendorName =
            MatchSignature(database, "ExtVendor" + vendorKey, DwordToBits(record.extSignature), facts);
    }
    record.brandName =
        BrandNameOf(record.brandId, record.vendorId, record.family, record.model, record.stepping);
}

void FormatSerialNumber(ProcessorRecord& record) {
    const uint32_t parts[3] = {record.signature, record.serialMid, record.serialLow};
    std::string text;
    for (uint32_t part : parts) {
        DwordHalves halves = SplitDword(part);
        if (!text.empty()) {
            text += "-";
        }
        text += WordToHex(halves.high) + "-" + WordToHex(halves.low);
    }
    record.serialText = text;
}
