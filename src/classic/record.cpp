#include "classic/record.hpp"

bool HasStandardLeaf(const ProcessorRecord& record, uint32_t leaf) {
    return record.maxStdLevel >= leaf;
}

bool HasExtendedLeaf(const ProcessorRecord& record, uint32_t leaf) {
    return record.maxExtLevel >= leaf;
}

bool HasTransmetaLeaf(const ProcessorRecord& record, uint32_t leaf) {
    return record.maxTransmetaLevel >= leaf;
}

bool HasBrandString(const ProcessorRecord& record) {
    return HasExtendedLeaf(record, 0x80000004);
}
