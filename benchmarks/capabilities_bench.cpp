// Cost of --json: in-process (snapshot, data file, decoding, writing) on this
// machine and on the largest real dump, and the whole program started as a
// process. Also reports peak memory. Not a test: figures vary by machine.
#include "app/command_line.hpp"
#include "names/processor_db.hpp"

#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double InProcess(const std::vector<std::string>& args, int rounds) {
    Clock::time_point start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        std::ostringstream out;
        std::ostringstream err;
        RunCommandLine(args, out, err);
    }
    return MillisecondsSince(start) / rounds;
}

double AsProcess(const std::string& command, int rounds) {
    Clock::time_point start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        if (std::system((command + " >/dev/null").c_str()) != 0) {
            std::printf("failed: %s\n", command.c_str());
        }
    }
    return MillisecondsSince(start) / rounds;
}

} // namespace

int main(int argc, char** argv) {
    const std::string dump = argc > 1 ? argv[1]
                                      : VELDRIX_SOURCE_DIR
                                 "/tests/data/dumps/GenuineIntel00B0671_RaptorLake_01_CPUID.txt";
    const std::string program = VELDRIX_BINARY;
    SetDatabaseLocation(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
    std::printf("--json in process, this machine : %8.3f ms\n", InProcess({"--json"}, 100));
    std::printf("--json in process, dump         : %8.3f ms (%s)\n", InProcess({"-r", dump, "--json"}, 100),
                dump.c_str());
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    std::printf("peak memory of this benchmark   : %8.1f MB\n", self.ru_maxrss / 1024.0);
    std::printf("veldrix --json as a process     : %8.3f ms (budget 20 ms)\n",
                AsProcess(program + " --json", 20));
    std::printf("veldrix -r DUMP --json, process : %8.3f ms\n",
                AsProcess(program + " -r " + dump + " --json", 20));
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    std::printf("peak memory of the program      : %8.1f MB (budget 16 MB)\n", children.ru_maxrss / 1024.0);
    return 0;
}
