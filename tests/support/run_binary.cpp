#include "support/run_binary.hpp"
#include "common/plain_text.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

#ifndef _WIN32
std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

// The command that starts the program: the override from the environment for
// the default binary, the given binary otherwise.
std::string ProgramCommand(const std::string& binary) {
    const char* override = std::getenv("VELDRIX_TEST_BINARY");
    if (binary == VELDRIX_BINARY && override != nullptr && *override != '\0') {
        return override;
    }
    return Quote(binary);
}

int ExitStatus(int raw) {
    return (raw != -1 && WIFEXITED(raw)) ? WEXITSTATUS(raw) : -1;
}
#endif

} // namespace

std::string MakeTempDir(const std::string& name) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string dir =
        ::testing::TempDir() + "veldrix_" + (info ? std::string(info->name()) : "run") + "_" + name;
    for (char& c : dir) {
        if (c == ' ') {
            c = '_';
        }
    }
    std::error_code error;
    std::filesystem::remove_all(dir, error);
    EXPECT_TRUE(std::filesystem::create_directories(dir, error)) << dir << ": " << error.message();
    return dir;
}

void CopyAsOwnFile(const std::string& from, const std::string& to) {
    std::filesystem::copy_file(from, to);
    std::filesystem::permissions(to, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}

#ifndef _WIN32
namespace {

// The shell command that runs the program in workDir with input from inputPath.
std::string ProgramLine(const std::vector<std::string>& args, const std::string& inputPath,
                        const std::string& workDir, const std::string& binary, int timeoutSeconds) {
    std::string command;
    if (!workDir.empty()) {
        command += "cd " + Quote(workDir) + " && ";
    }
    command += "timeout " + std::to_string(timeoutSeconds) + " " + ProgramCommand(binary);
    for (const std::string& arg : args) {
        command += " " + Quote(arg);
    }
    return command + " < " + Quote(inputPath);
}

std::string WriteInput(const std::string& dir, const std::string& input) {
    std::string inputPath = dir + "/stdin.txt";
    std::ofstream file(inputPath, std::ios::binary);
    file << input;
    return inputPath;
}

} // namespace
#endif

bool ProgramIsWindows() {
    const char* override = std::getenv("VELDRIX_TEST_BINARY");
    return override != nullptr && LowerAscii(override).find(".exe") != std::string::npos;
}

std::string ProgramLineEnd() {
    return ProgramIsWindows() ? "\r\n" : kPlainLineEnd;
}

std::string ProgramCommandLine(const std::vector<std::string>& args) {
#ifdef _WIN32
    (void)args;
    ADD_FAILURE() << "end-to-end tests run from the Linux test binary, not under Windows";
    return std::string();
#else
    std::string command = ProgramCommand(VELDRIX_BINARY);
    for (const std::string& arg : args) {
        command += " " + Quote(arg);
    }
    return command;
#endif
}

BinaryRun RunBinary(const std::vector<std::string>& args, const std::string& input,
                    const std::string& workDir, const std::string& binary, int timeoutSeconds) {
#ifdef _WIN32
    (void)args;
    (void)input;
    (void)workDir;
    (void)binary;
    (void)timeoutSeconds;
    ADD_FAILURE() << "end-to-end tests run from the Linux test binary, not under Windows";
    return BinaryRun{std::string(), -1, std::string()};
#else
    std::string dir = MakeTempDir("io");
    std::string inputPath = WriteInput(dir, input);
    std::string outputPath = dir + "/stdout.txt";
    std::string errorPath = dir + "/stderr.txt";
    std::string command = ProgramLine(args, inputPath, workDir, binary, timeoutSeconds);
    command += " > " + Quote(outputPath) + " 2> " + Quote(errorPath);
    int raw = std::system(command.c_str());
    return BinaryRun{ReadWholeFile(outputPath), ExitStatus(raw), ReadWholeFile(errorPath)};
#endif
}

int RunBinaryIntoClosedPipe(const std::vector<std::string>& args, const std::string& input,
                            int timeoutSeconds) {
#ifdef _WIN32
    (void)args;
    (void)input;
    (void)timeoutSeconds;
    ADD_FAILURE() << "end-to-end tests run from the Linux test binary, not under Windows";
    return -1;
#else
    std::string dir = MakeTempDir("io");
    std::string command = ProgramLine(args, WriteInput(dir, input), "", VELDRIX_BINARY, timeoutSeconds);
    int ends[2];
    if (pipe(ends) != 0) {
        ADD_FAILURE() << "cannot create a pipe";
        return -1;
    }
    close(ends[0]); // no reader: every write to the pipe fails
    pid_t child = fork();
    if (child == 0) {
        dup2(ends[1], STDOUT_FILENO);
        close(ends[1]);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ends[1]);
    int raw = -1;
    if (child < 0 || waitpid(child, &raw, 0) != child) {
        ADD_FAILURE() << "cannot run " << command;
        return -1;
    }
    return ExitStatus(raw);
#endif
}
