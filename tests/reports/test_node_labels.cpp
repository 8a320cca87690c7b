// The Node Feature Discovery labels: Kubernetes' label rule as its
// documentation states it, checked by a pattern of its own over every
// shared dump, the reduction of foreign text to label values, and the
// labels of features the OS has not enabled.
#include "outputs/node_labels.hpp"
#include "support/capability_support.hpp"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace {

// From the Kubernetes documentation of labels: an optional prefix (a DNS
// subdomain of at most 253 characters) and '/', a name of at most 63
// characters; a value of at most 63 characters, possibly empty.
const std::regex
    kLabelLine("^([a-z0-9]([-a-z0-9]*[a-z0-9])?(\\.[a-z0-9]([-a-z0-9]*[a-z0-9])?)*)/"
               "([A-Za-z0-9]([-A-Za-z0-9_.]*[A-Za-z0-9])?)=(([A-Za-z0-9]([-A-Za-z0-9_.]*[A-Za-z0-9])?)?)$");

bool FollowsLabelRule(const std::string& line) {
    std::smatch match;
    return std::regex_match(line, match, kLabelLine) && match[1].length() <= 253 && match[5].length() <= 63 &&
           match[7].length() <= 63;
}

std::string FeaturesFileOf(const CapabilityFacts& facts) {
    std::ostringstream out;
    EXPECT_TRUE(
        WriteNodeFeatures(DescribeNodeLabels(facts), std::string("2030-01-01T00:00:00Z"), out).empty());
    return out.str();
}

TEST(NodeLabels, EveryLineOfEveryDumpFollowsTheFeaturesFileSyntax) {
    for (const std::string& name : TestDumpNames()) {
        std::string file = FeaturesFileOf(DecodeWithDataFile(LoadTestDump(name)));
        EXPECT_LE(file.size(), 65536u) << name;
        std::istringstream lines(file);
        std::string line;
        size_t labels = 0;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (line.rfind('#', 0) == 0) {
                continue;
            }
            EXPECT_TRUE(FollowsLabelRule(line)) << name << ": " << line;
            ++labels;
        }
        EXPECT_GE(labels, 3u) << name;
    }
}

struct ReductionCase {
    const char* name;
    std::string text;
    const char* value;
};

const ReductionCase kReductions[] = {
    {"blanks become one dash", "Golden Cove and Gracemont", "Golden-Cove-and-Gracemont"},
    {"quotes and brackets", "Intel(R) \"Core\" i9", "Intel-R-Core-i9"},
    {"control bytes", std::string("KVM\x01\x1b[31m", 9), "KVM-31m"},
    {"non-ASCII bytes", "Zhaoxin \xe5\x85\x86\xe8\x8a\xaf", "Zhaoxin"},
    {"punctuation at the ends", "-._x86_.-", "x86"},
    {"nothing left", "\"\"", ""},
    {"cut at 63 characters", std::string(70, 'a'),
     "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"},
};

TEST(NodeLabels, ForeignTextIsReducedToALabelValue) {
    for (const ReductionCase& row : kReductions) {
        std::string value = ReduceToLabelValue(row.text);
        EXPECT_EQ(value, row.value) << row.name;
        EXPECT_TRUE(IsValidLabelValue(value)) << row.name;
    }
}

struct RuleCase {
    const char* name;
    std::string label;
    bool valid;
};

const RuleCase kNameRules[] = {
    {"prefixed name", "veldrix.feature.node.kubernetes.io/flag.avx2", true},
    {"bare name", "x86_64_level", true},
    {"name of 63 characters", "a/" + std::string(63, 'n'), true},
    {"name of 64 characters", "a/" + std::string(64, 'n'), false},
    {"upper-case prefix", "Veldrix.io/x", false},
    {"prefix label ending in a dash", "veldrix-.io/x", false},
    {"empty prefix label", "veldrix..io/x", false},
    {"name ending in a dot", "veldrix.io/flag.", false},
    {"blank in the name", "veldrix.io/a b", false},
    {"empty name", "veldrix.io/", false},
};

TEST(NodeLabels, NamesAreCheckedAgainstTheKubernetesRule) {
    for (const RuleCase& row : kNameRules) {
        EXPECT_EQ(IsValidLabelName(row.label), row.valid) << row.name;
    }
}

TEST(NodeLabels, AnInvalidLabelIsRefusedNotWritten) {
    std::ostringstream out;
    std::vector<NodeLabel> rejected =
        WriteNodeFeatures({{"cores", "8"}, {"bad name", "1"}}, std::nullopt, out);
    ASSERT_EQ(rejected.size(), 1u);
    EXPECT_EQ(rejected[0].name, "bad name");
    EXPECT_EQ(out.str().find("bad name"), std::string::npos);
    EXPECT_NE(out.str().find("/cores=8"), std::string::npos);
}

// Sapphire Rapids has AVX-512 and AMX: with the OS refusing that state, the
// processor's bits are labelled as not enabled, the AVX ones stay true.
TEST(NodeLabels, FeaturesTheOsHasNotEnabledAreLabelledSo) {
    CapabilityFacts facts =
        DecodeWithDataFile(LoadTestDump("GenuineIntel00806F8_SapphireRapids_05_CPUID.txt"));
    facts.os.avx = true;
    facts.os.avx512 = false;
    facts.os.amx = false;
    std::string file = FeaturesFileOf(facts);
    EXPECT_NE(file.find("/flag.avx512f=not-enabled-by-os"), std::string::npos);
    EXPECT_NE(file.find("/flag.amx_tile=not-enabled-by-os"), std::string::npos);
    EXPECT_NE(file.find("/flag.avx2=true"), std::string::npos);
    EXPECT_NE(file.find("/amx_palette1_tiles=8"), std::string::npos);
}

} // namespace
