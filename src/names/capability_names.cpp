#include "names/capability_names.hpp"

#include "common/text_format.hpp"
#include "names/processor_db.hpp"

namespace {

std::optional<std::string> NonEmpty(const std::string& text) {
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

std::optional<std::string> HypervisorNameOf(const IniFile& database,
                                            const std::optional<std::string>& vendorId) {
    return vendorId ? LookupHypervisorName(database, *vendorId) : std::nullopt;
}

// What the name rows of a shared signature ask beyond it.
SignatureFacts SignatureFactsOf(const IniFile& database, const CapabilityFacts& facts) {
    SignatureFacts asked;
    asked.brand = facts.identity.brand.value_or("");
    asked.level3 = DescriptorsNameLevel3(database, facts.cacheDescriptors);
    asked.hypervisor = facts.hypervisor.present;
    asked.longMode = facts.longMode;
    return asked;
}

} // namespace

FeatureNameBook ReadFeatureNameBook(const IniFile& database) {
    FeatureNameBook book;
    for (const FeatureWord& word : FeatureWords()) {
        FeatureNameTable names;
        ReadNumberedNames(database, FeatureWordSection(word), names);
        book.push_back(names);
    }
    return book;
}

std::optional<std::string> LookupHypervisorName(const IniFile& database, const std::string& vendorId) {
    return NonEmpty(ReadDatabaseValue(database, "Hypervisor", vendorId, ""));
}

void LookupCapabilityNames(const IniFile& database, CapabilityFacts& facts) {
    std::string vendorKey = LookupVendorKey(database, facts.identity.vendorId);
    facts.names.vendor = NonEmpty(vendorKey);
    if (!vendorKey.empty() && facts.identity.hasSignature) {
        facts.names.processor = NonEmpty(MatchSignature(database, "Vendor" + vendorKey,
                                                        DwordToBits(facts.identity.signature.signature),
                                                        SignatureFactsOf(database, facts)));
    }
    facts.names.hypervisor = HypervisorNameOf(database, facts.hypervisor.vendorId);
    facts.names.nextHypervisor = HypervisorNameOf(database, facts.hypervisor.nextVendorId);
}
