#include "common/json_text.hpp"
#include "common/plain_text.hpp"
#include "common/text_format.hpp"
#include "console/console_io.hpp"
#include "outputs/fleet_output.hpp"

#include <ostream>

namespace {

constexpr int kLabelWidth = 16;

void Fact(std::ostream& out, const std::string& label, const std::string& value) {
    out << PadRight(label + ":", kLabelWidth) << OneLineText(out, value) << kPlainLineEnd;
}

std::string Count(size_t value) {
    return Decimal(static_cast<uint64_t>(value));
}

std::string LevelText(int level) {
    return level == 0 ? "none (a machine without 64-bit mode)" : LevelName(level);
}

std::string NoneIfEmpty(const std::string& text) {
    return text.empty() ? "none" : text;
}

std::string SkippedJson(const std::vector<SkippedFile>& skipped) {
    return JsonArrayOf(skipped, [](const SkippedFile& file) {
        return JsonObject().Add("path", JsonString(file.path)).Add("reason", JsonString(file.reason)).Text();
    });
}

// Stands in for the held-down list while the rest of the document is built.
// Escaped JSON text never holds a raw control byte, so the mark cannot occur
// in anything else the document says.
const char kHoldingMark[] = "\x01held_down_by\x01";

void WriteHoldingJson(const BaselineReport& report, std::ostream& out) {
    const char* separator = "";
    out << "[";
    report.holding([&](const std::string& machine, const std::vector<std::string>& lacks) {
        out << separator
            << JsonObject().Add("machine", JsonString(machine)).Add("lacks", JsonStringArray(lacks)).Text();
        separator = ", ";
    });
    out << "]";
}

} // namespace

void WriteFeatureGroupLines(const char* title, const std::vector<FeatureGroup>& groups, std::ostream& out) {
    out << title << kPlainLineEnd;
    if (groups.empty()) {
        out << "  (none)" << kPlainLineEnd;
    }
    for (const FeatureGroup& group : groups) {
        out << "  " << group.label << ": " << TerminalText(out, JoinedWords(GroupNames({group})))
            << kPlainLineEnd;
    }
}

void WriteBaselineText(const BaselineReport& report, std::ostream& out) {
    Fact(out, "machines", Count(report.machines) + " read, " + Count(report.skipped.size()) + " skipped");
    Fact(out, "x86-64 level", LevelText(report.level));
    WriteFeatureGroupLines("common features:", report.common, out);
    out << "held down by:" << kPlainLineEnd;
    bool anyHolding = false;
    report.holding([&](const std::string& machine, const std::vector<std::string>& lacks) {
        out << "  " << OneLineText(out, machine) << ": lacks " << TerminalText(out, JoinedWords(lacks))
            << kPlainLineEnd;
        anyHolding = true;
    });
    if (!anyHolding) {
        out << "  (none)" << kPlainLineEnd;
    }
    Fact(out, "compiler flags", NoneIfEmpty(JoinedWords(report.compilerFlags)));
}

void WriteBaselineJson(const BaselineReport& report, std::ostream& out) {
    FeatureList common = JoinFeatureGroups(report.common);
    JsonObject document;
    document.Add("schema", JsonString(kJsonSchema))
        .Add("program", CapabilityProgramJson(CapabilitySource{true, "", report.databaseVersion}))
        .Add("machines", Count(report.machines))
        .Add("skipped", SkippedJson(report.skipped))
        .Add("x86_64_level", Decimal(static_cast<uint64_t>(report.level)))
        .Add("features", JsonStringArray(common.named))
        .Add("unnamed_bits", JsonStringArray(common.unnamed))
        .Add("held_down_by", kHoldingMark)
        .Add("compiler_flags", JsonStringArray(report.compilerFlags));
    std::string text = document.Lines("", kPlainLineEnd);
    size_t mark = text.find(kHoldingMark);
    out << text.substr(0, mark);
    WriteHoldingJson(report, out);
    out << text.substr(mark + sizeof kHoldingMark - 1) << kPlainLineEnd;
}
