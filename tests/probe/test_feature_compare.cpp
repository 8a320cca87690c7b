// The set logic behind --diff and --baseline, checked on real dumps against
// the feature names --json gives for each processor.
#include "decode/feature_compare.hpp"
#include "names/capability_names.hpp"
#include "names/processor_db.hpp"
#include "support/capability_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

const char kRaptor[] = "GenuineIntel00B0671_RaptorLake_01_CPUID.txt";
const char kSkylakeX[] = "GenuineIntel0050654_SkylakeX_CPUID.txt";
const char kGoldmont[] = "GenuineIntel00506C9_Goldmont_CPUID.txt";
const char kZen5[] = "AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt";
const char kConroe[] = "GenuineIntel00006F6_Conroe_CPUID.txt";
const char kPentium3[] = "GenuineIntel0000683_P3_Coppermine_CPUID.txt";
const char kZambezi[] = "AuthenticAMD0600F12_K15_Zambezi8C_CPUID.txt";

FeatureNameBook Book() {
    return ReadFeatureNameBook(OpenDatabaseAt(VELDRIX_SOURCE_DIR "/data/veldrix.dat"));
}

MachineFeatures MachineOf(const std::string& dump) {
    CpuidSnapshot snapshot = LoadTestDump(dump);
    return MachineFeatures{ReadFeatureMask(snapshot), DecodeWithDataFile(snapshot).levels.level};
}

// (word label, name) of every feature --json lists for the dump.
std::set<std::pair<std::string, std::string>> LabelledFeatures(const std::string& dump) {
    std::set<std::pair<std::string, std::string>> features;
    for (const FeatureGroup& group : DecodeWithDataFile(LoadTestDump(dump)).featureGroups) {
        for (const std::string& name : GroupNames({group})) {
            features.emplace(group.label, name);
        }
    }
    return features;
}

std::set<std::pair<std::string, std::string>> LabelledOf(const std::vector<FeatureGroup>& groups) {
    std::set<std::pair<std::string, std::string>> features;
    for (const FeatureGroup& group : groups) {
        for (const std::string& name : GroupNames({group})) {
            features.emplace(group.label, name);
        }
    }
    return features;
}

std::set<std::pair<std::string, std::string>> Minus(const std::set<std::pair<std::string, std::string>>& a,
                                                    const std::set<std::pair<std::string, std::string>>& b) {
    std::set<std::pair<std::string, std::string>> rest;
    for (const auto& feature : a) {
        if (b.count(feature) == 0) {
            rest.insert(feature);
        }
    }
    return rest;
}

// Only-A and only-B equal the difference of the two --json feature lists,
// word by word, for every pair of these processors.
TEST(FeatureCompare, OnlyAAndOnlyBAreTheDifferencesOfTheFeatureLists) {
    const std::vector<std::string> dumps = {kRaptor, kSkylakeX, kGoldmont, kZen5, kPentium3, kZambezi};
    FeatureNameBook book = Book();
    for (const std::string& a : dumps) {
        for (const std::string& b : dumps) {
            SCOPED_TRACE(a + " vs " + b);
            FeatureDiff diff = CompareFeatures(MachineOf(a), MachineOf(b), book);
            EXPECT_EQ(LabelledOf(diff.onlyA), Minus(LabelledFeatures(a), LabelledFeatures(b)));
            EXPECT_EQ(LabelledOf(diff.onlyB), Minus(LabelledFeatures(b), LabelledFeatures(a)));
            if (a == b) {
                EXPECT_TRUE(diff.BRunsA());
            }
        }
    }
}

struct VerdictCase {
    const char* a;
    const char* b;
    std::vector<std::string> bLacks; // exactly
};

// Hand-checked: the older or smaller processor runs on the newer one unless it
// has something the newer one dropped (the processor serial number, SHA on
// Goldmont before Skylake-X had it, AVX-512 on Skylake-X but not on Raptor Lake).
const VerdictCase kVerdicts[] = {
    {kConroe, kSkylakeX, {}},
    {kRaptor, kRaptor, {}},
    {kPentium3, kSkylakeX, {"pn"}},
    {kGoldmont, kSkylakeX, {"sha_ni"}},
};

TEST(FeatureCompare, WhatBLacksToRunEverythingARuns) {
    FeatureNameBook book = Book();
    for (const VerdictCase& row : kVerdicts) {
        SCOPED_TRACE(std::string(row.a) + " vs " + row.b);
        FeatureDiff diff = CompareFeatures(MachineOf(row.a), MachineOf(row.b), book);
        EXPECT_EQ(diff.bLacks, row.bLacks);
        EXPECT_EQ(diff.BRunsA(), row.bLacks.empty());
    }
}

