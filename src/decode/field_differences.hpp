// The fields of every processor of a snapshot, told once: the first
// processor whole, then each span of processors that sit alike (one package,
// one kind of core) and differ from the first in the same fields, with only
// those fields; and the per-processor ids as one table.
#pragma once

#include "decode/leaf_fields.hpp"
#include "decode/topology.hpp"

#include <optional>
#include <vector>

// A field where a processor differs from the first: the first processor's
// field and the other's, either absent where that processor lacks the leaf.
struct FieldChange {
    std::optional<DecodedField> first;
    std::optional<DecodedField> other;
};

struct ProcessorSpan {
    uint32_t firstCpu = 0;
    uint32_t lastCpu = 0;
    std::optional<CpuPlace> place; // the first processor's place, where known
    std::vector<FieldChange> changes;
};

// One column per id field (its first sub-leaf), one row per processor.
struct IdColumn {
    uint32_t leaf = 0;
    uint32_t subleaf = 0;
    const FieldLayout* layout = nullptr;
};

struct IdTable {
    std::vector<IdColumn> columns;
    std::vector<std::vector<std::optional<uint32_t>>> rows; // rows[cpu][column]
};

struct SnapshotFields {
    std::vector<DecodedField> first; // processor 0, every field
    std::vector<ProcessorSpan> spans;
    IdTable ids;
};

// Decodes every processor; places come from the topology (by index). The
// fields point into the table, which must outlive them: a temporary table is
// refused.
SnapshotFields DecodeSnapshotFields(const CpuidSnapshot& snapshot, const FieldTable& table,
                                    const TopologyFacts& topology);
SnapshotFields DecodeSnapshotFields(const CpuidSnapshot& snapshot, FieldTable&& table,
                                    const TopologyFacts& topology) = delete;

// Processors that sit alike: the same package and the same kind of core.
bool PlacedAlike(const CpuPlace& a, const CpuPlace& b);
