#include "classic/record.hpp"

bool HasStandardLeaf(const ProcessorRecord& record, uint32_t leaf) {
    return record.maxStandardLeaf >= leaf;
}

bool HasExtendedLeaf(const ProcessorRecord& record, uint32_t leaf) {
    return record.maxExtendedLeaf >= leaf;
}

bool HasTransmetaLeaf(const ProcessorRecord& record, uint32_t leaf) {
    return record.maxTransmetaLeaf >= leaf;
}

bool HasBrandString(const ProcessorRecord& record) {
    return HasExtendedLeaf(record, 0x80000004);
}
