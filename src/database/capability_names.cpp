#include "database/capability_names.hpp"

#include "common/text_format.hpp"
#include "database/processor_db.hpp"

namespace {

std::optional<std::string> NonEmpty(const std::string& text) {
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

std::optional<std::string> HypervisorNameOf(const std::optional<std::string>& vendorId) {
    return vendorId ? LookupHypervisorName(*vendorId) : std::nullopt;
}

} // namespace

FeatureNameBook ReadFeatureNameBook() {
    FeatureNameBook book;
    for (const FeatureWord& word : FeatureWords()) {
        FeatureNameTable names;
        ReadNumberedNames(FeatureWordSection(word), names);
        book.push_back(names);
    }
    return book;
}

std::optional<std::string> LookupHypervisorName(const std::string& vendorId) {
    return NonEmpty(ReadDatabaseValue("Hypervisor", vendorId, ""));
}

void LookupCapabilityNames(CapabilityFacts& facts) {
    std::string vendorKey = LookupVendorKey(facts.identity.vendorId);
    facts.names.vendor = NonEmpty(vendorKey);
    if (!vendorKey.empty() && facts.identity.hasSignature) {
        facts.names.processor =
            NonEmpty(MatchSignature("Vendor" + vendorKey, DwordToBits(facts.identity.signature.signature)));
    }
    facts.names.hypervisor = HypervisorNameOf(facts.hypervisor.vendorId);
    facts.names.nextHypervisor = HypervisorNameOf(facts.hypervisor.nextVendorId);
}
