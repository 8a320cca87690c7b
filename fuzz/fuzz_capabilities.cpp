// libFuzzer target for the capability decoders and writers. Every input is
// read twice: as dump text (through the dump reader) and as raw records of
// (processor, leaf, sub-leaf, EAX..EDX) for the leaves the decoders read
// (features, caches and topology), so absurd
// maxima and every-bit-set words are reached quickly. Each snapshot is
// decoded with and without bit and descriptor names, written as --list and
// --json, and the JSON must be well formed and the list free of control bytes.
// The field decode of --decode reads every leaf with a table that gives each
// register every kind of field, and its text and JSON are checked alike.
#include "cpuid/snapshot_source.hpp"
#include "decode/capabilities.hpp"
#include "decode/field_differences.hpp"
#include "outputs/capability_output.hpp"
#include "outputs/decode_output.hpp"
#include "support/json_check.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>

namespace {

const uint32_t kLeaves[] = {0x0,        0x1,        0x2,        0x4,        0x6,        0x7,
                            0xB,        0xD,        0x19,       0x1A,       0x1F,       0x24,
                            0x40000000, 0x40000100, 0x80000000, 0x80000001, 0x80000002, 0x80000003,
                            0x80000004, 0x80000005, 0x80000006, 0x80000007, 0x80000008, 0x8000000A,
                            0x8000001D, 0x8000001E, 0x8000001F, 0x80000021, 0x80000026, 0xA,
                            0x12,       0x15,       0x16,       0x18,       0x1D,       0x1E,
                            0x40000001, 0x40000101, 0x80000019, 0x80000022, 0x80860001, 0xC0000001};
constexpr size_t kRecordProcessors = 4;
constexpr size_t kRecordSize = 2 + 16;

uint32_t ReadDword(const uint8_t* bytes) {
    uint32_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

CpuidSnapshot SnapshotOfRecords(const uint8_t* data, size_t size) {
    CpuidSnapshot snapshot;
    snapshot.cpus.emplace_back();
    if (size >= 8 && (data[0] & 1)) {
        uint64_t xcr0 = ReadDword(data) | (static_cast<uint64_t>(ReadDword(data + 4)) << 32);
        snapshot.cpus[0].xcr0 = xcr0;
    }
    for (size_t at = 0; at + kRecordSize <= size; at += kRecordSize) {
        uint32_t leaf = kLeaves[data[at] % (sizeof kLeaves / sizeof kLeaves[0])];
        uint32_t subleaf = data[at + 1] % 4;
        size_t processor = (data[at + 1] >> 2) % kRecordProcessors;
        while (snapshot.cpus.size() <= processor) {
            snapshot.cpus.emplace_back();
            snapshot.cpus.back().index = static_cast<uint32_t>(snapshot.cpus.size() - 1);
        }
        const uint8_t* regs = data + at + 2;
        snapshot.cpus[processor].leaves[LeafKey{leaf, subleaf}] =
            CpuidRegs{ReadDword(regs), ReadDword(regs + 4), ReadDword(regs + 8), ReadDword(regs + 12)};
    }
    return snapshot;
}

FeatureNameBook EveryBitNamed() {
    FeatureNameBook book(FeatureWords().size());
    for (FeatureNameTable& names : book) {
        for (std::string& name : names) {
            name = "f";
        }
    }
    return book;
}

// Every descriptor names a cache, so that leaf 2 adds to the caches of the
// other sources.
DescriptorNames EveryDescriptorACache() {
    const char* const kCaches[] = {"L1 data cache: 16 KB, 4-way, 32-byte lines",
                                   "L1 code cache: 16 KB, fully associative, 64-byte lines",
                                   "L2 cache: 1.5 MB, 6-way, 64-byte lines",
                                   "L3 cache: 4 MB, 0-way, 0-byte lines"};
    DescriptorNames names;
    for (size_t i = 0; i < names.size(); ++i) {
        names[i] = kCaches[i % 4];
    }
    return names;
}

// Every kind of field on every leaf above, each on another register and in
// another shape (a whole register, one bit, a middle field), so that each
// code table meets every value; 0x40000001 only under "KVMKVMKVM".
FieldTable EveryKindOfField() {
    const std::pair<uint32_t, uint32_t> kShapes[] = {{0, 32}, {7, 1}, {12, 9}};
    FieldTable table;
    table.hypervisorFields.push_back(HypervisorFieldLayouts{"KVMKVMKVM", {}});
    for (uint32_t leaf : kLeaves) {
        for (int kind = 0; kind <= static_cast<int>(FieldKind::NoDescriptors); ++kind) {
            auto [low, count] = kShapes[kind % 3];
            FieldLayout layout{
                leaf, 0, kMaxSubleaves, kind % 4, low, count, "f", static_cast<FieldKind>(kind), "l"};
            (leaf == kHypervisorBase + 1 ? table.hypervisorFields[0].fields : table.fields).push_back(layout);
        }
    }
    SortFieldTable(table);
    return table;
}

void CheckText(const std::string& text) {
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && byte != '\n') || byte == 0x7F) {
            std::abort();
        }
    }
}

