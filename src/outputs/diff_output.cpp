#include "common/json_text.hpp"
#include "common/plain_text.hpp"
#include "common/text_format.hpp"
#include "console/console_io.hpp"
#include "outputs/fleet_output.hpp"

#include <ostream>

namespace {

constexpr int kLabelWidth = 14;

void Line(std::ostream& out, const std::string& label, const std::string& value) {
    out << PadRight("  " + label + ":", kLabelWidth) << OneLineText(out, value) << kPlainLineEnd;
}

// "GenuineIntel 0x000B0671 (family 6, model 183, stepping 1)".
std::string IdentityText(const SnapshotIdentity& id) {
    std::string text = id.vendorId.empty() ? "(no vendor)" : id.vendorId;
    if (!id.hasSignature) {
        return text + ", no signature";
    }
    const SignatureFields& sig = id.signature;
    return text + " 0x" + DwordToHex(sig.signature) + " (family " + Decimal(sig.family) + ", model " +
           Decimal(sig.model) + ", stepping " + Decimal(sig.stepping) + ")";
}

std::string LevelText(int level) {
    return level == 0 ? "none (no 64-bit mode)" : LevelName(level);
}

void WriteSide(const char* name, const ComparedMachine& machine, std::ostream& out) {
    const CapabilityFacts& facts = machine.facts;
    out << name << ": " << TerminalText(out, MachineLabel(machine.source)) << kPlainLineEnd;
    Line(out, "identity", IdentityText(facts.identity));
    Line(out, "brand", facts.identity.brand.value_or("unknown"));
    Line(out, "name", facts.names.processor.value_or("unknown"));
    Line(out, "x86-64", LevelText(facts.levels.level));
}

std::string VerdictText(const FeatureDiff& diff) {
    return diff.BRunsA() ? "yes" : "no (B lacks: " + JoinedWords(diff.bLacks) + ")";
}

std::string SideJson(const ComparedMachine& machine) {
    return JsonObject()
        .Add("source", CapabilitySourceJson(machine.source))
        .Add("processor", CapabilityProcessorJson(machine.facts))
        .Add("x86_64_level", Decimal(static_cast<uint64_t>(machine.facts.levels.level)))
        .Text();
}

std::string GroupsJson(const std::vector<FeatureGroup>& groups) {
    return JsonArrayOf(groups, [](const FeatureGroup& group) {
        return JsonObject()
            .Add("word", JsonString(group.label))
            .Add("features", JsonStringArray(group.bits.named))
            .Add("unnamed_bits", JsonStringArray(group.bits.unnamed))
            .Text();
    });
}

} // namespace

std::string MachineLabel(const CapabilitySource& source) {
    return source.hardware ? "this machine" : "dump " + WithoutControlBytes(source.path);
}

void WriteDiffText(const DiffReport& report, std::ostream& out) {
    WriteSide("A", report.a, out);
    WriteSide("B", report.b, out);
    WriteFeatureGroupLines("Only A has:", report.diff.onlyA, out);
    WriteFeatureGroupLines("Only B has:", report.diff.onlyB, out);
    out << "B runs everything A runs: " << TerminalText(out, VerdictText(report.diff)) << kPlainLineEnd;
}

void WriteDiffJson(const DiffReport& report, std::ostream& out) {
    JsonObject document;
    document.Add("schema", JsonString(kJsonSchema))
        .Add("program", CapabilityProgramJson(report.a.source))
        .Add("a", SideJson(report.a))
        .Add("b", SideJson(report.b))
        .Add("only_in_a", GroupsJson(report.diff.onlyA))
        .Add("only_in_b", GroupsJson(report.diff.onlyB))
        .Add("b_runs_a", JsonBool(report.diff.BRunsA()))
        .Add("b_lacks", JsonStringArray(report.diff.bLacks));
    out << document.Lines("", kPlainLineEnd) << kPlainLineEnd;
}
