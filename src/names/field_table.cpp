#include "names/field_table.hpp"

#include "common/text_format.hpp"
#include "cpuid/registers.hpp"

#include <cctype>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kFieldsPrefix = "Fields.";
constexpr size_t kLeafDigits = 8;

// The parts of text between separators.
std::vector<std::string_view> SplitText(std::string_view text, char separator, size_t most) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < most) {
        size_t at = text.find(separator);
        if (at == std::string_view::npos) {
            break;
        }
        parts.push_back(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
    parts.push_back(text);
    return parts;
}

std::optional<uint32_t> ParseNumber(std::string_view text, int base) {
    if (text.empty() || text.size() > kLeafDigits + 2) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (char c : text) {
        int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                    : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                        ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                        : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
    if (value > 0xFFFFFFFFu) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

// "n" or "hi:lo", low first.
bool ParseRange(std::string_view text, uint32_t& low, uint32_t& high) {
    std::vector<std::string_view> parts = SplitText(text, ':', 2);
    std::optional<uint32_t> first = ParseNumber(parts[0], 10);
    std::optional<uint32_t> last = parts.size() == 2 ? ParseNumber(parts[1], 10) : first;
    if (!first || !last || *last > *first) {
        return false;
    }
    high = *first;
    low = *last;
    return true;
}

// The sub-leaves of a field: a range as ParseRange reads it, or "lo+" for
// sub-leaf lo and every one above it (a leaf whose sub-leaves repeat one layout).
bool ParseSubleaves(std::string_view text, uint32_t& low, uint32_t& high) {
    if (text.empty() || text.back() != '+') {
        return ParseRange(text, low, high);
    }
    std::optional<uint32_t> first = ParseNumber(text.substr(0, text.size() - 1), 10);
    if (!first) {
        return false;
    }
    low = *first;
    high = kEverySubleafAbove;
    return true;
}

std::optional<int> ParseRegister(std::string_view text) {
    static const char* const kNames[] = {"EAX", "EBX", "ECX", "EDX"};
    for (int reg = kEax; reg <= kEdx; ++reg) {
        if (text == kNames[reg]) {
            return reg;
        }
    }
    return std::nullopt;
}

std::optional<FieldLayout> ParseField(uint32_t leaf, std::string_view key, std::string_view value) {
    std::vector<std::string_view> place = SplitText(key, '.', 3);
    std::vector<std::string_view> words = SplitText(value, ',', 3);
    if (place.size() != 3 || words.size() != 3 || words[0].empty()) {
        return std::nullopt;
    }
    FieldLayout layout;
    layout.leaf = leaf;
    uint32_t lowBit = 0;
    uint32_t highBit = 0;
    std::optional<int> reg = ParseRegister(place[1]);
    std::optional<FieldKind> kind = FieldKindNamed(words[1]);
    if (!ParseSubleaves(place[0], layout.firstSubleaf, layout.lastSubleaf) || !reg ||
        !ParseRange(place[2], lowBit, highBit) || highBit > 31 || !kind) {
        return std::nullopt;
    }
    layout.reg = *reg;
    layout.lowBit = lowBit;
    layout.bitCount = highBit - lowBit + 1;
    layout.name = std::string(words[0]);
    layout.kind = *kind;
    layout.label = std::string(words[2]);
    return layout;
}

void ReadSection(const IniSection& section, uint32_t leaf, std::vector<FieldLayout>& fields) {
    for (const auto& [key, value] : section.entries) {
        if (std::optional<FieldLayout> layout = ParseField(leaf, key, value)) {
            fields.push_back(std::move(*layout));
        }
    }
}

HypervisorFieldLayouts& HypervisorLayouts(FieldTable& table, std::string_view signature) {
    for (HypervisorFieldLayouts& layouts : table.hypervisorFields) {
        if (layouts.signature == signature) {
            return layouts;
        }
    }
    table.hypervisorFields.push_back(HypervisorFieldLayouts{std::string(signature), {}});
    return table.hypervisorFields.back();
}

// The leaf of a [Fields.LEAF] or [Fields.LEAF.SIGNATURE] section, and the
// signature; none for any other section.
std::optional<uint32_t> FieldSectionLeaf(std::string_view name, std::string_view& signature) {
    if (name.size() < kFieldsPrefix.size() + kLeafDigits ||
        name.substr(0, kFieldsPrefix.size()) != kFieldsPrefix) {
        return std::nullopt;
    }
    std::vector<std::string_view> parts = SplitText(name.substr(kFieldsPrefix.size()), '.', 2);
    signature = parts.size() == 2 ? parts[1] : std::string_view();
    return parts[0].size() == kLeafDigits ? ParseNumber(parts[0], 16) : std::nullopt;
}

// Adds the fields of one section: a leaf's own, or a hypervisor's leaf
// after its signature.
void ReadFieldSection(const IniSection& section, FieldTable& table) {
    std::string_view signature;
    std::optional<uint32_t> leaf = FieldSectionLeaf(section.name, signature);
    if (!leaf) {
        return;
    }
    if (signature.empty() && section.name.size() == kFieldsPrefix.size() + kLeafDigits) {
        ReadSection(section, *leaf, table.fields);
    } else if (*leaf == kHypervisorBase + 1 && !signature.empty()) {
        ReadSection(section, *leaf, HypervisorLayouts(table, signature).fields);
    }
}

} // namespace

FieldTable ReadFieldTable(const IniFile& database) {
    FieldTable table;
    for (const IniSection& section : database.sections) {
        ReadFieldSection(section, table);
    }
    SortFieldTable(table);
    return table;
}

FieldTable ReadFieldTable(const IniFile& database, const std::vector<uint32_t>& leaves) {
    FieldTable table;
    for (uint32_t leaf : leaves) {
        if (const IniSection* section =
                FindIniSection(database, std::string(kFieldsPrefix) + DwordToHex(leaf))) {
            ReadFieldSection(*section, table);
        }
        if (leaf != kHypervisorBase + 1) {
            continue;
        }
        for (const IniSection& section : database.sections) {
            std::string_view signature;
            if (FieldSectionLeaf(section.name, signature) == leaf && !signature.empty()) {
                ReadFieldSection(section, table);
            }
        }
    }
    SortFieldTable(table);
    return table;
}
