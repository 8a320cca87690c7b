#include "outputs/vocabulary_output.hpp"

#include "common/json_text.hpp"
#include "common/plain_text.hpp"
#include "console/console_io.hpp"

#include <ostream>

namespace {

const char kNull[] = "null";

} // namespace

std::string CompilerVersionsText(const std::string& versions) {
    size_t colon = versions.find(':');
    std::string low = colon == std::string::npos ? versions : versions.substr(0, colon);
    std::string high = colon == std::string::npos ? versions : versions.substr(colon + 1);
    if (low.empty() && high.empty()) {
        return "every version";
    }
    if (high.empty()) {
        return low + " and later";
    }
    if (low.empty()) {
        return "up to " + high;
    }
    return low == high ? low : low + " to " + high;
}

std::string CompilerRangesText(const std::vector<CompilerFlagRange>& ranges, const std::string& compiler) {
    std::string text;
    for (const CompilerFlagRange& range : ranges) {
        if (range.compiler == compiler) {
            text +=
                (text.empty() ? "" : "; ") + range.flags + " (" + CompilerVersionsText(range.versions) + ")";
        }
    }
    return text.empty() ? "none" : text;
}

std::string NearestTargetText(const ArchspecFacts& archspec) {
    if (!archspec.nearest) {
        return "none";
    }
    if (archspec.nearestLacks.empty()) {
        return *archspec.nearest + ", lacking nothing";
    }
    // What the identified design has and the processor does not report is
    // what the hypervisor hides.
    bool hidden =
        archspec.identified == archspec.nearest && archspec.hiddenByHypervisor == archspec.nearestLacks;
    return *archspec.nearest + ", lacking " + JoinedWords(archspec.nearestLacks) +
           (hidden ? " (a hypervisor hides them)" : "");
}

std::string HiddenFeaturesText(const ArchspecFacts& archspec) {
    std::string of = "of " + archspec.identified.value_or("") + ", the identified target";
    if (archspec.hiddenByHypervisor.empty()) {
        return "none (" + of + ")";
    }
    return JoinedWords(archspec.hiddenByHypervisor) + " (" + of + "; hidden, likely by the hypervisor)";
}

std::string LinuxFlagsJson(const VocabularyFacts& facts) {
    return facts.linuxFlags ? JsonStringArray(*facts.linuxFlags) : kNull;
}

std::string CompilerRangesJson(const std::vector<CompilerFlagRange>& ranges) {
    return JsonArrayOf(ranges, [](const CompilerFlagRange& range) {
        return JsonObject()
            .Add("compiler", JsonString(range.compiler))
            .Add("versions", JsonString(range.versions))
            .Add("flags", JsonString(range.flags))
            .Text();
    });
}

std::string ArchspecJson(const VocabularyFacts& facts) {
    if (!facts.archspec) {
        return kNull;
    }
    const ArchspecFacts& archspec = *facts.archspec;
    std::string nearest = kNull;
    if (archspec.nearest) {
        nearest = JsonObject()
                      .Add("target", JsonString(*archspec.nearest))
                      .Add("lacks", JsonStringArray(archspec.nearestLacks))
                      .Text();
    }
    return JsonObject()
        .Add("target", JsonString(archspec.target))
        .Add("nearest", nearest)
        .Add("identified", JsonStringOrNull(archspec.identified))
        .Add("hidden_by_hypervisor", JsonStringArray(archspec.hiddenByHypervisor))
        .Add("compilers", CompilerRangesJson(archspec.compilers))
        .Text();
}

std::string WhyNotText(const std::string& target, const ArchspecShortfall& shortfall) {
    if (shortfall.None()) {
        return target + ": yes";
    }
    std::string reasons;
    if (shortfall.vendor) {
        reasons = "a target of " + *shortfall.vendor;
    }
    if (!shortfall.missing.empty()) {
        reasons += (reasons.empty() ? "" : "; ") + std::string("missing: ") + JoinedWords(shortfall.missing);
    }
    return target + ": no (" + reasons + ")";
}

void WriteArchspecFlagLines(const ArchspecFacts& archspec, std::ostream& out) {
    out << "  archspec target: " << OneLineText(out, archspec.target) << kPlainLineEnd;
    out << "  gcc flags:       " << OneLineText(out, CompilerRangesText(archspec.compilers, "gcc"))
        << kPlainLineEnd;
    out << "  clang flags:     " << OneLineText(out, CompilerRangesText(archspec.compilers, "clang"))
        << kPlainLineEnd;
}

std::string MicrocodeJson(const VocabularyFacts& facts) {
    return facts.kernel ? JsonStringOrNull(facts.kernel->microcode) : kNull;
}

std::string VulnerabilitiesJson(const VocabularyFacts& facts) {
    if (!facts.kernel) {
        return kNull;
    }
    JsonObject entries;
    for (const Vulnerability& entry : facts.kernel->vulnerabilities) {
        entries.Add(entry.name, entry.text ? JsonObject()
                                                 .Add("state", JsonStringOrNull(entry.state))
                                                 .Add("text", JsonString(*entry.text))
                                                 .Text()
                                           : kNull);
    }
    return entries.Text();
}

std::string KernelHiddenJson(const VocabularyFacts& facts) {
    return facts.kernel && facts.kernel->hidden ? JsonStringArray(*facts.kernel->hidden) : kNull;
}

std::string KernelOnlyJson(const VocabularyFacts& facts) {
    if (!facts.kernel || !facts.kernel->only) {
        return kNull;
    }
    return JsonArrayOf(*facts.kernel->only, [](const KernelOnlyFlag& flag) {
        return JsonObject()
            .Add("flag", JsonString(flag.name))
            .Add("kind", JsonString(flag.synthetic ? "synthetic" : "derived"))
            .Text();
    });
}

std::string KernelOnlyText(const KernelOnlyFlag& flag) {
    return flag.name + (flag.synthetic ? " (synthetic)" : " (derived)");
}
