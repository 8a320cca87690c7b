#include "decode/field_differences.hpp"

namespace {

bool IsIdField(const DecodedField& field) {
    return field.layout != nullptr && field.layout->kind == FieldKind::Id;
}

// The fields where other differs from first, ids left out; both lists are
// in place order.
std::vector<FieldChange> ChangesFrom(const std::vector<DecodedField>& first,
                                     const std::vector<DecodedField>& other) {
    std::vector<FieldChange> changes;
    size_t a = 0;
    size_t b = 0;
    while (a < first.size() || b < other.size()) {
        bool takeFirst = b == other.size() || (a < first.size() && FieldPlaceBefore(first[a], other[b]));
        bool takeOther = a == first.size() || (b < other.size() && FieldPlaceBefore(other[b], first[a]));
        if (takeFirst) {
            if (!IsIdField(first[a])) {
                changes.push_back(FieldChange{first[a], std::nullopt});
            }
            ++a;
        } else if (takeOther) {
            if (!IsIdField(other[b])) {
                changes.push_back(FieldChange{std::nullopt, other[b]});
            }
            ++b;
        } else {
            if (!IsIdField(first[a]) && first[a].value != other[b].value) {
                changes.push_back(FieldChange{first[a], other[b]});
            }
            ++a;
            ++b;
        }
    }
    return changes;
}

bool SameChange(const FieldChange& a, const FieldChange& b) {
    if (a.first.has_value() != b.first.has_value() || a.other.has_value() != b.other.has_value()) {
        return false;
    }
    const DecodedField& placeA = a.first ? *a.first : *a.other;
    const DecodedField& placeB = b.first ? *b.first : *b.other;
    return SameFieldPlace(placeA, placeB) && (!a.other || a.other->value == b.other->value);
}

bool SameChanges(const std::vector<FieldChange>& a, const std::vector<FieldChange>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (!SameChange(a[i], b[i])) {
            return false;
        }
    }
    return true;
}

size_t IdColumnOf(IdTable& ids, const DecodedField& field) {
    for (size_t i = 0; i < ids.columns.size(); ++i) {
        const IdColumn& column = ids.columns[i];
        if (column.leaf == field.leaf && column.layout == field.layout) {
            return i;
        }
    }
    ids.columns.push_back(IdColumn{field.leaf, field.subleaf, field.layout});
    for (auto& row : ids.rows) {
        row.emplace_back();
    }
    return ids.columns.size() - 1;
}

void AddIdRow(IdTable& ids, const std::vector<DecodedField>& fields) {
    ids.rows.emplace_back(ids.columns.size());
    for (const DecodedField& field : fields) {
        if (!IsIdField(field)) {
            continue;
        }
        size_t column = IdColumnOf(ids, field);
        std::optional<uint32_t>& cell = ids.rows.back()[column];
        if (!cell) {
            cell = field.value;
        }
    }
}

std::optional<CpuPlace> PlaceOf(const TopologyFacts& topology, size_t cpu) {
    if (cpu < topology.cpus.size()) {
        return topology.cpus[cpu];
    }
    return std::nullopt;
}

bool SamePlace(const std::optional<CpuPlace>& a, const std::optional<CpuPlace>& b) {
    if (!a || !b) {
        return !a && !b;
    }
    return PlacedAlike(*a, *b);
}

} // namespace

bool PlacedAlike(const CpuPlace& a, const CpuPlace& b) {
    return a.package == b.package && a.coreType == b.coreType && a.lowPower == b.lowPower;
}

SnapshotFields DecodeSnapshotFields(const CpuidSnapshot& snapshot, const FieldTable& table,
                                    const TopologyFacts& topology) {
    SnapshotFields result;
    if (snapshot.cpus.empty()) {
        return result;
    }
    result.first = DecodeLeafFields(snapshot, 0, table);
    AddIdRow(result.ids, result.first);
    for (size_t cpu = 1; cpu < snapshot.cpus.size(); ++cpu) {
        std::vector<DecodedField> fields = DecodeLeafFields(snapshot, cpu, table);
        AddIdRow(result.ids, fields);
        std::vector<FieldChange> changes = ChangesFrom(result.first, fields);
        std::optional<CpuPlace> place = PlaceOf(topology, cpu);
        uint32_t index = static_cast<uint32_t>(cpu);
        if (!result.spans.empty() && result.spans.back().lastCpu + 1 == index &&
            SamePlace(result.spans.back().place, place) &&
            SameChanges(result.spans.back().changes, changes)) {
            result.spans.back().lastCpu = index;
            continue;
        }
        result.spans.push_back(ProcessorSpan{index, index, place, std::move(changes)});
    }
    return result;
}
