#include "decode/identity.hpp"

#include "common/plain_text.hpp"
#include "common/text_format.hpp"
#include "decode/feature_words.hpp"

namespace {

constexpr uint32_t kBrandFirstLeaf = 0x80000002;
constexpr uint32_t kBrandLastLeaf = 0x80000004;

std::optional<std::string> BrandOf(const CpuidSnapshot& snapshot) {
    if (MaxExtendedLeaf(snapshot) < kBrandLastLeaf) {
        return std::nullopt;
    }
    std::array<uint8_t, 48> bytes = BrandStringBytes(snapshot);
    return TrimBlanks(NulText(bytes.data(), bytes.size()));
}

} // namespace

SignatureFields SplitSignature(uint32_t signature) {
    SignatureFields fields;
    fields.signature = signature;
    fields.stepping = BitField(signature, 0, 4);
    fields.baseModel = BitField(signature, 4, 4);
    fields.baseFamily = BitField(signature, 8, 4);
    fields.type = BitField(signature, 12, 2);
    fields.extendedModel = BitField(signature, 16, 4);
    fields.extendedFamily = BitField(signature, 20, 8);
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

std::array<uint8_t, 48> BrandStringBytes(const CpuidSnapshot& snapshot, size_t cpu) {
    std::array<uint8_t, 48> bytes{};
    for (uint32_t leaf = kBrandFirstLeaf; leaf <= kBrandLastLeaf; ++leaf) {
        RegistersToBytes(snapshot.Answer(cpu, leaf), bytes.data() + 16 * (leaf - kBrandFirstLeaf));
    }
    return bytes;
}
