#include "common/json_text.hpp"
#include "common/plain_text.hpp"
#include "common/text_format.hpp"
#include "reports/fleet_output.hpp"

#include <ostream>

namespace {

constexpr int kLabelWidth = 16;

void Fact(std::ostream& out, const std::string& label, const std::string& value) {
    out << PadRight(label + ":", kLabelWidth) << WithoutControlBytes(value) << kPlainLineEnd;
}

std::string Count(size_t value) {
    return Decimal(static_cast<uint64_t>(value));
}

std::string LevelText(int level) {
    return level == 0 ? "none (a machine without 64-bit mode)"
                      : "x86-64-v" + Decimal(static_cast<uint64_t>(level));
}

std::string NoneIfEmpty(const std::string& text) {
    return text.empty() ? "none" : text;
}

std::string SkippedJson(const std::vector<SkippedFile>& skipped) {
    std::vector<std::string> files;
    for (const SkippedFile& file : skipped) {
        files.push_back(
            JsonObject().Add("path", JsonString(file.path)).Add("reason", JsonString(file.reason)).Text());
    }
    return JsonArray(files);
}

std::string HoldingJson(const BaselineReport& report) {
    std::vector<std::string> machines;
    for (const auto& machine : report.holding) {
        machines.push_back(JsonObject()
                               .Add("machine", JsonString(machine.first))
                               .Add("lacks", JsonStringArray(machine.second))
                               .Text());
    }
    return JsonArray(machines);
}

} // namespace

void WriteBaselineText(const BaselineReport& report, std::ostream& out) {
    Fact(out, "machines", Count(report.machines) + " read, " + Count(report.skipped.size()) + " skipped");
    Fact(out, "x86-64 level", LevelText(report.level));
    out << "common features:" << kPlainLineEnd;
    if (report.common.empty()) {
        out << "  (none)" << kPlainLineEnd;
    }
    for (const FeatureGroup& group : report.common) {
        out << "  " << group.label << ": " << JoinedWords(GroupNames({group})) << kPlainLineEnd;
    }
    out << "held down by:" << kPlainLineEnd;
    if (report.holding.empty()) {
        out << "  (none)" << kPlainLineEnd;
    }
    for (const auto& machine : report.holding) {
        out << "  " << WithoutControlBytes(machine.first) << ": lacks " << JoinedWords(machine.second)
            << kPlainLineEnd;
    }
    Fact(out, "compiler flags", NoneIfEmpty(JoinedWords(report.compilerFlags)));
}

void WriteBaselineJson(const BaselineReport& report, std::ostream& out) {
    FeatureList common = JoinFeatureGroups(report.common);
    JsonObject document;
    document.Add("schema", JsonString("veldrix/1"))
        .Add("program", CapabilityProgramJson(CapabilitySource{true, "", report.databaseVersion}))
        .Add("machines", Count(report.machines))
        .Add("skipped", SkippedJson(report.skipped))
        .Add("x86_64_level", Decimal(static_cast<uint64_t>(report.level)))
        .Add("features", JsonStringArray(common.named))
        .Add("unnamed_bits", JsonStringArray(common.unnamed))
        .Add("held_down_by", HoldingJson(report))
        .Add("compiler_flags", JsonStringArray(report.compilerFlags));
    out << document.Lines("", kPlainLineEnd) << kPlainLineEnd;
}
