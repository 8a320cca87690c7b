// libFuzzer target for the capability decoders and writers. Every input is
// read twice: as dump text (through the dump reader) and as raw records of
// (leaf, sub-leaf, EAX..EDX) for the leaves the decoders read, so absurd
// maxima and every-bit-set words are reached quickly. Each snapshot is
// decoded with and without bit names, written as --list and --json, and the
// JSON must be well formed and the list free of control bytes.
#include "common/json_text.hpp"
#include "probe/capabilities.hpp"
#include "probe/snapshot_source.hpp"
#include "reports/capability_output.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>

namespace {

const uint32_t kLeaves[] = {0x0,        0x1,        0x6,        0x7,        0xD,
                            0x19,       0x24,       0x40000000, 0x40000100, 0x80000000,
                            0x80000001, 0x80000002, 0x80000003, 0x80000004, 0x80000007,
                            0x80000008, 0x8000000A, 0x8000001F, 0x80000021};
constexpr size_t kRecordSize = 2 + 16;

uint32_t ReadDword(const uint8_t* bytes) {
    uint32_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

CpuidSnapshot SnapshotOfRecords(const uint8_t* data, size_t size) {
    CpuidSnapshot snapshot;
    snapshot.cpus.emplace_back();
    ProcessorLeaves& cpu = snapshot.cpus[0];
    if (size >= 8 && (data[0] & 1)) {
        uint64_t xcr0 = ReadDword(data) | (static_cast<uint64_t>(ReadDword(data + 4)) << 32);
        cpu.xcr0 = xcr0;
    }
    for (size_t at = 0; at + kRecordSize <= size; at += kRecordSize) {
        uint32_t leaf = kLeaves[data[at] % (sizeof kLeaves / sizeof kLeaves[0])];
        uint32_t subleaf = data[at + 1] % 4;
        const uint8_t* regs = data + at + 2;
        cpu.leaves[LeafKey{leaf, subleaf}] =
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

void CheckOutputs(const CapabilityFacts& facts) {
    CapabilitySource source{facts.fromHardware, "dump \"\x01\xFF", "db"};
    std::ostringstream json;
    WriteCapabilityJson(facts, source, json);
    if (!IsWellFormedJson(json.str())) {
        std::abort();
    }
    std::ostringstream list;
    WriteCapabilityList(facts, source, list);
    for (char c : list.str()) {
        unsigned char byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && byte != '\n') || byte == 0x7F) {
            std::abort();
        }
    }
    for (int level = 1; level <= kLevelCount; ++level) {
        std::ostringstream check;
        WriteLevelCheck(facts, level, check);
    }
}

void CheckSnapshot(const CpuidSnapshot& snapshot) {
    static const FeatureNameBook kNamed = EveryBitNamed();
    for (const FeatureNameBook& book : {FeatureNameBook{}, kNamed}) {
        for (bool hardware : {false, true}) {
            CheckOutputs(DecodeCapabilities(snapshot, book, hardware));
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
