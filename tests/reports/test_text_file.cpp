// The report file writer: name rules, CR LF line ends, and failures of the
// medium surfacing instead of being lost.
#include "classic/text_file.hpp"
#include "reports/report_support.hpp"
#include "support/run_binary.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#ifndef _WIN32
#include <sys/resource.h>
#endif

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

// /dev/full accepts the open and fails every write with ENOSPC; the writer
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
    EXPECT_TRUE(PathExists("/dev/full")) << "a failed device is never removed";
}

#ifndef _WIN32
// A failed write through a link to the full device: the device is written
// as it stands (it cannot be replaced), and the link the user named stays.
TEST(TextFileWriter, FailedWriteThroughALinkLeavesTheLinkAndTheDevice) {
    std::string link = MakeTempDir("link") + "/report.html";
    std::filesystem::create_symlink("/dev/full", link);
    TextFile file;
    ASSERT_TRUE(file.Create(link));
    file.Line("a line the device refuses");
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(file.ErrorText(), std::strerror(ENOSPC));
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(link)));
    EXPECT_TRUE(PathExists("/dev/full"));
}

// A file-size limit makes a real file on disk fail part-way, as a full disk
// does: the earlier file of that name stays whole, and no temporary file
// stays beside it.
TEST(TextFileWriter, AFileCutShortLeavesTheEarlierFileWhole) {
    std::string dir = MakeTempDir("limit");
    std::string path = dir + "/report.html";
    std::ofstream(path, std::ios::binary) << "the earlier report\r\n";
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead
    rlimit small = saved;
    small.rlim_cur = 8192;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    TextFile file;
    bool created = file.Create(path);
    for (int i = 0; created && i < 2000; ++i) {
        file.Line("<tr><td>a row of a long report</td></tr>");
    }
    bool closed = file.Close();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    ASSERT_TRUE(created);
    EXPECT_FALSE(closed);
    EXPECT_EQ(file.ErrorText(), std::strerror(EFBIG));
    EXPECT_EQ(ReadWholeFile(path), "the earlier report\r\n");
    auto entries = std::filesystem::directory_iterator(dir);
    EXPECT_EQ(std::distance(begin(entries), end(entries)), 1) << "a temporary file stayed behind";
}

// Names under which the replayed dump stands; each must be refused and leave
// the dump as it was.
struct ProtectedName {
    const char* rule;
    std::string (*make)(const std::string& dir);
};

const ProtectedName kProtectedNames[] = {
    {"the same name", [](const std::string& dir) { return dir + "/cap.txt"; }},
    {"another spelling of the path", [](const std::string& dir) { return dir + "/./sub/../cap.txt"; }},
    {"a link to the dump",
     [](const std::string& dir) {
         std::filesystem::create_symlink(dir + "/cap.txt", dir + "/link.txt");
         return dir + "/link.txt";
     }},
    {"a second name of the same file",
     [](const std::string& dir) {
         std::filesystem::create_hard_link(dir + "/cap.txt", dir + "/hard.txt");
         return dir + "/hard.txt";
     }},
};

TEST(TextFileWriter, TheProtectedFileIsNeverReplaced) {
    for (const ProtectedName& row : kProtectedNames) {
        std::string dir = MakeTempDir("protected");
        std::filesystem::create_directory(dir + "/sub");
        std::ofstream(dir + "/cap.txt", std::ios::binary) << "the only copy\r\n";
        ProtectFromReplacing(OwnFile::ReplayedDump, dir + "/cap.txt");
        TextFile file;
        EXPECT_FALSE(file.Create(row.make(dir))) << row.rule;
        EXPECT_EQ(file.ErrorText(), "it is the dump being replayed") << row.rule;
        EXPECT_EQ(ReadWholeFile(dir + "/cap.txt"), "the only copy\r\n") << row.rule;
        EXPECT_TRUE(file.Create(dir + "/other.txt")) << row.rule << ": other names stay free";
        EXPECT_TRUE(file.Close());
        ProtectFromReplacing(OwnFile::ReplayedDump, "");
        EXPECT_TRUE(file.Create(dir + "/cap.txt")) << row.rule << ": protection lifted";
        EXPECT_TRUE(file.Close());
    }
}
#endif

} // namespace
