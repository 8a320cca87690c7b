#include "decode/os_support.hpp"

#include "cpuid/registers.hpp"
#include "decode/feature_words.hpp"

namespace {

constexpr uint64_t kSseState = 0x2;
constexpr uint64_t kAvxState = 0x6;
constexpr uint64_t kAvx512State = 0xE6;
constexpr uint64_t kAmxState = 0x60000;

bool Enables(uint64_t xcr0, uint64_t mask) {
    return (xcr0 & mask) == mask;
}

} // namespace

OsSupport JudgeOsSupport(const CpuidSnapshot& snapshot, bool fromHardware) {
    OsSupport support;
    if (snapshot.cpus.empty()) {
        return support;
    }
    support.xcr0 = snapshot.cpus[0].xcr0;
    if (support.xcr0) {
        support.sse = Enables(*support.xcr0, kSseState);
        support.avx = Enables(*support.xcr0, kAvxState);
        support.avx512 = Enables(*support.xcr0, kAvx512State);
        support.amx = Enables(*support.xcr0, kAmxState);
        return support;
    }
    bool osxsave = FeatureBitSet(snapshot, FeatureBit{FeatureWord{1, 0, kEcx}, kBitOsxsave});
    if (fromHardware && !osxsave) {
        support.sse = true;
        support.avx = false;
        support.avx512 = false;
        support.amx = false;
    }
    return support;
}
