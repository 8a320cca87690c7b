// Every TLB a processor describes: AMD's 0x80000005 (L1), 0x80000006 (L2)
// and 0x80000019 (1 GB pages), Intel's leaf 0x18, and the leaf 2
// descriptors the data file names as TLBs.
#include "common/text_format.hpp"
#include "decode/coded_values.hpp"
#include "decode/processor_details.hpp"

#include <cctype>

namespace {

constexpr uint32_t kDescriptorLeaf = 2;
constexpr uint32_t kTlbLeaf = 0x18;
constexpr uint32_t kL1Leaf = 0x80000005;
constexpr uint32_t kL2Leaf = 0x80000006;
constexpr uint32_t kGigaLeaf = 0x80000019;

std::string LeafName(uint32_t leaf) {
    return "0x" + DwordToHex(leaf);
}

void SetAssociativity(TlbFacts& tlb, const Associativity& associativity) {
    tlb.fullyAssociative = associativity.fullyAssociative;
    tlb.ways = associativity.ways;
}

// One TLB of an AMD leaf: entries and an associativity code; none when the
// entries are 0 or the code says absent.
void AddAmdTlb(std::vector<TlbFacts>& tlbs, uint32_t leaf, uint32_t level, const char* type,
               std::vector<std::string> pages, uint32_t entries, const Associativity& associativity) {
    if (entries == 0 || associativity.absent) {
        return;
    }
    TlbFacts tlb;
    tlb.source = LeafName(leaf);
    tlb.level = level;
    tlb.type = type;
    tlb.pages = std::move(pages);
    tlb.entries = entries;
    SetAssociativity(tlb, associativity);
    tlbs.push_back(tlb);
}

// 0x80000005 EAX (2M/4M) and EBX (4K): data 31:16, instruction 15:0, each
// ways then entries in 8 bits.
void ReadL1Tlbs(const CpuidSnapshot& snapshot, size_t cpu, std::vector<TlbFacts>& tlbs) {
    if (!LeafReported(snapshot, cpu, kL1Leaf)) {
        return;
    }
    CpuidRegs regs = snapshot.Answer(cpu, kL1Leaf);
    for (const auto& [reg, pages] : {std::make_pair(regs.ebx, std::vector<std::string>{"4K"}),
                                     std::make_pair(regs.eax, std::vector<std::string>{"2M", "4M"})}) {
        AddAmdTlb(tlbs, kL1Leaf, 1, CacheTypeName(CacheType::Data), pages, BitField(reg, 16, 8),
                  AmdL1Associativity(BitField(reg, 24, 8)));
        AddAmdTlb(tlbs, kL1Leaf, 1, CacheTypeName(CacheType::Instruction), pages, BitField(reg, 0, 8),
                  AmdL1Associativity(BitField(reg, 8, 8)));
    }
}

// 0x80000006 and 0x80000019 registers: data ways 31:28, entries 27:16,
// instruction ways 15:12, entries 11:0.
void AddCodedPair(std::vector<TlbFacts>& tlbs, uint32_t leaf, uint32_t level, uint32_t reg,
                  const std::vector<std::string>& pages) {
    AddAmdTlb(tlbs, leaf, level, CacheTypeName(CacheType::Data), pages, BitField(reg, 16, 12),
              AmdAssociativity(BitField(reg, 28, 4)));
    AddAmdTlb(tlbs, leaf, level, CacheTypeName(CacheType::Instruction), pages, BitField(reg, 0, 12),
              AmdAssociativity(BitField(reg, 12, 4)));
}

void ReadCodedTlbs(const CpuidSnapshot& snapshot, size_t cpu, std::vector<TlbFacts>& tlbs) {
    if (LeafReported(snapshot, cpu, kL2Leaf)) {
        CpuidRegs regs = snapshot.Answer(cpu, kL2Leaf);
        AddCodedPair(tlbs, kL2Leaf, 2, regs.ebx, {"4K"});
        AddCodedPair(tlbs, kL2Leaf, 2, regs.eax, {"2M", "4M"});
    }
    if (LeafReported(snapshot, cpu, kGigaLeaf)) {
        CpuidRegs regs = snapshot.Answer(cpu, kGigaLeaf);
        AddCodedPair(tlbs, kGigaLeaf, 1, regs.eax, {"1G"});
        AddCodedPair(tlbs, kGigaLeaf, 2, regs.ebx, {"1G"});
    }
}

// Leaf 0x18: sub-leaves up to 0x18.0 EAX, each of a type other than 0.
void ReadDeterministicTlbs(const CpuidSnapshot& snapshot, size_t cpu, std::vector<TlbFacts>& tlbs) {
    if (!LeafReported(snapshot, cpu, kTlbLeaf)) {
        return;
    }
    uint32_t last = snapshot.Answer(cpu, kTlbLeaf).eax;
    static const char* const kPages[] = {"4K", "2M", "4M", "1G"};
    for (uint32_t sub = 0; sub <= last && sub < kMaxSubleaves && snapshot.Has(cpu, kTlbLeaf, sub); ++sub) {
        CpuidRegs regs = snapshot.Answer(cpu, kTlbLeaf, sub);
        const char* type = TlbTypeCodeName(BitField(regs.edx, 0, 5));
        if (BitField(regs.edx, 0, 5) == 0 || type == nullptr) {
            continue;
        }
        TlbFacts tlb;
        tlb.source = LeafName(kTlbLeaf);
        tlb.level = BitField(regs.edx, 5, 3);
        tlb.type = type;
        for (uint32_t bit = 0; bit < 4; ++bit) {
            if (BitSet(regs.ebx, bit)) {
                tlb.pages.push_back(kPages[bit]);
            }
        }
        uint64_t ways = BitField(regs.ebx, 16, 16);
        tlb.fullyAssociative = BitSet(regs.edx, 8);
        tlb.entries = ways * regs.ecx;
        if (!tlb.fullyAssociative) {
            tlb.ways = ways;
        }
        tlbs.push_back(tlb);
    }
}

void ReadDescriptorTlbs(const CpuidSnapshot& snapshot, size_t cpu, const DescriptorNames& names,
                        std::vector<TlbFacts>& tlbs) {
    for (uint8_t descriptor : ReadCacheDescriptors(snapshot, cpu)) {
        for (TlbFacts& tlb : ParseTlbDescription(names[descriptor])) {
            tlb.source = LeafName(kDescriptorLeaf);
            tlb.descriptor = descriptor;
            tlbs.push_back(tlb);
        }
    }
}

// The number written before word in text ("64 entries"), or none.
std::optional<uint64_t> NumberBefore(const std::string& text, const std::string& word) {
    size_t at = text.find(word);
    if (at == std::string::npos || at == 0) {
        return std::nullopt;
    }
    size_t end = at;
    while (end > 0 && text[end - 1] == ' ') {
        --end;
    }
    size_t start = end;
    while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1]))) {
        --start;
    }
    if (start == end || end - start > 9) {
        return std::nullopt;
    }
    return std::stoull(text.substr(start, end - start));
}