TEST(FeatureCompare, SkylakeXLacksRaptorLakeFeaturesButNotItsLevel) {
    FeatureDiff diff = CompareFeatures(MachineOf(kRaptor), MachineOf(kSkylakeX), Book());
    std::set<std::string> lacks(diff.bLacks.begin(), diff.bLacks.end());
    for (const char* name : {"sha_ni", "gfni", "vaes", "vpclmulqdq", "avx_vnni"}) {
        EXPECT_EQ(lacks.count(name), 1u) << name;
    }
    EXPECT_EQ(lacks.count("x86-64-v3"), 0u) << "Skylake-X meets v4";
    std::set<std::string> onlySkylake;
    for (const std::string& name : GroupNames(diff.onlyB)) {
        onlySkylake.insert(name);
    }
    for (const char* name : {"avx512f", "avx512dq", "avx512cd", "avx512bw", "avx512vl"}) {
        EXPECT_EQ(onlySkylake.count(name), 1u) << name;
    }
}

// A lower level is lacking even when no feature bit differs (an OS that does
// not enable the vector state).
TEST(FeatureCompare, ALowerLevelAloneIsLacking) {
    MachineFeatures a = MachineOf(kSkylakeX);
    MachineFeatures b = a;
    b.level = 3;
    FeatureDiff diff = CompareFeatures(a, b, Book());
    EXPECT_TRUE(diff.onlyA.empty());
    EXPECT_EQ(diff.bLacks, std::vector<std::string>{"x86-64-v4"});
}

} // namespace

namespace {

std::set<std::pair<std::string, std::string>> CommonOf(const std::vector<std::string>& dumps) {
    std::set<std::pair<std::string, std::string>> common = LabelledFeatures(dumps[0]);
    for (const std::string& dump : dumps) {
        std::set<std::pair<std::string, std::string>> features = LabelledFeatures(dump);
        common = Minus(common, Minus(common, features));
    }
    return common;
}

struct FleetCase {
    std::vector<std::string> dumps;
    int level;
    std::vector<std::string> holding; // machines holding the baseline down, in order
};

const FleetCase kFleets[] = {
    {{kRaptor, kZen5, kGoldmont}, 2, {kRaptor, kZen5, kGoldmont}},
    {{kRaptor, kSkylakeX}, 3, {kRaptor, kSkylakeX}},
    {{kSkylakeX, kSkylakeX, kSkylakeX}, 4, {}},
    {{kPentium3, kConroe, kConroe}, 0, {kPentium3}},
    {{kRaptor}, 3, {}},
};

// The common features are the intersection of the --json feature lists, the
// level the lowest, and a machine holds the fleet down when it lacks a feature
// more than half of the others have.
TEST(FeatureCompare, FleetBaselineOfRealDumps) {
    FeatureNameBook book = Book();
    for (const FleetCase& row : kFleets) {
        FleetBaseline fleet;
        std::string names;
        for (const std::string& dump : row.dumps) {
            fleet.Add(MachineOf(dump));
            names += dump + " ";
        }
        SCOPED_TRACE(names);
        EXPECT_EQ(fleet.MachineCount(), row.dumps.size());
        EXPECT_EQ(fleet.Level(), row.level);
        EXPECT_EQ(LabelledOf(NameFeatureMask(fleet.Common(), book)), CommonOf(row.dumps));
        std::vector<std::string> holding;
        for (const std::string& dump : row.dumps) {
            std::optional<FeatureMask> lacks = fleet.Holding(MachineOf(dump).mask);
            if (!lacks) {
                continue;
            }
            holding.push_back(dump);
            FeatureMask lacksAndCommon = MaskCommon(*lacks, fleet.Common());
            EXPECT_TRUE(std::all_of(lacksAndCommon.begin(), lacksAndCommon.end(), [](uint32_t w) {
                return w == 0;
            })) << "lacks a feature every machine has";
        }
        EXPECT_EQ(holding, row.holding);
    }
}

// Goldmont holds Raptor Lake and Zen 5 down by AVX2 (both have it), Raptor Lake
// does not hold the others down by AVX-512 (neither has it).
TEST(FeatureCompare, WhatAHoldingMachineLacks) {
    FeatureNameBook book = Book();
    FleetBaseline fleet;
    const char* const fleetDumps[] = {kRaptor, kZen5, kGoldmont};
    for (const char* dump : fleetDumps) {
        fleet.Add(MachineOf(dump));
    }
    std::set<std::string> goldmontLacks;
    for (const char* dump : fleetDumps) {
        std::vector<std::string> lacks =
            GroupNames(NameFeatureMask(fleet.Holding(MachineOf(dump).mask).value_or(FeatureMask()), book));
        if (dump == std::string(kGoldmont)) {
            goldmontLacks.insert(lacks.begin(), lacks.end());
        }
        EXPECT_EQ(std::count(lacks.begin(), lacks.end(), "sha_ni"), 0) << "every machine has SHA";
    }
    for (const char* name : {"avx", "avx2", "bmi1", "bmi2", "fma", "abm"}) {
        EXPECT_EQ(goldmontLacks.count(name), 1u) << name;
    }
}

} // namespace
