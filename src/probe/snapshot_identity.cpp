#include "probe/snapshot_identity.hpp"

#include "common/plain_text.hpp"
#include "common/text_format.hpp"
#include "probe/feature_words.hpp"

namespace {

constexpr uint32_t kBrandFirstLeaf = 0x80000002;
constexpr uint32_t kBrandLastLeaf = 0x80000004;

std::optional<std::string> BrandOf(const CpuidSnapshot& snapshot) {
    if (MaxExtendedLeaf(snapshot) < kBrandLastLeaf) {
        return std::nullopt;
    }
    uint8_t bytes[48];
    for (uint32_t leaf = kBrandFirstLeaf; leaf <= kBrandLastLeaf; ++leaf) {
        RegistersToBytes(snapshot.Answer(0, leaf), bytes + 16 * (leaf - kBrandFirstLeaf));
    }
    return TrimBlanks(NulText(bytes, sizeof bytes));
}

} // namespace

SignatureFields SplitSignature(uint32_t signature) {
    SignatureFields fields;
    fields.signature = signature;
    fields.stepping = signature & 0xF;
    fields.baseModel = (signature >> 4) & 0xF;
    fields.baseFamily = (signature >> 8) & 0xF;
    fields.extendedModel = (signature >> 16) & 0xF;
    fields.extendedFamily = (signature >> 20) & 0xFF;
    fields.family = fields.baseFamily == 0xF ? fields.baseFamily + fields.extendedFamily : fields.baseFamily;
    fields.model = fields.family >= 6 ? fields.baseModel + (fields.extendedModel << 4) : fields.baseModel;
    return fields;
}

SnapshotIdentity ReadSnapshotIdentity(const CpuidSnapshot& snapshot) {
    SnapshotIdentity identity;
    identity.vendorId = VendorIdText(snapshot.Answer(0, 0));
    identity.brand = BrandOf(snapshot);
    identity.hasSignature = !snapshot.cpus.empty() && MaxStandardLeaf(snapshot) >= 1;
    if (identity.hasSignature) {
        identity.signature = SplitSignature(snapshot.Answer(0, 1).eax);
    }
    return identity;
}