std::vector<std::string> PagesIn(const std::string& text) {
    std::vector<std::string> pages;
    bool twoMb = text.find("2 MB") != std::string::npos || text.find("2/4 MB") != std::string::npos;
    bool fourMb = text.find("4 MB") != std::string::npos;
    const std::pair<bool, const char*> kPages[] = {{text.find("4 KB") != std::string::npos, "4K"},
                                                   {twoMb, "2M"},
                                                   {fourMb, "4M"},
                                                   {text.find("1 GB") != std::string::npos, "1G"}};
    for (const auto& [found, page] : kPages) {
        if (found) {
            pages.push_back(page);
        }
    }
    return pages;
}

// One part of a description: "4 KB pages, 4-way, 64 entries".
std::optional<TlbFacts> ParseTlbPart(const std::string& part, const TlbFacts& kind) {
    TlbFacts tlb = kind;
    tlb.pages = PagesIn(part);
    tlb.entries = NumberBefore(part, " entries");
    tlb.fullyAssociative = part.find("fully associative") != std::string::npos;
    tlb.ways = NumberBefore(part, "-way");
    if (!tlb.entries || tlb.pages.empty()) {
        return std::nullopt;
    }
    return tlb;
}

} // namespace

std::vector<TlbFacts> ParseTlbDescription(const std::string& text) {
    std::vector<TlbFacts> tlbs;
    size_t colon = text.find(':');
    std::string head = text.substr(0, colon == std::string::npos ? 0 : colon);
    if (head.find("TLB") == std::string::npos || text.find("(IA-64)") != std::string::npos ||
        text.find("(Cyrix") != std::string::npos) {
        return tlbs;
    }
    TlbFacts kind;
    kind.type = CacheTypeName(head.find("Code") != std::string::npos     ? CacheType::Instruction
                              : head.find("Shared") != std::string::npos ? CacheType::Unified
                                                                         : CacheType::Data);
    kind.level = head.find("L2") != std::string::npos ? 2 : 1;
    std::string rest = text.substr(colon + 1);
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find(';', start);
        std::string part = rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (std::optional<TlbFacts> tlb = ParseTlbPart(part, kind)) {
            tlbs.push_back(*tlb);
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return tlbs;
}

std::vector<TlbFacts> ReadTlbs(const CpuidSnapshot& snapshot, size_t cpu, const DescriptorNames& names) {
    std::vector<TlbFacts> tlbs;
    ReadDescriptorTlbs(snapshot, cpu, names, tlbs);
    ReadDeterministicTlbs(snapshot, cpu, tlbs);
    ReadL1Tlbs(snapshot, cpu, tlbs);
    ReadCodedTlbs(snapshot, cpu, tlbs);
    return tlbs;
}
