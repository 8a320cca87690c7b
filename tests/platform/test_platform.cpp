// The platform floor on the machine the tests run on: the real processor,
// the real scheduler and the real executable.
#include "classic/clock.hpp"
#include "names/ini_file.hpp"
#include "platform/platform.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <fstream>
#include <string>

#ifndef _WIN32
#include "support/run_binary.hpp"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#endif

namespace {

#ifdef _WIN32
const char kTestBinaryName[] = "veldrix_tests.exe";
#else
const char kTestBinaryName[] = "veldrix_tests";
#endif

bool IsAbsolutePath(const std::string& path) {
#ifdef _WIN32
    // "C:\..." or a UNC path "\\server\...".
    bool drive = path.size() > 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                 path[2] == '\\';
    return drive || path.rfind("\\\\", 0) == 0;
#else
    return !path.empty() && path[0] == '/';
#endif
}

std::string FileNamePart(const std::string& path) {
    size_t last = path.find_last_of("/\\");
    return last == std::string::npos ? path : path.substr(last + 1);
}

void ExpectSamePriority(const SavedPriority& before, const SavedPriority& after) {
    EXPECT_EQ(after.priorityClass, before.priorityClass);
    EXPECT_EQ(after.threadPriority, before.threadPriority);
    EXPECT_EQ(after.threadPolicy, before.threadPolicy);
}

} // namespace

TEST(PlatformPriority, MeasurementRestoresProcessAndThreadPriority) {
    SavedPriority before = ReadPriority();
    (void)MeasureHardwareTicks();
    ExpectSamePriority(before, ReadPriority());
}

TEST(PlatformPriority, RaiseThenRestoreInReverseOrderGivesTheStartingValues) {
    SavedPriority before = ReadPriority();
    RaiseProcessPriority();
    RaiseThreadPriority();
    RestoreThreadPriority(before);
    RestoreProcessPriority(before);
    ExpectSamePriority(before, ReadPriority());
}

#ifndef _WIN32
// Starting from the defaults could not tell a restore from a reset to the
// defaults: start from a weaker nice value and the batch policy instead, which
// any user may choose, and expect exactly those back.
TEST(PlatformPriority, MeasurementRestoresNonDefaultStartingValues) {
    errno = 0;
    int oldNice = getpriority(PRIO_PROCESS, 0);
    ASSERT_EQ(errno, 0);
    int policy = SCHED_OTHER;
    sched_param oldParam{};
    ASSERT_EQ(pthread_getschedparam(pthread_self(), &policy, &oldParam), 0);
    int weaker = oldNice + 5 > 19 ? 19 : oldNice + 5;
    ASSERT_EQ(setpriority(PRIO_PROCESS, 0, weaker), 0);
    sched_param batch{};
    ASSERT_EQ(pthread_setschedparam(pthread_self(), SCHED_BATCH, &batch), 0);

    SavedPriority before = ReadPriority();
    EXPECT_EQ(before.priorityClass, weaker);
    EXPECT_EQ(before.threadPolicy, SCHED_BATCH);
    (void)MeasureHardwareTicks();
    ExpectSamePriority(before, ReadPriority());

    // Put back what an unprivileged process may (a lower nice value needs privilege).
    (void)pthread_setschedparam(pthread_self(), policy, &oldParam);
    (void)setpriority(PRIO_PROCESS, 0, oldNice);
}
#endif

TEST(PlatformExecutable, PathIsAbsoluteAndNamesTheRunningTestBinary) {
    std::string path = ExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(IsAbsolutePath(path)) << path;
    EXPECT_EQ(FileNamePart(path), kTestBinaryName) << path;
    EXPECT_TRUE(std::ifstream(path, std::ios::binary).good()) << "cannot open " << path;
}

#if defined(__i386__) || defined(__x86_64__)
TEST(PlatformProcessor, IdBitTestFindsCpuidOnX86) {
    EXPECT_TRUE(PlatformHasCpuid());
}

TEST(PlatformProcessor, LeafZeroGivesAPrintableVendorAndAMaxLeaf) {
    uint32_t regs[4] = {0, 0, 0, 0};
    PlatformCpuidSubleaf(0, 0, regs);
    EXPECT_GE(regs[0], 1u) << "every processor of this build has leaf 1";
    std::string vendor;
    for (uint32_t reg : {regs[1], regs[3], regs[2]}) {
        for (int shift = 0; shift < 32; shift += 8) {
            vendor.push_back(static_cast<char>((reg >> shift) & 0xFF));
        }
    }
    for (char c : vendor) {
        EXPECT_TRUE(std::isprint(static_cast<unsigned char>(c))) << "vendor bytes: " << vendor;
    }
}

TEST(PlatformProcessor, TimeStampCounterAdvancesAcrossASleep) {
    uint64_t first = ReadTimeStampCounter();
    SleepMilliseconds(10);
    uint64_t second = ReadTimeStampCounter();
    EXPECT_GT(second, first);
}
#endif

TEST(PlatformClock, LocalTimeOfDayFieldsAreInRange) {
    TimeOfDay now = LocalTimeOfDay();
    EXPECT_LT(now.hour, 24);
    EXPECT_LT(now.minute, 60);
    EXPECT_LT(now.second, 61); // a leap second may show as 60
    EXPECT_LT(now.millisecond, 1000);
}

#ifndef _WIN32
// The program as a whole, started from a folder that does not hold the data
// file. VELDRIX_TEST_BINARY can point these runs at another build (a Windows
// .exe under wine, say).
namespace {

std::string DataFileVersion() {
    IniFile ini;
    EXPECT_TRUE(LoadIniFile(VELDRIX_SOURCE_DIR "/data/veldrix.dat", ini));
    return ReadIniValue(ini, "DATInfo", "Version", "");
}

// Each "\n" comes after one "\r", and no "\r" is doubled.
void ExpectCrLfLines(const std::string& output) {
    for (size_t i = 0; i < output.size(); ++i) {
        if (output[i] == '\n') {
            ASSERT_TRUE(i > 0 && output[i - 1] == '\r') << "bare LF at byte " << i;
        }
        if (output[i] == '\r') {
            ASSERT_TRUE(i + 1 < output.size() && output[i + 1] == '\n') << "CR without LF at byte " << i;
        }
    }
}

} // namespace

TEST(PlatformEndToEnd, FindsTheDataFileBesideTheProgramFromAnotherFolder) {
    std::string version = DataFileVersion();
    ASSERT_FALSE(version.empty());
    std::string elsewhere = MakeTempDir("elsewhere");
    BinaryRun run = RunBinary({}, "A\r\n\r\nQ\r\n", elsewhere);
    std::string line = "~ Database Version " + version + "\r\n";
    size_t banner = run.output.find(line);
    ASSERT_NE(banner, std::string::npos) << run.output;
    // The About screen opens the data file again, after the probe closed it.
    EXPECT_NE(run.output.find(line, banner + line.size()), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("~ Thank you for using VELDRIX.\r\n"), std::string::npos);
    EXPECT_EQ(run.status, 0);
}

TEST(PlatformEndToEnd, WritesCrLfLinesAndReadsCrLfInputLikeLfInput) {
    BinaryRun crlf = RunBinary({}, "A\r\n\r\nQ\r\n");
    BinaryRun lf = RunBinary({}, "A\n\nQ\n");
    ASSERT_NE(crlf.output.find("~ Thank you for using VELDRIX.\r\n"), std::string::npos) << crlf.output;
    ExpectCrLfLines(crlf.output);
    EXPECT_EQ(crlf.output, lf.output);
}
#endif
