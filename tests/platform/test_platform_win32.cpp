// Windows only: the real priority calls and the data file found through the
// executable's own path.
#ifdef _WIN32

#include "classic/clock.hpp"
#include "common/text_format.hpp"
#include "names/ini_file.hpp"
#include "names/processor_db.hpp"
#include "platform/platform.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <direct.h>
#include <windows.h>

#include <string>

namespace {

// Starts from priorities that are not the defaults, so that restoring
// "whatever was there" cannot pass by resetting to normal.
class Win32Priority : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS));
        ASSERT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST));
    }
    void TearDown() override {
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
        SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    }
};

} // namespace

TEST_F(Win32Priority, ReadGivesTheWindowsValues) {
    SavedPriority saved = ReadPriority();
    EXPECT_EQ(saved.priorityClass, static_cast<int32_t>(BELOW_NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(saved.threadPriority, THREAD_PRIORITY_LOWEST);
}

TEST_F(Win32Priority, RaiseAsksForRealTimeClassAndTimeCriticalThread) {
    RaiseProcessPriority();
    RaiseThreadPriority();
    DWORD raisedClass = GetPriorityClass(GetCurrentProcess());
    int raisedThread = GetThreadPriority(GetCurrentThread());
    // Without the privilege for real-time, Windows grants the high class.
    EXPECT_TRUE(raisedClass == REALTIME_PRIORITY_CLASS || raisedClass == HIGH_PRIORITY_CLASS)
        << std::hex << raisedClass;
    EXPECT_EQ(raisedThread, THREAD_PRIORITY_TIME_CRITICAL);
}

TEST_F(Win32Priority, MeasurementLeavesClassAndThreadPriorityAsTheyWere) {
    (void)MeasureHardwareTicks();
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(BELOW_NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_LOWEST);
}

TEST(Win32DataFile, IsFoundBesideTheExecutableWhenTheCurrentFolderIsElsewhere) {
    IniFile db;
    IniFile source;
    ASSERT_TRUE(LoadIniFile(VELDRIX_SOURCE_DIR "/data/veldrix.dat", source));
    std::string version = ReadIniValue(source, "DATInfo", "Version", "");
    ASSERT_FALSE(version.empty());

    char* saved = _getcwd(nullptr, 0);
    ASSERT_NE(saved, nullptr);
    std::string home(saved);
    free(saved);
    ASSERT_EQ(_chdir(::testing::TempDir().c_str()), 0) << ::testing::TempDir();

    SetDatabaseLocation("");
    std::string path = DatabasePath();
    db = OpenDatabase();
    std::string found = ReadDatabaseVersion(db);
    CloseDatabase(db);
    ASSERT_EQ(_chdir(home.c_str()), 0);

    EXPECT_EQ(path, PathDirectory(ExecutablePath()) + "veldrix.dat");
    EXPECT_EQ(path.find('/'), std::string::npos) << "a Windows path: " << path;
    EXPECT_EQ(found, version) << path;
}

#endif
