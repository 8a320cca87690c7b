#include "decode/feature_words.hpp"

#include "common/text_format.hpp"
#include "cpuid/registers.hpp"

namespace {

constexpr uint32_t kExtendedEnd = 0x8000FFFF;

const char* const kRegisterNames[] = {"eax", "ebx", "ecx", "edx"};
const char* const kRegisterSectionNames[] = {"EAX", "EBX", "ECX", "EDX"};

const std::vector<FeatureWord> kFeatureWords = {
    {0x00000001, 0, kEcx}, {0x00000001, 0, kEdx}, {0x00000006, 0, kEax}, {0x00000007, 0, kEbx},
    {0x00000007, 0, kEcx}, {0x00000007, 0, kEdx}, {0x00000007, 1, kEax}, {0x00000007, 1, kEbx},
    {0x00000007, 1, kEcx}, {0x00000007, 1, kEdx}, {0x00000007, 2, kEdx}, {0x0000000D, 1, kEax},
    {0x00000019, 0, kEbx}, {0x80000001, 0, kEcx}, {0x80000001, 0, kEdx}, {0x80000007, 0, kEdx},
    {0x80000008, 0, kEbx}, {0x8000000A, 0, kEdx}, {0x8000001F, 0, kEax}, {0x80000021, 0, kEax},
};

bool SameWord(const FeatureWord& a, const FeatureWord& b) {
    return a.leaf == b.leaf && a.subleaf == b.subleaf && a.reg == b.reg;
}

std::string UnnamedBit(const FeatureBit& bit) {
    return FeatureWordLabel(bit.word) + "." + Decimal(static_cast<uint64_t>(bit.bit));
}

} // namespace

const std::vector<FeatureWord>& FeatureWords() {
    return kFeatureWords;
}

std::string FeatureWordLabel(const FeatureWord& word) {
    return "0x" + DwordToHex(word.leaf) + "." + Decimal(word.subleaf) + "." + kRegisterNames[word.reg & 3];
}

std::string FeatureWordSection(const FeatureWord& word) {
    return "Bits." + DwordToHex(word.leaf) + "." + Decimal(word.subleaf) + "." +
           kRegisterSectionNames[word.reg & 3];
}

uint32_t FeatureWordValue(const CpuidSnapshot& snapshot, const FeatureWord& word) {
    return RegisterAt(snapshot.Answer(0, word.leaf, word.subleaf), word.reg);
}

uint32_t MaxStandardLeaf(const CpuidSnapshot& snapshot, size_t cpu) {
    return snapshot.Answer(cpu, 0).eax;
}

uint32_t MaxExtendedLeaf(const CpuidSnapshot& snapshot, size_t cpu) {
    uint32_t top = snapshot.Answer(cpu, kExtendedBase).eax;
    return (top >= kExtendedBase && top <= kExtendedEnd) ? top : 0;
}

bool FeatureWordReported(const CpuidSnapshot& snapshot, const FeatureWord& word) {
    if (snapshot.cpus.empty()) {
        return false;
    }
    bool extended = word.leaf >= kExtendedBase;
    uint32_t top = extended ? MaxExtendedLeaf(snapshot) : MaxStandardLeaf(snapshot);
    if (word.leaf > top) {
        return false;
    }
    if (word.leaf == 7 && word.subleaf > 0) {
        return word.subleaf <= snapshot.Answer(0, 7, 0).eax;
    }
    return true;
}

std::string FeatureBitName(const FeatureNameBook& book, const FeatureBit& bit) {
    for (size_t i = 0; i < kFeatureWords.size() && i < book.size(); ++i) {
        if (SameWord(kFeatureWords[i], bit.word)) {
            const std::string& name = book[i][static_cast<size_t>(bit.bit & 31)];
            return name.empty() ? UnnamedBit(bit) : name;
        }
    }
    return UnnamedBit(bit);
}

bool FeatureBitSet(const CpuidSnapshot& snapshot, const FeatureBit& bit) {
    return FeatureWordReported(snapshot, bit.word) &&
           ((FeatureWordValue(snapshot, bit.word) >> (bit.bit & 31)) & 1);
}

namespace {

// The set bits of one word's value, as names.
FeatureList NameFeatureWord(uint32_t value, const FeatureNameBook& book, size_t wordIndex) {
    FeatureList list;
    const FeatureWord& word = kFeatureWords[wordIndex];
    for (int bit = 0; bit < 32; ++bit) {
        if (((value >> bit) & 1) == 0) {
            continue;
        }
        bool named = wordIndex < book.size() && !book[wordIndex][static_cast<size_t>(bit)].empty();
        std::string name = FeatureBitName(book, FeatureBit{word, bit});
        (named ? list.named : list.unnamed).push_back(name);
    }
    return list;
}

} // namespace

FeatureMask ReadFeatureMask(const CpuidSnapshot& snapshot) {
    FeatureMask mask(kFeatureWords.size(), 0);
    for (size_t i = 0; i < kFeatureWords.size(); ++i) {
        if (FeatureWordReported(snapshot, kFeatureWords[i])) {
            mask[i] = FeatureWordValue(snapshot, kFeatureWords[i]);
        }
    }
    return mask;
}

std::vector<FeatureGroup> NameFeatureMask(const FeatureMask& mask, const FeatureNameBook& book) {
    std::vector<FeatureGroup> groups;
    for (size_t i = 0; i < kFeatureWords.size() && i < mask.size(); ++i) {
        if (mask[i] != 0) {
            groups.push_back(
                FeatureGroup{FeatureWordLabel(kFeatureWords[i]), NameFeatureWord(mask[i], book, i)});
        }
    }
    return groups;
}

std::vector<FeatureGroup> DecodeFeatureGroups(const CpuidSnapshot& snapshot, const FeatureNameBook& book) {
    return NameFeatureMask(ReadFeatureMask(snapshot), book);
}

FeatureList JoinFeatureGroups(const std::vector<FeatureGroup>& groups) {
    FeatureList all;
    for (const FeatureGroup& group : groups) {
        all.named.insert(all.named.end(), group.bits.named.begin(), group.bits.named.end());
        all.unnamed.insert(all.unnamed.end(), group.bits.unnamed.begin(), group.bits.unnamed.end());
    }
    return all;
}
