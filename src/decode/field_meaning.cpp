#include "decode/field_meaning.hpp"

#include "common/text_format.hpp"
#include "decode/coded_values.hpp"

namespace {

constexpr uint32_t kLargestShift = 63;

std::string CodeText(const char* name) {
    return name != nullptr ? name : "reserved code";
}

std::string Units(uint64_t count, const char* one, const char* many) {
    return Decimal(count) + " " + (count == 1 ? one : many);
}

std::string AssociativityText(const Associativity& associativity) {
    if (associativity.fullyAssociative) {
        return "fully associative";
    }
    if (associativity.absent) {
        return "absent";
    }
    if (associativity.describedByLeaf != 0) {
        return "see leaf 0x" + DwordToHex(associativity.describedByLeaf);
    }
    if (!associativity.ways) {
        return "reserved code";
    }
    return *associativity.ways == 1 ? "direct mapped" : Units(*associativity.ways, "way", "ways");
}

// Four bytes, lowest first, printable ASCII kept and every other byte '.'.
std::string AsciiBytes(uint32_t value) {
    std::string text = "\"";
    for (int shift = 0; shift < 32; shift += 8) {
        char c = static_cast<char>((value >> shift) & 0xFFu);
        text += c >= 0x20 && c < 0x7F && c != '"' && c != '\\' ? c : '.';
    }
    return text + "\"";
}

std::string PowerOfTwoBytes(uint32_t exponent) {
    if (exponent > kLargestShift) {
        return "2^" + Decimal(exponent) + " bytes (beyond counting)";
    }
    return Units(uint64_t{1} << exponent, "byte", "bytes");
}

std::string DescriptorText(uint32_t value, const DescriptorNames& names) {
    if (value == 0) {
        return "null descriptor";
    }
    const std::string& name = names[value & 0xFFu];
    return name.empty() ? "unknown descriptor" : name;
}

} // namespace

const char* RegisterName(int reg) {
    static const char* const kNames[] = {"eax", "ebx", "ecx", "edx"};
    return reg >= 0 && reg < 4 ? kNames[reg] : "?";
}

std::string LeafPlaceText(uint32_t leaf, uint32_t subleaf) {
    return "0x" + DwordToHex(leaf) + "." + Decimal(subleaf);
}

std::string FieldBitsText(const DecodedField& field) {
    std::string reg = RegisterName(field.reg);
    if (field.layout == nullptr) {
        return reg;
    }
    uint32_t low = field.layout->lowBit;
    uint32_t high = low + field.layout->bitCount - 1;
    return reg + "[" + (high == low ? Decimal(low) : Decimal(high) + ":" + Decimal(low)) + "]";
}

std::string FieldValueText(const DecodedField& field) {
    if (field.layout == nullptr) {
        return "0x" + DwordToHex(field.value);
    }
    switch (field.layout->kind) {
    case FieldKind::Hex:
    case FieldKind::Text:
        return "0x" + DwordToHex(field.value);
    default:
        return Decimal(field.value);
    }
}

std::string FieldMeaning(const DecodedField& field, const DescriptorNames& descriptorNames) {
    if (field.layout == nullptr) {
        return "";
    }
    uint64_t value = field.value;
    switch (field.layout->kind) {
    case FieldKind::Number:
    case FieldKind::Hex:
    case FieldKind::Flag:
    case FieldKind::Id:
    case FieldKind::Speculation:
        return "";
    case FieldKind::Text:
        return AsciiBytes(field.value);
    case FieldKind::Count:
        return Decimal(value + 1);
    case FieldKind::Bytes:
        return Units(value, "byte", "bytes");
    case FieldKind::BytesCount:
        return Units(value + 1, "byte", "bytes");
    case FieldKind::WaysCount:
        return Units(value + 1, "way", "ways");
    case FieldKind::Kb:
        return Decimal(value) + " KB";
    case FieldKind::HalfMb:
        return Decimal(value * 512) + " KB";
    case FieldKind::Qwords:
        return Units(value * 8, "byte", "bytes");
    case FieldKind::PagesCount:
        return Decimal((value + 1) * 4) + " KB";
    case FieldKind::Log2Bytes:
        return PowerOfTwoBytes(field.value);
    case FieldKind::Bits:
        return Units(value, "bit", "bits");
    case FieldKind::Mhz:
        return Decimal(value) + " MHz";
    case FieldKind::Hz:
        return Decimal(value) + " Hz";
    case FieldKind::CacheType:
        return CodeText(CacheTypeCodeName(field.value));
    case FieldKind::TlbType:
        return CodeText(TlbTypeCodeName(field.value));
    case FieldKind::TopologyType:
        return CodeText(TopologyLevelCodeName(field.value));
    case FieldKind::AmdTopologyType:
        return CodeText(AmdTopologyLevelCodeName(field.value));
    case FieldKind::CoreType:
        return CodeText(CoreTypeCodeName(field.value));
    case FieldKind::AmdCoreType:
        return CodeText(AmdCoreTypeCodeName(field.value));
    case FieldKind::ProcessorType:
        return CodeText(ProcessorTypeCodeName(field.value));
    case FieldKind::AmdL1Ways:
        return AssociativityText(AmdL1Associativity(field.value));
    case FieldKind::AmdWays:
        return AssociativityText(AmdAssociativity(field.value));
    case FieldKind::PerfTscBits:
        return Units(PerformanceTscBits(field.value), "bit", "bits");
    case FieldKind::Descriptor:
        return DescriptorText(field.value, descriptorNames);
    case FieldKind::NoDescriptors:
        return field.value != 0 ? "register holds no descriptors" : "";
    }
    return "";
}
