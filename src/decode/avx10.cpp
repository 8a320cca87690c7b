#include "decode/avx10.hpp"

#include "decode/feature_words.hpp"

namespace {

constexpr uint32_t kAvx10Leaf = 0x24;
constexpr int kAvx10Bit = 19; // 7.1 EDX
constexpr int kFirstWidthBit = 16;
const int kWidths[] = {128, 256, 512};

} // namespace

std::optional<Avx10Facts> ReadAvx10(const CpuidSnapshot& snapshot) {
    bool flagged = FeatureBitSet(snapshot, FeatureBit{FeatureWord{7, 1, kEdx}, kAvx10Bit});
    if (!flagged || MaxStandardLeaf(snapshot) < kAvx10Leaf) {
        return std::nullopt;
    }
    uint32_t ebx = snapshot.Answer(0, kAvx10Leaf).ebx;
    Avx10Facts facts;
    facts.version = ebx & 0xFF;
    for (int i = 0; i < 3; ++i) {
        if ((ebx >> (kFirstWidthBit + i)) & 1) {
            facts.vectorBits.push_back(kWidths[i]);
        }
    }
    return facts;
}
