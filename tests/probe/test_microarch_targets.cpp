// The archspec target of every dump against a second computation made here
// from archspec's own table and rules, hand-checked targets of real
// processors, and --why-not.
#include "names/processor_db.hpp"
#include "names/reference_books.hpp"
#include "support/capability_support.hpp"
#include "support/command_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <tuple>

namespace {

struct JsonTarget {
    std::string vendor;
    std::vector<std::string> from;
    std::vector<std::string> features;
};

// The targets of data/archspec/microarchitectures.json in file order, read
// from its layout: a target opens at four blanks, its keys sit at six and
// the items of its lists at eight.
std::vector<std::pair<std::string, JsonTarget>> ReadJsonTargets() {
    std::vector<std::pair<std::string, JsonTarget>> targets; // in the file's order
    std::ifstream in(VELDRIX_SOURCE_DIR "/data/archspec/microarchitectures.json");
    std::string line;
    std::vector<std::string>* list = nullptr;
    auto quoted = [](const std::string& text, size_t from) {
        size_t open = text.find('"', from);
        return text.substr(open + 1, text.find('"', open + 1) - open - 1);
    };
    while (std::getline(in, line) && line.rfind("  \"feature_aliases\"", 0) != 0) {
        if (line.rfind("    \"", 0) == 0 && line.back() == '{') {
            targets.emplace_back(quoted(line, 0), JsonTarget{});
        } else if (targets.empty()) {
            continue;
        } else if (line.rfind("      \"vendor\"", 0) == 0) {
            targets.back().second.vendor = quoted(line, line.find(':'));
        } else if (line.rfind("      \"from\"", 0) == 0 || line.rfind("      \"features\"", 0) == 0) {
            list = line.find("from") != std::string::npos ? &targets.back().second.from
                                                          : &targets.back().second.features;
            list = line.find(']') != std::string::npos ? nullptr : list; // "[]" on the line
        } else if (list != nullptr && line.rfind("        \"", 0) == 0) {
            list->push_back(quoted(line, 0));
        } else if (line.rfind("      ", 0) == 0 && line.find(']') != std::string::npos) {
            list = nullptr;
        }
    }
    return targets;
}

using JsonTable = std::vector<std::pair<std::string, JsonTarget>>;

const JsonTarget& At(const JsonTable& table, const std::string& name) {
    return std::find_if(table.begin(), table.end(), [&](const auto& row) { return row.first == name; })
        ->second;
}

std::set<std::string> Ancestors(const JsonTable& table, const std::string& name) {
    std::set<std::string> all;
    for (const std::string& parent : At(table, name).from) {
        std::set<std::string> above = Ancestors(table, parent);
        all.insert(parent);
        all.insert(above.begin(), above.end());
    }
    return all;
}

// archspec's choice as its host() writes it, over sets: of the fitting
// targets the best generic one, then the best that descends from it.
std::string SecondChoice(const JsonTable& table, const std::string& vendor,
                         const std::set<std::string>& flags) {
    auto fits = [&](const std::string& name) {
        const JsonTarget& target = At(table, name);
        bool all = std::all_of(target.features.begin(), target.features.end(),
                               [&](const std::string& feature) { return flags.count(feature) == 1; });
        return (name == "x86_64" || Ancestors(table, name).count("x86_64") == 1) &&
               (target.vendor == "generic" || target.vendor == vendor) && all;
    };
    auto rank = [&](const std::string& name) {
        return std::make_pair(Ancestors(table, name).size(), At(table, name).features.size());
    };
    auto best = [&](const auto& keep) {
        std::string found;
        for (const auto& [name, target] : table) {
            if (fits(name) && keep(name) && (found.empty() || rank(name) > rank(found))) {
                found = name;
            }
        }
        return found;
    };
    std::string generic = best([&](const std::string& name) { return At(table, name).vendor == "generic"; });
    std::string above =
        best([&](const std::string& name) { return Ancestors(table, name).count(generic) == 1; });
    return above.empty() ? generic : above;
}

// Run scripts/gen-reference-names.py after replacing the JSON file.
TEST(Archspec, DataFileTargetsEqualArchspecsTable) {
    std::optional<ArchspecBook> book =
        ReadArchspecBook(OpenDatabaseAt(VELDRIX_SOURCE_DIR "/data/veldrix.dat"));
    ASSERT_TRUE(book);
    std::map<std::string, JsonTarget> json;
    for (const auto& [name, target] : ReadJsonTargets()) {
        json[name] = target;
    }
    for (const ArchspecTarget& target : *book) {
        SCOPED_TRACE(target.name);
        ASSERT_EQ(json.count(target.name), 1u);
        EXPECT_EQ(target.vendor, json[target.name].vendor);
        EXPECT_EQ(target.parents, json[target.name].from);
        EXPECT_EQ(target.features, json[target.name].features);
    }
    EXPECT_GT(book->size(), 30u);
}

TEST(Archspec, EveryDumpGetsTheTargetArchspecsRulesGive) {
    JsonTable table = ReadJsonTargets();
    size_t compared = 0;
    for (const std::string& name : TestDumpNames()) {
        CapabilityFacts facts = DecodeWithDataFile(LoadTestDump(name));
        ASSERT_TRUE(facts.vocabularies.linuxFlags) << name;
        const std::vector<std::string>& flags = *facts.vocabularies.linuxFlags;
        std::set<std::string> flagSet(flags.begin(), flags.end());
        if (flagSet.count("lm") == 0) {
            EXPECT_FALSE(facts.vocabularies.archspec) << name;
            continue;
        }
        ASSERT_TRUE(facts.vocabularies.archspec) << name;
        EXPECT_EQ(facts.vocabularies.archspec->target, SecondChoice(table, facts.identity.vendorId, flagSet))
            << name;
        ++compared;
    }
    EXPECT_GT(compared, 15u);
}

// Dump, target, nearest named target above it ("" for none), process node;
// checked by hand against each part's features and archspec's table.
const std::tuple<const char*, const char*, const char*, const char*> kTargets[] = {
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", "alderlake", "arrowlake", "Intel 7"},
    {"GenuineIntel00806F8_SapphireRapids_05_CPUID.txt", "sapphirerapids", "", "Intel 7"},
    {"AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt", "zen5", "", "4 nm"},
    {"GenuineIntel0050654_SkylakeX_CPUID.txt", "skylake_avx512", "cascadelake", "14 nm"},
    {"GenuineIntel00006F6_Conroe_CPUID.txt", "core2", "nehalem", "65 nm"},
    // The machine these helpers were built on: KVM hides PKU and FLUSH_L1D.
    {"AuthenticAMD0A10F11_EPYC-Genoa-KVM_cpuid-r.txt", "x86_64_v4", "zen4", "5 nm"},
};

TEST(Archspec, TargetsOfRealProcessors) {
    for (const auto& [dump, target, nearest, node] : kTargets) {
        CapabilityFacts facts = DecodeWithDataFile(LoadTestDump(dump));
        ASSERT_TRUE(facts.vocabularies.archspec) << dump;
        EXPECT_EQ(facts.vocabularies.archspec->target, target) << dump;
        EXPECT_EQ(facts.vocabularies.archspec->nearest.value_or(""), nearest) << dump;
        EXPECT_EQ(facts.vocabularies.generation.processNode.value_or(""), node) << dump;
    }
}

// Dump, target, exit status, the line written.
const std::tuple<const char*, const char*, int, const char*> kWhyNot[] = {
    {"AuthenticAMD0A10F11_EPYC-Genoa-KVM_cpuid-r.txt", "zen4", 1, "zen4: no (missing: pku flush_l1d)\n"},
    {"AuthenticAMD0A10F11_EPYC-Genoa-KVM_cpuid-r.txt", "x86_64_v4", 0, "x86_64_v4: yes\n"},
    {"GenuineIntel00006F6_Conroe_CPUID.txt", "nehalem", 1, "nehalem: no (missing: sse4_1 sse4_2 popcnt)\n"},
    {"GenuineIntel0000683_P3_Coppermine_CPUID.txt", "x86_64", 1, "x86_64: no (missing: lm)\n"},
    {"GenuineIntel0000683_P3_Coppermine_CPUID.txt", "pentium3", 0, "pentium3: yes\n"},
    // Hygon C86 leaves out AES and PCLMULQDQ besides being no AMD part.
    {"HygonGenuine0900F02_Hygon_CPUID.txt", "zen", 1,
     "zen: no (a target of AuthenticAMD; missing: aes pclmulqdq)\n"},
};

TEST(Archspec, WhyNotSaysWhatATargetNeeds) {
    for (const auto& [dump, target, status, line] : kWhyNot) {
        CommandOutcome outcome = RunOptions({"-r", TestDumpPath(dump), "--why-not", target});
        EXPECT_EQ(outcome.status, status) << dump << " " << target;
        EXPECT_EQ(outcome.out, PlainLines(line));
    }
    CommandOutcome unknown = RunOptions({"--why-not", "zen99"});
    EXPECT_EQ(unknown.status, 64);
    EXPECT_EQ(unknown.out, "");
    EXPECT_NE(unknown.err.find("known targets: x86 i686"), std::string::npos) << unknown.err;
    EXPECT_EQ(RunOptions({"--why-not"}).status, 64);
}

} // namespace
