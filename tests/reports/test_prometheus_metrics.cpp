// The Prometheus metrics: every line of every shared dump's file is a HELP,
// a TYPE or a sample of the exposition format, no series twice, and foreign
// text escaped in label values.
#include "outputs/prometheus_metrics.hpp"
#include "support/capability_support.hpp"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

namespace {

// From the exposition format's description: a metric name, an optional
// brace of name="value" pairs (the value escaping \\, \" and \n), a number.
const std::regex kSampleLine("^[a-zA-Z_:][a-zA-Z0-9_:]*"
                             "(\\{[a-zA-Z_][a-zA-Z0-9_]*=\"([^\"\\\\\\n]|\\\\[\\\\\"n])*\""
                             "(,[a-zA-Z_][a-zA-Z0-9_]*=\"([^\"\\\\\\n]|\\\\[\\\\\"n])*\")*\\})? [0-9]+$");
const std::regex kCommentLine("^# (HELP|TYPE) [a-zA-Z_:][a-zA-Z0-9_:]* .+$");

TEST(PrometheusMetrics, EveryDumpGivesOnlyWellFormedLinesAndNoSeriesTwice) {
    for (const std::string& name : TestDumpNames()) {
        std::ostringstream out;
        WritePrometheusMetrics(DecodeWithDataFile(LoadTestDump(name)), out);
        std::istringstream lines(out.str());
        std::string line;
        std::set<std::string> series;
        while (std::getline(lines, line)) {
            bool comment = line.rfind('#', 0) == 0;
            EXPECT_TRUE(std::regex_match(line, comment ? kCommentLine : kSampleLine)) << name << ": " << line;
            if (!comment) {
                EXPECT_TRUE(series.insert(line.substr(0, line.rfind(' '))).second) << name << ": " << line;
            }
        }
        EXPECT_EQ(series.count("veldrix_x86_64_level"), 1u) << name;
    }
}

struct EscapeCase {
    const char* name;
    std::string text;
    const char* value;
};

const EscapeCase kEscapes[] = {
    {"quotes and backslashes", "Intel \"Core\" C:\\", "Intel \\\"Core\\\" C:\\\\"},
    {"line feed", "a\nb", "a\\nb"},
    {"control bytes", std::string("K\x01V\x7fM", 5), "K?V?M"},
    {"non-ASCII bytes", "Zhaoxin \xe5\x85\x86", "Zhaoxin ???"},
};

TEST(PrometheusMetrics, LabelValuesAreEscapedAsTheFormatRequires) {
    for (const EscapeCase& row : kEscapes) {
        EXPECT_EQ(PrometheusLabelValue(row.text), row.value) << row.name;
    }
}

} // namespace
