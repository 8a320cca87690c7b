#include "common/json_text.hpp"
#include "common/plain_text.hpp"
#include "common/text_format.hpp"
#include "console/console_io.hpp"
#include "outputs/fleet_output.hpp"
#include "outputs/vocabulary_output.hpp"

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

// Stand in for the held-down lists while the rest of the document is built.
// Escaped JSON text never holds a raw control byte, so a mark cannot occur
// in anything else the document says.
const char kHoldingMark[] = "\x01held_down_by\x01";
const char kBelowMark[] = "\x01held_below_next_by\x01";

void WriteHoldingJson(const HoldingWalk& holding, std::ostream& out) {
    const char* separator = "";
    out << "[";
    if (holding) {
        holding([&](const std::string& machine, const std::vector<std::string>& lacks) {
            out << separator
                << JsonObject()
                       .Add("machine", JsonString(machine))
                       .Add("lacks", JsonStringArray(lacks))
                       .Text();
            separator = ", ";
        });
    }
    out << "]";
}

// Writes the text, each mark replaced by the list its walk gives.
void WriteWithHoldingLists(const std::string& text,
                           const std::vector<std::pair<const char*, HoldingWalk>>& lists, std::ostream& out) {
    size_t from = 0;
    for (const auto& [mark, walk] : lists) {
        size_t at = text.find(mark, from);
        if (at == std::string::npos) {
            continue;
        }
        out << text.substr(from, at - from);
        WriteHoldingJson(walk, out);
        from = at + std::string(mark).size();
    }
    out << text.substr(from);
}

std::string ArchspecTargetText(const BaselineReport& report) {
    if (!report.archspecKnown) {
        return "unknown";
    }
    return report.archspecTarget ? *report.archspecTarget : "none (a machine without 64-bit mode)";
}

void WriteArchspecText(const BaselineReport& report, std::ostream& out) {
    Fact(out, "archspec", ArchspecTargetText(report));
    if (report.archspecNext && report.archspecHolding) {
        out << "held below " << *report.archspecNext << " by:" << kPlainLineEnd;
        report.archspecHolding([&](const std::string& machine, const std::vector<std::string>& lacks) {
            out << "  " << OneLineText(out, machine) << ": lacks " << TerminalText(out, JoinedWords(lacks))
                << kPlainLineEnd;
        });
    }
    if (report.archspecTarget) {
        Fact(out, "gcc flags", CompilerRangesText(report.archspecCompilers, "gcc"));
        Fact(out, "clang flags", CompilerRangesText(report.archspecCompilers, "clang"));
    }
}

std::string ArchspecJsonOf(const BaselineReport& report) {
    if (!report.archspecKnown) {
        return "null";
    }
    return JsonObject()
        .Add("target", JsonStringOrNull(report.archspecTarget))
        .Add("next", JsonStringOrNull(report.archspecNext))
        .Add("held_below_next_by", kBelowMark)
        .Add("compilers", CompilerRangesJson(report.archspecCompilers))
        .Text();
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
    WriteArchspecText(report, out);
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
        .Add("compiler_flags", JsonStringArray(report.compilerFlags))
        .Add("archspec", ArchspecJsonOf(report));
    WriteWithHoldingLists(document.Lines("", kPlainLineEnd),
                          {{kHoldingMark, report.holding}, {kBelowMark, report.archspecHolding}}, out);
    out << kPlainLineEnd;
}
