// The outputs that compare processors: --diff (two machines) and --baseline
// (a fleet), each as aligned text or as a JSON document of schema veldrix/1.
// Lines end with kPlainLineEnd.
#pragma once

#include "decode/feature_compare.hpp"
#include "decode/microarch_targets.hpp"
#include "outputs/capability_output.hpp"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// One processor of a comparison, decoded and named.
struct ComparedMachine {
    CapabilityFacts facts;
    CapabilitySource source;
};

struct DiffReport {
    ComparedMachine a;
    ComparedMachine b;
    FeatureDiff diff;
};

void WriteDiffText(const DiffReport& report, std::ostream& out);
void WriteDiffJson(const DiffReport& report, std::ostream& out);

// A file that was passed over, and why.
struct SkippedFile {
    std::string path;
    std::string reason;
};

// Calls its argument once for every machine that holds the baseline down,
// with the machine's label and the names of what it lacks. The machines are
// visited while the report is written, so none of them is held in memory.
using HoldingVisitor = std::function<void(const std::string& machine, const std::vector<std::string>& lacks)>;
using HoldingWalk = std::function<void(const HoldingVisitor& visit)>;

struct BaselineReport {
    std::string databaseVersion;
    size_t machines = 0;
    std::vector<SkippedFile> skipped;
    int level = 0;
    std::vector<FeatureGroup> common;
    HoldingWalk holding;
    std::vector<std::string> compilerFlags;
    // archspec: the target of what every machine has (none when a machine
    // has no 64-bit mode), the target above it that most machines reach and
    // the machines that do not, with what each lacks of it. Unknown without
    // the data file's archspec and Linux flag sections.
    bool archspecKnown = false;
    std::optional<std::string> archspecTarget;
    std::optional<std::string> archspecNext;
    HoldingWalk archspecHolding;
    std::vector<CompilerFlagRange> archspecCompilers;
};

// A title line, then one line per register with the names of its group,
// or "(none)".
void WriteFeatureGroupLines(const char* title, const std::vector<FeatureGroup>& groups, std::ostream& out);

void WriteBaselineText(const BaselineReport& report, std::ostream& out);
void WriteBaselineJson(const BaselineReport& report, std::ostream& out);

// "this machine" or "dump PATH", control bytes as '?'.
std::string MachineLabel(const CapabilitySource& source);
