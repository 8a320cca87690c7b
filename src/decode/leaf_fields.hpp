// Every documented field of every recorded leaf, read with the field table
// the data file gives (handed in: this layer never sees the file). A leaf or
// sub-leaf the table does not describe is kept as its four raw registers.
#pragma once

#include "cpuid/snapshot.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How a field's value is read; FieldMeaning turns each into words.
enum class FieldKind {
    Number,
    Hex,
    Flag,
    Text,  // four ASCII bytes, lowest first
    Count, // stored minus one
    Bytes,
    BytesCount, // bytes, stored minus one
    WaysCount,  // ways, stored minus one
    Kb,
    HalfMb,     // units of 512 KB
    Qwords,     // units of 8 bytes
    PagesCount, // 4 KB pages, stored minus one
    Log2Bytes,  // a power of two of bytes
    Bits,
    Mhz,
    Hz,
    Id,          // differs per processor: listed in the table of ids
    Speculation, // a speculation-control or immunity bit
    CacheType,
    TlbType,
    TopologyType,
    AmdTopologyType,
    CoreType,
    AmdCoreType,
    ProcessorType,
    AmdL1Ways,
    AmdWays,
    PerfTscBits,
    Descriptor,    // a leaf 2 descriptor byte
    NoDescriptors, // leaf 2 bit 31: set when its register holds no descriptors
};

// The kind a data-file word names ("cache_type"), or none; and the word of a kind.
std::optional<FieldKind> FieldKindNamed(std::string_view word);
const char* FieldKindWord(FieldKind kind);

// The last sub-leaf of a field whose layout repeats in every sub-leaf from
// its first one up (a cache, a TLB, a topology level, a state component).
constexpr uint32_t kEverySubleafAbove = 0xFFFFFFFFu;

struct FieldLayout {
    uint32_t leaf = 0;
    uint32_t firstSubleaf = 0;
    uint32_t lastSubleaf = 0; // kEverySubleafAbove: no last one
    int reg = 0;              // kEax .. kEdx
    uint32_t lowBit = 0;
    uint32_t bitCount = 1;
    std::string name;
    FieldKind kind = FieldKind::Number;
    std::string label;
};

// Fields of the hypervisor leaf that follows a signature: KVM's 0x40000001.
struct HypervisorFieldLayouts {
    std::string signature; // "KVMKVMKVM"
    std::vector<FieldLayout> fields;
};

struct FieldTable {
    std::vector<FieldLayout> fields; // ordered by leaf, table order within a leaf
    std::vector<HypervisorFieldLayouts> hypervisorFields;
};

// Orders the fields by leaf, keeping the order within each leaf.
void SortFieldTable(FieldTable& table);

// One field of one recorded (leaf, sub-leaf), or one raw register of a leaf
// without a field table (layout null).
struct DecodedField {
    uint32_t leaf = 0;
    uint32_t subleaf = 0;
    const FieldLayout* layout = nullptr;
    int reg = 0;
    uint32_t value = 0;
    uint32_t order = 0; // position within its (leaf, sub-leaf)
};

bool SameFieldPlace(const DecodedField& a, const DecodedField& b);
bool FieldPlaceBefore(const DecodedField& a, const DecodedField& b);

// Every field of processor cpu, in leaf, sub-leaf and table order. The
// fields point into the table, which must outlive them (a temporary table is
// refused).
std::vector<DecodedField> DecodeLeafFields(const CpuidSnapshot& snapshot, size_t cpu,
                                           const FieldTable& table);
std::vector<DecodedField> DecodeLeafFields(const CpuidSnapshot& snapshot, size_t cpu,
                                           FieldTable&& table) = delete;

// The fields of one recorded (leaf, sub-leaf) of processor cpu; empty when
// it is not recorded.
std::vector<DecodedField> DecodeLeaf(const CpuidSnapshot& snapshot, size_t cpu, const FieldTable& table,
                                     uint32_t leaf, uint32_t subleaf);
std::vector<DecodedField> DecodeLeaf(const CpuidSnapshot& snapshot, size_t cpu, FieldTable&& table,
                                     uint32_t leaf, uint32_t subleaf) = delete;

// The value of field name of (leaf, subleaf) on processor cpu, or none when
// the leaf is not recorded or the table has no such field.
std::optional<uint32_t> ReadNamedField(const CpuidSnapshot& snapshot, size_t cpu, const FieldTable& table,
                                       uint32_t leaf, uint32_t subleaf, std::string_view name);
