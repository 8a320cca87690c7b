#include "decode/x86_levels.hpp"

namespace {

const FeatureWord kLeaf1Ecx{0x00000001, 0, kEcx};
const FeatureWord kLeaf1Edx{0x00000001, 0, kEdx};
const FeatureWord kLeaf7Ebx{0x00000007, 0, kEbx};
const FeatureWord kExtEcx{0x80000001, 0, kEcx};
const FeatureWord kExtEdx{0x80000001, 0, kEdx};

// The bits each level adds to the one below. v1 tests long mode but not
// SYSCALL, which Intel reports only to 64-bit code.
const std::array<std::vector<FeatureBit>, kLevelCount> kLevelBits = {{
    {{kLeaf1Edx, 0},
     {kLeaf1Edx, 8},
     {kLeaf1Edx, 15},
     {kLeaf1Edx, 23},
     {kLeaf1Edx, 24},
     {kLeaf1Edx, 25},
     {kLeaf1Edx, 26},
     {kExtEdx, 29}},
    {{kLeaf1Ecx, 0},
     {kLeaf1Ecx, 9},
     {kLeaf1Ecx, 13},
     {kLeaf1Ecx, 19},
     {kLeaf1Ecx, 20},
     {kLeaf1Ecx, 23},
     {kExtEcx, 0}},
    {{kLeaf1Ecx, 12},
     {kLeaf1Ecx, 22},
     {kLeaf1Ecx, 27},
     {kLeaf1Ecx, 28},
     {kLeaf1Ecx, 29},
     {kLeaf7Ebx, 3},
     {kLeaf7Ebx, 5},
     {kLeaf7Ebx, 8},
     {kExtEcx, 5}},
    {{kLeaf7Ebx, 16}, {kLeaf7Ebx, 17}, {kLeaf7Ebx, 28}, {kLeaf7Ebx, 30}, {kLeaf7Ebx, 31}},
}};

// The OS state each level's vectors need: SSE for v1 and v2, AVX for v3,
// AVX-512 for v4.
std::optional<bool> OsStateFor(int levelIndex, const OsSupport& os) {
    switch (levelIndex) {
    case 0:
    case 1:
        return os.sse;
    case 2:
        return os.avx;
    default:
        return os.avx512;
    }
}

} // namespace

LevelReport JudgeLevels(const CpuidSnapshot& snapshot, const FeatureNameBook& book, const OsSupport& os) {
    LevelReport report;
    std::vector<std::string> missing;
    bool allLowerMet = true;
    for (int i = 0; i < kLevelCount; ++i) {
        for (const FeatureBit& bit : kLevelBits[static_cast<size_t>(i)]) {
            if (!FeatureBitSet(snapshot, bit)) {
                missing.push_back(FeatureBitName(book, bit));
            }
        }
        LevelVerdict& verdict = report.levels[static_cast<size_t>(i)];
        verdict.cpu = missing.empty();
        verdict.os = OsStateFor(i, os);
        verdict.missing = missing;
        allLowerMet = allLowerMet && verdict.Met();
        if (allLowerMet) {
            report.level = i + 1;
        }
    }
    return report;
}

std::string LevelName(int level) {
    return "x86-64-v" + std::to_string(level);
}

int ParseLevelName(const std::string& text) {
    const std::string kPrefix = "x86-64-";
    std::string level = text.compare(0, kPrefix.size(), kPrefix) == 0 ? text.substr(kPrefix.size()) : text;
    if (level.size() == 2 && level[0] == 'v' && level[1] >= '1' && level[1] <= '4') {
        return level[1] - '0';
    }
    return 0;
}
