// The real binary writing its report and capture files in a scratch folder,
// on this machine's processor.
#include "reports/report_support.hpp"
#include "support/run_binary.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <set>
#include <unistd.h>

namespace {

std::set<std::string> FilesIn(const std::string& dir) {
    std::set<std::string> names;
    if (DIR* folder = opendir(dir.c_str())) {
        while (dirent* entry = readdir(folder)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.insert(name);
            }
        }
        closedir(folder);
    }
    return names;
}

const char kQuitLines[] = "~ Thank you for using VELDRIX.\r\n~ Know your processor, know your machine.\r\n";

TEST(ReportsEndToEnd, CaptureOptionWritesTheFileAndQuits) {
    std::string dir = MakeTempDir("capture");
    BinaryRun run = RunBinary({"-c"}, "mine\n", dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(EndsWith(run.output, " ==> Enter the captured text file name to be generated (*.txt) : \r\n" +
                                         std::string(kQuitLines)))
        << run.output;
    std::string file = ReadWholeFile(dir + "/mine.txt");
    EXPECT_EQ(file.rfind(" ====================================================\r\n", 0), 0u);
    EXPECT_NE(file.find(" Standard Level\r\n --------------\r\n\r\n -> EAX : 00000000\r\n"),
              std::string::npos);
    EXPECT_TRUE(
        EndsWith(file, " >> End Of File\r\n ====================================================\r\n"));
}

TEST(ReportsEndToEnd, KeyRWritesAPageAndTheMenuGoesOn) {
    std::string dir = MakeTempDir("report");
    BinaryRun run = RunBinary({}, "R\nsystem\nR\nsecond.html\nQ\n", dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(FilesIn(dir), (std::set<std::string>{"second.html", "system.html"}));
    std::string page = ReadWholeFile(dir + "/system.html");
    EXPECT_EQ(page.rfind("<html>\r\n <head>\r\n", 0), 0u);
    EXPECT_NE(page.find("<td colspan=3 class=title>Benchmark Result</td>"), std::string::npos);
    EXPECT_TRUE(EndsWith(page, " </body>\r\n</html>\r\n"));
    EXPECT_EQ(ReadWholeFile(dir + "/second.html"), page);
    EXPECT_TRUE(EndsWith(run.output, kQuitLines));
}

TEST(ReportsEndToEnd, EndOfInputAtEitherPromptLeavesNoFile) {
    std::string reportDir = MakeTempDir("report_eof");
    BinaryRun report = RunBinary({}, "R\n", reportDir);
    EXPECT_EQ(report.status, 0);
    EXPECT_TRUE(FilesIn(reportDir).empty());

    std::string captureDir = MakeTempDir("capture_eof");
    BinaryRun capture = RunBinary({"-c"}, "", captureDir);
    EXPECT_EQ(capture.status, 1);
    EXPECT_TRUE(FilesIn(captureDir).empty());
    EXPECT_TRUE(
        EndsWith(capture.output, "*** Error generating RAW file ***\r\n\r\n" + std::string(kQuitLines)));
}

// The system would end the name at the NUL and create "abc" without an
// extension, possibly over an unrelated file: nothing is created instead.
TEST(ReportsEndToEnd, ANulByteInTheTypedNameCreatesNoFile) {
    std::string reportDir = MakeTempDir("report_nul");
    BinaryRun report = RunBinary({}, std::string("R\nabc\0def\nQ\n", 12), reportDir);
    EXPECT_EQ(report.status, 0);
    EXPECT_TRUE(FilesIn(reportDir).empty());
    EXPECT_TRUE(EndsWith(report.output, kQuitLines));

    std::string captureDir = MakeTempDir("capture_nul");
    BinaryRun capture = RunBinary({"-c"}, std::string("xyz\0.txt\n", 9), captureDir);
    EXPECT_EQ(capture.status, 1);
    EXPECT_TRUE(FilesIn(captureDir).empty());
    EXPECT_TRUE(
        EndsWith(capture.output, "*** Error generating RAW file ***\r\n\r\n" + std::string(kQuitLines)));
}

// /dev/full opens like any file and fails every write with ENOSPC: a disk
// that is full from the first byte on. A device cannot be replaced, so it is
// written through the links as it stands.
TEST(ReportsEndToEnd, FullDiskIsReportedAndTheProgramEndsNormally) {
    if (!PathExists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full on this system";
    }
    std::string dir = MakeTempDir("full");
    ASSERT_EQ(symlink("/dev/full", (dir + "/full.html").c_str()), 0);
    ASSERT_EQ(symlink("/dev/full", (dir + "/full.txt").c_str()), 0);

    BinaryRun report = RunBinary({}, "R\nfull\nA\n\nQ\n", dir);
    EXPECT_EQ(report.status, 0);
    std::string message =
        "*** Error writing HTML report full.html: " + std::string(std::strerror(ENOSPC)) + " ***\r\n";
    size_t at = report.output.find(message);
    ASSERT_NE(at, std::string::npos) << report.output;
    // The menu comes back and the next key still works.
    EXPECT_NE(report.output.find("VELDRIX Menu", at), std::string::npos);
    EXPECT_NE(report.output.find("About : ", at), std::string::npos);
    EXPECT_TRUE(EndsWith(report.output, kQuitLines));

    BinaryRun capture = RunBinary({"-c"}, "full\n", dir);
    EXPECT_EQ(capture.status, 1);
    EXPECT_TRUE(
        EndsWith(capture.output, "*** Error generating RAW file ***\r\n\r\n" + std::string(kQuitLines)))
        << capture.output;
    // The links the user named stay links, and nothing else was left.
    EXPECT_EQ(FilesIn(dir), (std::set<std::string>{"full.html", "full.txt"}));
    for (const char* name : {"/full.html", "/full.txt"}) {
        EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(dir + name))) << name;
    }
}

} // namespace
