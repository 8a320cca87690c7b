#include "common/json_text.hpp"
#include "common/plain_text.hpp"
#include "common/text_format.hpp"
#include "decode/field_meaning.hpp"
#include "outputs/decode_output.hpp"

#include <ostream>

namespace {

const char kNull[] = "null";
const char kNoFieldTable[] = "no field table";

std::string HexText(uint32_t value) {
    return JsonString("0x" + DwordToHex(value));
}

std::string BitsText(const DecodedField& field) {
    if (field.layout == nullptr) {
        return JsonString("31:0");
    }
    uint32_t low = field.layout->lowBit;
    uint32_t high = low + field.layout->bitCount - 1;
    return JsonString(high == low ? Decimal(low) : Decimal(high) + ":" + Decimal(low));
}

std::string MeaningOrNull(const DecodedField& field, const DescriptorNames& names) {
    std::string meaning = FieldMeaning(field, names);
    return meaning.empty() ? kNull : JsonString(meaning);
}

// The place of a field: leaf, sub-leaf, register, bits, name.
JsonObject FieldPlace(const DecodedField& field) {
    JsonObject object;
    object.Add("leaf", HexText(field.leaf))
        .Add("subleaf", Decimal(field.subleaf))
        .Add("register", JsonString(RegisterName(field.reg)))
        .Add("bits", BitsText(field))
        .Add("name", field.layout != nullptr ? JsonString(field.layout->name) : kNull);
    return object;
}

std::string FieldObject(const DecodedField& field, const DescriptorNames& names) {
    return FieldPlace(field)
        .Add("label", JsonString(field.layout->label))
        .Add("kind", JsonString(FieldKindWord(field.layout->kind)))
        .Add("value", Decimal(field.value))
        .Add("meaning", MeaningOrNull(field, names))
        .Text();
}

std::string RawLeafObject(const DecodedField* regs) {
    return JsonObject()
        .Add("leaf", HexText(regs[0].leaf))
        .Add("subleaf", Decimal(regs[0].subleaf))
        .Add("eax", HexText(regs[0].value))
        .Add("ebx", HexText(regs[1].value))
        .Add("ecx", HexText(regs[2].value))
        .Add("edx", HexText(regs[3].value))
        .Add("note", JsonString(kNoFieldTable))
        .Text();
}

std::string ValueOrNull(const std::optional<DecodedField>& field) {
    return field ? Decimal(field->value) : kNull;
}

std::string MeaningOf(const std::optional<DecodedField>& field, const DescriptorNames& names) {
    return field ? MeaningOrNull(*field, names) : kNull;
}

std::string ChangeObject(const FieldChange& change, const DescriptorNames& names) {
    const DecodedField& place = change.other ? *change.other : *change.first;
    return FieldPlace(place)
        .Add("value", ValueOrNull(change.other))
        .Add("meaning", MeaningOf(change.other, names))
        .Add("first_value", ValueOrNull(change.first))
        .Add("first_meaning", MeaningOf(change.first, names))
        .Text();
}

void PlaceMembers(JsonObject& object, const std::optional<CpuPlace>& place) {
    object.Add("package", place && place->package ? Decimal(*place->package) : kNull)
        .Add("core_type", place && place->coreType ? JsonString(CoreTypeName(*place->coreType)) : kNull)
        .Add("low_power", JsonBool(place && place->lowPower));
}

std::string FirstProcessorObject(const DecodeReport& report) {
    std::vector<std::string> fields;
    std::vector<std::string> raw;
    const std::vector<DecodedField>& decoded = report.fields.first;
    for (size_t i = 0; i < decoded.size(); ++i) {
        if (decoded[i].layout == nullptr && i + 4 <= decoded.size()) {
            raw.push_back(RawLeafObject(&decoded[i]));
            i += 3;
        } else if (decoded[i].layout != nullptr) {
            fields.push_back(FieldObject(decoded[i], report.descriptorNames));
        }
    }
    std::optional<CpuPlace> place;
    if (!report.topology.cpus.empty()) {
        place = report.topology.cpus[0];
    }
    JsonObject object;
    object.Add("index", "0");
    PlaceMembers(object, place);
    return object.Add("fields", JsonArray(fields)).Add("raw_leaves", JsonArray(raw)).Text();
}

std::string SpanObject(const ProcessorSpan& span, const DescriptorNames& names) {
    JsonObject object;
    object.Add("first_cpu", Decimal(span.firstCpu)).Add("last_cpu", Decimal(span.lastCpu));
    PlaceMembers(object, span.place);
    return object
        .Add("changes",
             JsonArrayOf(span.changes,
                         [&names](const FieldChange& change) { return ChangeObject(change, names); }))
        .Text();
}

std::string IdsObject(const IdTable& ids) {
    std::string columns = JsonArrayOf(ids.columns, [](const IdColumn& column) {
        return JsonObject()
            .Add("leaf", HexText(column.leaf))
            .Add("subleaf", Decimal(column.subleaf))
            .Add("register", JsonString(RegisterName(column.layout->reg)))
            .Add("name", JsonString(column.layout->name))
            .Add("label", JsonString(column.layout->label))
            .Text();
    });
    std::vector<std::string> rows;
    for (size_t cpu = 0; cpu < ids.rows.size(); ++cpu) {
        std::string values = JsonArrayOf(ids.rows[cpu], [](const std::optional<uint32_t>& cell) {
            return cell ? Decimal(*cell) : std::string(kNull);
        });
        rows.push_back(JsonObject().Add("index", Decimal(cpu)).Add("values", values).Text());
    }
    return JsonObject().Add("columns", columns).Add("cpus", JsonArray(rows)).Text();
}

} // namespace

void WriteDecodeJson(const DecodeReport& report, std::ostream& out) {
    const DescriptorNames& names = report.descriptorNames;
    JsonObject document;
    document.Add("schema", JsonString(kDecodeJsonSchema))
        .Add("program", CapabilityProgramJson(report.source))
        .Add("source", CapabilitySourceJson(report.source))
        .Add("logical_processors", Decimal(report.fields.ids.rows.size()))
        .Add("first_cpu", FirstProcessorObject(report))
        .Add("spans", JsonArrayOf(report.fields.spans,
                                  [&names](const ProcessorSpan& span) { return SpanObject(span, names); }))
        .Add("ids", IdsObject(report.fields.ids));
    out << document.Lines("", kPlainLineEnd) << kPlainLineEnd;
}
