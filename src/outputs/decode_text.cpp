#include "common/plain_text.hpp"
#include "common/text_format.hpp"
#include "common/version.hpp"
#include "console/console_io.hpp"
#include "decode/field_meaning.hpp"
#include "outputs/decode_output.hpp"

#include <algorithm>
#include <ostream>

namespace {

constexpr int kPlaceWidth = 14;
constexpr int kBitsWidth = 12;
constexpr int kValueWidth = 56;
const char kNoFieldTable[] = "(no field table)";

void Line(std::ostream& out, const std::string& text) {
    out << OneLineText(out, text) << kPlainLineEnd;
}

// A line of padded columns, without the padding after its last column.
void ColumnsLine(std::ostream& out, std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    Line(out, text);
}

std::string ValueWithMeaning(const DecodedField& field, const DescriptorNames& names) {
    std::string meaning = FieldMeaning(field, names);
    return FieldValueText(field) + (meaning.empty() ? "" : " (" + meaning + ")");
}

std::string FieldLine(const DecodedField& field, const std::string& value, const std::string& label) {
    std::string name = field.layout != nullptr ? field.layout->name : "";
    std::string text = "  " + PadRight(LeafPlaceText(field.leaf, field.subleaf), kPlaceWidth) +
                       PadRight(FieldBitsText(field), kBitsWidth);
    std::string assignment = name.empty() ? "= " + value : name + " = " + value;
    if (label.empty()) {
        return text + assignment;
    }
    return text + PadRight(assignment, kValueWidth - 1) + " " + label;
}

// A raw leaf on one line: its four registers.
std::string RawLeafLine(const DecodedField* regs) {
    std::string text = "  " + PadRight(LeafPlaceText(regs[0].leaf, regs[0].subleaf), kPlaceWidth) +
                       PadRight("raw", kBitsWidth);
    for (int reg = 0; reg < 4; ++reg) {
        text += std::string(RegisterName(reg)) + "=" + FieldValueText(regs[reg]) + " ";
    }
    return text + kNoFieldTable;
}

void WriteFields(const std::vector<DecodedField>& fields, const DescriptorNames& names, std::ostream& out) {
    for (size_t i = 0; i < fields.size(); ++i) {
        const DecodedField& field = fields[i];
        if (field.layout == nullptr && i + 4 <= fields.size()) {
            Line(out, RawLeafLine(&fields[i]));
            i += 3;
            continue;
        }
        Line(out, FieldLine(field, ValueWithMeaning(field, names), field.layout ? field.layout->label : ""));
    }
}

std::string PlaceWords(const CpuPlace& place) {
    std::string text = "package " + (place.package ? Decimal(*place.package) : std::string("unknown"));
    if (place.coreType) {
        text += std::string(", ") + CoreTypeName(*place.coreType) + (place.lowPower ? " low power" : "") +
                " cores";
    }
    return text;
}

void WriteChange(const FieldChange& change, const DescriptorNames& names, std::ostream& out) {
    if (!change.other) {
        return;
    }
    std::string value = ValueWithMeaning(*change.other, names);
    value += change.first ? "; cpu 0: " + ValueWithMeaning(*change.first, names) : "; cpu 0: not recorded";
    std::string label = change.other->layout != nullptr ? change.other->layout->label : kNoFieldTable;
    Line(out, FieldLine(*change.other, value, label));
}

// Leaves the first processor recorded and these processors lack, once each.
void WriteMissingLeaves(const std::vector<FieldChange>& changes, std::ostream& out) {
    const DecodedField* last = nullptr;
    for (const FieldChange& change : changes) {
        if (change.other || !change.first) {
            continue;
        }
        const DecodedField& field = *change.first;
        if (last == nullptr || last->leaf != field.leaf || last->subleaf != field.subleaf) {
            Line(out, "  " + PadRight(LeafPlaceText(field.leaf, field.subleaf), kPlaceWidth) +
                          "not recorded here (cpu 0 has it)");
        }
        last = &field;
    }
}

void WriteSpans(const DecodeReport& report, std::ostream& out) {
    if (report.fields.spans.empty()) {
        return;
    }
    Line(out, "");
    Line(out, "Differences from cpu 0");
    for (const ProcessorSpan& span : report.fields.spans) {
        std::string label = SpanLabel(span.firstCpu, span.lastCpu, span.place);
        if (span.changes.empty()) {
            Line(out, label + ": the same fields as cpu 0");
            continue;
        }
        Line(out, label + " differ in:");
        for (const FieldChange& change : span.changes) {
            WriteChange(change, report.descriptorNames, out);
        }
        WriteMissingLeaves(span.changes, out);
    }
}

std::string ColumnHeading(const IdColumn& column) {
    std::string leaf = DwordToHex(column.leaf);
    size_t first = std::min(leaf.find_first_not_of('0'), leaf.size() - 1);
    return leaf.substr(first) + ":" + column.layout->name;
}

std::string CellText(const std::optional<uint32_t>& cell) {
    return cell ? Decimal(*cell) : "-";
}

void WriteIds(const IdTable& ids, std::ostream& out) {
    if (ids.columns.empty()) {
        return;
    }
    Line(out, "");
    Line(out, "Ids of each processor (LEAF:field, in decimal; - not recorded)");
    std::vector<int> widths;
    std::string heading = PadRight("  cpu", 8);
    for (size_t column = 0; column < ids.columns.size(); ++column) {
        std::string title = ColumnHeading(ids.columns[column]);
        size_t width = title.size();
        for (const auto& row : ids.rows) {
            width = std::max(width, CellText(row[column]).size());
        }
        widths.push_back(static_cast<int>(width + 2));
        heading += PadRight(title, widths.back());
    }
    ColumnsLine(out, heading);
    for (size_t cpu = 0; cpu < ids.rows.size(); ++cpu) {
        std::string text = PadRight("  " + Decimal(cpu), 8);
        for (size_t column = 0; column < ids.columns.size(); ++column) {
            text += PadRight(CellText(ids.rows[cpu][column]), widths[column]);
        }
        ColumnsLine(out, text);
    }
}

} // namespace

std::string SpanLabel(uint32_t firstCpu, uint32_t lastCpu, const std::optional<CpuPlace>& place) {
    std::string label = firstCpu == lastCpu ? "cpu " + Decimal(firstCpu)
                                            : "cpus " + Decimal(firstCpu) + "-" + Decimal(lastCpu);
    return place ? label + " (" + PlaceWords(*place) + ")" : label;
}

void WriteDecodeText(const DecodeReport& report, std::ostream& out) {
    const CapabilitySource& source = report.source;
    Line(out, "Program");
    Line(out, "  version: " + std::string(kVeldrixVersion));
    Line(out, "  database_version: " + source.databaseVersion);
    Line(out, "  source: " + (source.hardware ? std::string("hardware") : "dump " + source.path));
    Line(out, "  logical_processors: " + Decimal(report.fields.ids.rows.size()));
    Line(out, "");
    std::optional<CpuPlace> first;
    if (!report.topology.cpus.empty()) {
        first = report.topology.cpus[0];
    }
    Line(out, SpanLabel(0, 0, first) + ": every field");
    WriteFields(report.fields.first, report.descriptorNames, out);
    WriteSpans(report, out);
    WriteIds(report.fields.ids, out);
}
