// The archspec target of every dump against a second computation made here
// from archspec's own table and rules, hand-checked targets of real
// processors, and --why-not.
#include "names/processor_db.hpp"
#include "names/reference_books.hpp"
#include "support/capability_support.hpp"
#include "support/command_support.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

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
    std::vector<std::pair<std::string, JsonTarget>> targets;
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

// archspec's choice as its host() writes it, over sets.
class SecondChoice {
  public:
    SecondChoice() : table_(ReadJsonTargets()) {
        for (const auto& [name, target] : table_) {
            byName_[name] = &target;
        }
    }

    std::set<std::string> Ancestors(const std::string& name) const {
        std::set<std::string> all;
        for (const std::string& parent : byName_.at(name)->from) {
            all.insert(parent);
            std::set<std::string> above = Ancestors(parent);
            all.insert(above.begin(), above.end());
        }
        return all;
    }

    std::string Choose(const std::string& vendor, const std::set<std::string>& flags) const {
        std::vector<std::string> fits;
        for (const auto& [name, target] : table_) {
            bool descends = name == "x86_64" || Ancestors(name).count("x86_64") == 1;
            bool vendorFits = target.vendor == "generic" || target.vendor == vendor;
            bool all = true;
            for (const std::string& feature : target.features) {
                all = all && flags.count(feature) == 1;
            }
            if (descends && vendorFits && all) {
                fits.push_back(name);
            }
        }
        std::string generic =
            Max(fits, [&](const std::string& name) { return byName_.at(name)->vendor == "generic"; });
        std::string best =
            Max(fits, [&](const std::string& name) { return Ancestors(name).count(generic) == 1; });
        return best.empty() ? generic : best;
    }

  private:
    template <typename Keep> std::string Max(const std::vector<std::string>& names, Keep keep) const {
        std::string best;
        for (const std::string& name : names) {
            auto rank = [&](const std::string& n) {
                return std::make_pair(Ancestors(n).size(), byName_.at(n)->features.size());
            };
            if (keep(name) && (best.empty() || rank(name) > rank(best))) {
                best = name;
            }
        }
        return best;
    }

    std::vector<std::pair<std::string, JsonTarget>> table_;
    std::map<std::string, const JsonTarget*> byName_;
};

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
    SecondChoice second;
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
        EXPECT_EQ(facts.vocabularies.archspec->target, second.Choose(facts.identity.vendorId, flagSet))
            << name;
        ++compared;
    }
    EXPECT_GT(compared, 15u);
}

struct TargetCase {
    const char* dump;
    const char* target;
    const char* nearest; // "" for none
};

// Checked by hand against each part's features and archspec's table.
const TargetCase kTargets[] = {
    {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", "alderlake", "arrowlake"},
    {"GenuineIntel00806F8_SapphireRapids_05_CPUID.txt", "sapphirerapids", ""},
    {"AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt", "zen5", ""},
    {"GenuineIntel0050654_SkylakeX_CPUID.txt", "skylake_avx512", "cascadelake"},
    {"GenuineIntel00006F6_Conroe_CPUID.txt", "core2", "nehalem"},
    // The machine these helpers were built on: KVM hides PKU and FLUSH_L1D.
    {"AuthenticAMD0A10F11_EPYC-Genoa-KVM_cpuid-r.txt", "x86_64_v4", "zen4"},
};

TEST(Archspec, TargetsOfRealProcessors) {
    for (const TargetCase& row : kTargets) {
        CapabilityFacts facts = DecodeWithDataFile(LoadTestDump(row.dump));
        ASSERT_TRUE(facts.vocabularies.archspec) << row.dump;
        EXPECT_EQ(facts.vocabularies.archspec->target, row.target) << row.dump;
        EXPECT_EQ(facts.vocabularies.archspec->nearest.value_or(""), row.nearest) << row.dump;
    }
}

struct WhyNotCase {
    const char* dump;
    const char* target;
    int status;
    const char* line;
};

const WhyNotCase kWhyNot[] = {
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
    for (const WhyNotCase& row : kWhyNot) {
        CommandOutcome outcome = RunOptions({"-r", TestDumpPath(row.dump), "--why-not", row.target});
        EXPECT_EQ(outcome.status, row.status) << row.dump << " " << row.target;
        EXPECT_EQ(outcome.out, PlainLines(row.line));
    }
    CommandOutcome unknown = RunOptions({"--why-not", "zen99"});
    EXPECT_EQ(unknown.status, 64);
    EXPECT_EQ(unknown.out, "");
    EXPECT_NE(unknown.err.find("known targets: x86 i686"), std::string::npos) << unknown.err;
    EXPECT_EQ(RunOptions({"--why-not"}).status, 64);
}

} // namespace
