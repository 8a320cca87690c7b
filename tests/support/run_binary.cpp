#include "support/run_binary.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {

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

std::string ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

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
    std::string command = "rm -rf " + Quote(dir) + " && mkdir -p " + Quote(dir);
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return dir;
}

BinaryRun RunBinary(const std::vector<std::string>& args, const std::string& input,
                    const std::string& workDir, const std::string& binary, int timeoutSeconds) {
    std::string dir = MakeTempDir("io");
    std::string inputPath = dir + "/stdin.txt";
    std::string outputPath = dir + "/stdout.txt";
    {
        std::ofstream file(inputPath, std::ios::binary);
        file << input;
    }
    std::string command;
    if (!workDir.empty()) {
        command += "cd " + Quote(workDir) + " && ";
    }
    command += "timeout " + std::to_string(timeoutSeconds) + " " + Quote(binary);
    for (const std::string& arg : args) {
        command += " " + Quote(arg);
    }
    command += " < " + Quote(inputPath) + " > " + Quote(outputPath);
    int raw = std::system(command.c_str());
    BinaryRun run{ReadWhole(outputPath), -1};
    if (raw != -1 && WIFEXITED(raw)) {
        run.status = WEXITSTATUS(raw);
    }
    return run;
}
