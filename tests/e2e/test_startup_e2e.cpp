// The real binary on this machine's processor, driven through piped input.
#include "support/run_binary.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string DatabaseVersion() {
    std::string data = ReadWholeFile(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
    size_t at = data.find("Version=");
    size_t end = data.find("\r\n", at);
    return data.substr(at + 8, end - at - 8);
}

} // namespace

TEST(StartupEndToEnd, BannerMenuAboutHelpAndQuit) {
    // About (one Enter), help (four Enters, typed text thrown away), then Q.
    BinaryRun run = RunBinary({}, "A\r\n\r\n?\nI\nQ\n\n\nQ\r\n");
    EXPECT_EQ(run.status, 0);
    const std::string& out = run.output;
    std::string banner =
        "~ VELDRIX - The Processor Detector for Win32 Console\r\n~ Version 1.30 - 31 August 2002\r\n"
        "~ Database Version " +
        DatabaseVersion() + "\r\n";
    EXPECT_EQ(out.rfind(banner, 0), 0u) << out.substr(0, 200);
    EXPECT_EQ(CountOf(out, banner), 2u) << "the About screen repeats the banner";
    EXPECT_EQ(CountOf(out, "\r\nVELDRIX Menu\r\n============\r\n"), 3u);
    EXPECT_EQ(CountOf(out, "  ---- More ----"), 3u);
    EXPECT_EQ(CountOf(out, "\r\n ---- End ----"), 1u) << "About's end";
    EXPECT_EQ(CountOf(out, "\r\n  ---- End ----"), 1u) << "the help's end";
    EXPECT_NE(out.find("\r\n~ Thank you for using VELDRIX.\r\n"), std::string::npos);
    // Every line ends with CR LF: no bare LF anywhere.
    for (size_t at = out.find('\n'); at != std::string::npos; at = out.find('\n', at + 1)) {
        ASSERT_GT(at, 0u);
        ASSERT_EQ(out[at - 1], '\r') << "bare LF at " << at;
    }
}

TEST(StartupEndToEnd, VerboseProbeOnThisProcessor) {
    BinaryRun run = RunBinary({"-v"}, "Q\n");
    EXPECT_EQ(run.status, 0);
    const std::string& out = run.output;
    size_t retrieving = out.find("\r\nRetrieving CPUID..\r\n -> Retrieving VendorID...[done]  ==>  ");
    size_t speed = out.find(" -> Calculating processor speed...[done]  ==>  ");
    size_t done = out.find(" MHz]\r\ndone.\r\n\r\nVELDRIX Menu\r\n");
    ASSERT_NE(retrieving, std::string::npos) << out;
    ASSERT_NE(speed, std::string::npos) << out;
    ASSERT_NE(done, std::string::npos) << out;
    EXPECT_LT(retrieving, speed);
    EXPECT_LT(speed, done);
    EXPECT_NE(out.find(" -> Max. Standard Level : "), std::string::npos);
    EXPECT_NE(out.find(" -> Max. Extended Level : "), std::string::npos);
}

TEST(StartupEndToEnd, WithoutADataFileTheVersionIsUnknown) {
    std::string dir = MakeTempDir("alone");
    std::string copy = dir + "/veldrix";
    std::string command = std::string("cp '") + VELDRIX_BINARY + "' '" + copy + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    BinaryRun run = RunBinary({}, "Q\n", dir, copy);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("\r\n~ Database Version UNKNOWN\r\n"), std::string::npos) << run.output;
}

TEST(StartupEndToEnd, TheDataFileIsFoundBesideTheExecutableFromElsewhere) {
    std::string dir = MakeTempDir("elsewhere");
    BinaryRun run = RunBinary({}, "Q\n", dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("~ Database Version " + DatabaseVersion() + "\r\n"), std::string::npos);
}

TEST(StartupEndToEnd, EndOfInputAtTheMenuQuits) {
    BinaryRun run = RunBinary({}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("~ Thank you for using VELDRIX.\r\n"), std::string::npos);
}

TEST(StartupEndToEnd, AReaderThatGoesAwayEndsTheProgramWithoutASignal) {
    const char* override = std::getenv("VELDRIX_TEST_BINARY");
    if (override != nullptr && *override != '\0') {
        GTEST_SKIP() << "a reader that closes the pipe is a matter of the POSIX build";
    }
    // The first failed write ends the menu as the end of input does, and the
    // status says that the output was lost.
    struct Case {
        const char* name;
        std::vector<std::string> args;
        const char* input;
    } cases[] = {
        {"menu and quit", {}, "Q\n"},
        {"help and about", {}, "?\n\n\n\n\nA\n\nQ\n"},
        {"verbose probe", {"-v"}, "Q\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunBinaryIntoClosedPipe(c.args, c.input), 74) << c.name;
    }
}