void CheckDecode(const CpuidSnapshot& snapshot, const FieldTable& table, const DescriptorNames& names) {
    TopologyFacts topology = DecodeTopology(snapshot, false);
    SnapshotFields fields = DecodeSnapshotFields(snapshot, table, topology);
    CapabilitySource source{false, "dump", "db"};
    DecodeReport report{fields, topology, names, source};
    std::ostringstream json;
    WriteDecodeJson(report, json);
    if (!IsWellFormedJson(json.str())) {
        std::abort();
    }
    std::ostringstream text;
    WriteDecodeText(report, text);
    CheckText(text.str());
}

void CheckOutputs(const CapabilityFacts& facts) {
    CapabilitySource source{facts.fromHardware, "dump \"\x01\xFF", "db"};
    std::ostringstream json;
    WriteCapabilityJson(facts, source, json);
    if (!IsWellFormedJson(json.str())) {
        std::abort();
    }
    std::ostringstream list;
    WriteCapabilityList(facts, source, list);
    CheckText(list.str());
    for (int level = 1; level <= kLevelCount; ++level) {
        std::ostringstream check;
        WriteLevelCheck(facts, level, check);
    }
}

// Counted processors never exceed the processors there are, and every
// processor is listed once.
void CheckTopology(const CpuidSnapshot& snapshot, const TopologyFacts& topology) {
    if (topology.cpus.size() != snapshot.ProcessorCount()) {
        std::abort();
    }
    if (topology.statedByLeaves) {
        return;
    }
    uint64_t logical = topology.logicalProcessors;
    if (logical != snapshot.ProcessorCount() || topology.cores.value_or(0) > logical ||
        topology.packages.value_or(0) > topology.cores.value_or(logical)) {
        std::abort();
    }
}

void CheckSnapshot(const CpuidSnapshot& snapshot) {
    static const FeatureNameBook kNamed = EveryBitNamed();
    static const DescriptorNames kDescribed = EveryDescriptorACache();
    static const FieldTable kFields = EveryKindOfField();
    CheckDecode(snapshot, kFields, kDescribed);
    for (bool named : {false, true}) {
        for (bool hardware : {false, true}) {
            CapabilityFacts facts = named ? DecodeCapabilities(snapshot, kNamed, kDescribed, hardware)
                                          : DecodeCapabilities(snapshot, {}, DescriptorNames{}, hardware);
            facts.details =
                DecodeProcessorDetails(snapshot, named ? kFields : FieldTable{},
                                       named ? kDescribed : DescriptorNames{}, facts.topology, facts.os);
            CheckTopology(snapshot, facts.topology);
            CheckOutputs(facts);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckSnapshot(ParseDumpSnapshot(text));
    CheckSnapshot(SnapshotOfRecords(data, size));
    return 0;
}
