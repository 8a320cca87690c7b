// The report file writer: name rules, CR LF line ends, and failures of the
// medium surfacing instead of being lost.
#include "reports/report_support.hpp"
#include "reports/text_file.hpp"
#include "support/run_binary.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace {

struct NameCase {
    const char* rule;
    const char* typed;
    const char* ext;
    const char* expected;
};

const NameCase kNameCases[] = {
    {"plain name gets html", "report", ".html", "report.html"},
    {"html kept", "report.html", ".html", "report.html"},
    {"upper case is not the extension", "REPORT.HTML", ".html", "REPORT.HTML.html"},
    {"extension alone gets another", ".html", ".html", ".html.html"},
    {"empty line", "", ".html", ".html"},
    {"html not at the end", "a.html.bak", ".html", "a.html.bak.html"},
    {"only the first html counts", "a.html.html", ".html", "a.html.html.html"},
    {"blanks stay", " my report ", ".html", " my report .html"},
    {"trailing blank after extension", "r.html ", ".html", "r.html .html"},
    {"plain name gets txt", "cpu", ".txt", "cpu.txt"},
    {"txt kept", "cpu.txt", ".txt", "cpu.txt"},
    {"extension alone gets another txt", ".txt", ".txt", ".txt.txt"},
    {"only the first txt counts", "a.txt.txt", ".txt", "a.txt.txt.txt"},
    {"upper case TXT", "CPU.TXT", ".txt", "CPU.TXT.txt"},
    {"mixed case txt", "report.TXT", ".txt", "report.TXT.txt"},
    {"empty line txt", "", ".txt", ".txt"},
    {"path kept", "out/cap.txt", ".txt", "out/cap.txt"},
};

TEST(ReportFileName, FollowsTheExtensionRule) {
    for (const NameCase& c : kNameCases) {
        EXPECT_EQ(WithExtension(c.typed, c.ext), c.expected) << c.rule;
    }
}

TEST(TextFileWriter, EndsEveryLineWithCrLfAndReplacesTheFile) {
    std::string path = MakeTempDir("writer") + "/out.txt";
    {
        std::ofstream old(path);
        old << "an older and much longer content that must disappear\n";
    }
    TextFile file;
    ASSERT_TRUE(file.Create(path));
    file.Line("first");
    file.Line();
    file.Line("last");
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(ReadWholeFile(path), "first\r\n\r\nlast\r\n");
}

TEST(TextFileWriter, CannotCreateInAMissingFolderOrOverAFolder) {
    std::string dir = MakeTempDir("nocreate");
    TextFile file;
    EXPECT_FALSE(file.Create(dir + "/missing/out.txt"));
    EXPECT_FALSE(file.Create(dir));
    EXPECT_FALSE(PathExists(dir + "/missing"));
}

TEST(TextFileWriter, FullMediumStopsWritingAndNamesTheSystemError) {
    FullMediumBuffer medium(10);
    RouteTextFilesTo(&medium);
    TextFile file;
    ASSERT_TRUE(file.Create("ignored"));
    file.Line("12345678");
    EXPECT_FALSE(file.Failed());
    file.Line("abc");
    EXPECT_TRUE(file.Failed());
    file.Line("never");
    EXPECT_FALSE(file.Close());
    RouteTextFilesTo(nullptr);
    EXPECT_EQ(medium.Kept(), "12345678\r\n");
    EXPECT_EQ(file.ErrorText(), std::strerror(ENOSPC));
}

// /dev/full accepts the open and fails every write with ENOSPC; the filebuf
// buffers small lines, so the failure shows only when it is flushed.
TEST(TextFileWriter, RealFullDeviceFailsAtFlushOrClose) {
    if (!PathExists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full on this system";
    }
    TextFile file;
    ASSERT_TRUE(file.Create("/dev/full"));
    file.Line("a short line");
    file.Flush();
    EXPECT_TRUE(file.Failed());
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(file.ErrorText(), std::strerror(ENOSPC));
}

} // namespace
