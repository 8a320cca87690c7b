#include "decode/cache_descriptors.hpp"

#include <cctype>
#include <cstdlib>

namespace {

constexpr uint32_t kDescriptorLeaf = 2;
constexpr uint32_t kNoDescriptors = 0x80000000u;

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The number right before suffix in text ("32-byte lines" with "-byte"),
// or none.
std::optional<uint64_t> NumberBefore(const std::string& text, const std::string& suffix) {
    size_t end = text.find(suffix);
    if (end == std::string::npos) {
        return std::nullopt;
    }
    size_t start = end;
    while (start > 0 && (std::isdigit(static_cast<unsigned char>(text[start - 1])) != 0)) {
        --start;
    }
    if (start == end) {
        return std::nullopt;
    }
    return std::strtoull(text.substr(start, end - start).c_str(), nullptr, 10);
}

// "16 KB" -> 16, "1.5 MB" -> 1536, from the text after the colon.
std::optional<uint64_t> SizeKb(const std::string& text) {
    const char* start = text.c_str();
    char* end = nullptr;
    double value = std::strtod(start, &end);
    if (end == start || !(value > 0 && value <= 1e9)) { // NaN fails both
        return std::nullopt;
    }
    std::string unit(end);
    if (StartsWith(unit, " KB")) {
        return static_cast<uint64_t>(value);
    }
    if (StartsWith(unit, " MB")) {
        return static_cast<uint64_t>(value * 1024);
    }
    return std::nullopt;
}

} // namespace

std::vector<std::pair<size_t, uint8_t>> Leaf2Descriptors(const std::array<uint32_t, 4>& regs) {
    std::vector<std::pair<size_t, uint8_t>> descriptors;
    for (size_t r = 0; r < regs.size(); ++r) {
        if (regs[r] & kNoDescriptors) {
            continue;
        }
        for (size_t byte = 0; byte < 4; ++byte) {
            if (r == 0 && byte == 3) {
                continue;
            }
            uint8_t descriptor = static_cast<uint8_t>(regs[r] >> (24 - 8 * byte));
            if (descriptor != 0) {
                descriptors.emplace_back(4 * r + byte, descriptor);
            }
        }
    }
    return descriptors;
}

std::vector<uint8_t> ReadCacheDescriptors(const CpuidSnapshot& snapshot, size_t cpu) {
    std::vector<uint8_t> bytes;
    if (snapshot.Answer(cpu, 0).eax < kDescriptorLeaf) {
        return bytes;
    }
    CpuidRegs regs = snapshot.Answer(cpu, kDescriptorLeaf);
    for (const auto& found : Leaf2Descriptors({regs.eax, regs.ebx, regs.ecx, regs.edx})) {
        bytes.push_back(found.second);
    }
    return bytes;
}

std::vector<CacheFacts> ReadDescribedCaches(const CpuidSnapshot& snapshot, size_t cpu,
                                            const DescriptorNames& names) {
    std::vector<CacheFacts> caches;
    for (uint8_t descriptor : ReadCacheDescriptors(snapshot, cpu)) {
        std::optional<CacheFacts> cache = ParseCacheDescription(names[descriptor]);
        if (cache) {
            caches.push_back(*cache);
        }
    }
    return caches;
}

std::optional<CacheFacts> ParseCacheDescription(const std::string& text) {
    size_t colon = text.find(": ");
    if (text.size() < 4 || text[0] != 'L' || colon == std::string::npos ||
        text.find("IA-64") != std::string::npos) {
        return std::nullopt;
    }
    std::string kind = text.substr(2, colon - 2);
    CacheFacts cache;
    cache.level = static_cast<uint32_t>(text[1] - '0');
    if (cache.level < 1 || cache.level > 4) {
        return std::nullopt;
    }
    if (kind == " data cache") {
        cache.type = CacheType::Data;
    } else if (kind == " code cache") {
        cache.type = CacheType::Instruction;
    } else if (kind != " cache") {
        return std::nullopt;
    }
    std::string rest = text.substr(colon + 2);
    cache.sizeKb = SizeKb(rest);
    if (!cache.sizeKb) {
        return std::nullopt;
    }
    cache.fullyAssociative = rest.find("fully associative") != std::string::npos;
    if (!cache.fullyAssociative) {
        cache.ways = NumberBefore(rest, "-way");
    }
    cache.lineBytes = NumberBefore(rest, "-byte lines");
    cache.sets = SetsOf(cache);
    return cache;
}
