#include "names/signature_conditions.hpp"

#include "decode/cache_descriptors.hpp"
#include "names/processor_db.hpp"

namespace {

const char kLevel3[] = "L3";
const char kHypervisorLongMode[] = "Hypervisor+LongMode";
const std::string kBrandPrefix = "Brand:";

bool BrandContains(const std::string& condition, const std::string& brand) {
    if (condition.size() <= kBrandPrefix.size() ||
        condition.compare(0, kBrandPrefix.size(), kBrandPrefix) != 0) {
        return false;
    }
    return brand.find(condition.substr(kBrandPrefix.size())) != std::string::npos;
}

} // namespace

bool SignatureConditionHolds(const std::string& condition, const SignatureFacts& facts) {
    if (condition.empty()) {
        return true;
    }
    if (condition == kLevel3) {
        return facts.level3;
    }
    if (condition == kHypervisorLongMode) {
        return facts.hypervisor && facts.longMode;
    }
    return BrandContains(condition, facts.brand);
}

bool DescriptorsNameLevel3(const IniFile& database, const std::vector<uint8_t>& descriptors) {
    for (uint8_t descriptor : descriptors) {
        std::string name;
        LookupDescriptorName(database, descriptor, name);
        std::optional<CacheFacts> cache = ParseCacheDescription(name);
        if (cache && cache->level == 3) {
            return true;
        }
    }
    return false;
}
