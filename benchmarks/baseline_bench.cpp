// --baseline over a generated fleet: 1,000 and 10,000 dump files copied
// round-robin from tests/data/dumps into a scratch folder, each run through
// the real program. Prints the wall time and the program's peak memory for
// both sizes; the memory must not grow with the number of dumps, because
// each dump is read, reduced to its feature bits and dropped. Not a test:
// figures vary by machine.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::vector<fs::path> SharedDumps() {
    std::vector<fs::path> dumps;
    for (const auto& entry : fs::directory_iterator(VELDRIX_SOURCE_DIR "/tests/data/dumps")) {
        dumps.push_back(entry.path());
    }
    std::sort(dumps.begin(), dumps.end());
    return dumps;
}

fs::path MakeFleet(size_t count) {
    fs::path folder = fs::temp_directory_path() /
                      ("veldrix-fleet-" + std::to_string(getpid()) + "-" + std::to_string(count));
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::vector<fs::path> dumps = SharedDumps();
    for (size_t i = 0; i < count; ++i) {
        const fs::path& dump = dumps[i % dumps.size()];
        fs::copy_file(dump, folder / (std::to_string(i) + "-" + dump.filename().string()));
    }
    return folder;
}

// Runs "veldrix --baseline folder" with its output thrown away; wall seconds
// and the child's peak resident memory in MB.
bool RunBaseline(const fs::path& folder, double& seconds, double& peakMb) {
    std::fflush(stdout);
    Clock::time_point start = Clock::now();
    pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execl(VELDRIX_BINARY, "veldrix", "--baseline", folder.c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) {
        return false;
    }
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
    peakMb = usage.ru_maxrss / 1024.0;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main() {
    int failed = 0;
    double smallFleetMb = 0;
    for (size_t count : {size_t(1000), size_t(10000)}) {
        fs::path folder = MakeFleet(count);
        double seconds = 0;
        double peakMb = 0;
        bool ran = RunBaseline(folder, seconds, peakMb);
        std::printf("--baseline over %5zu dumps: %6.2f s wall, peak memory %6.1f MB%s\n", count, seconds,
                    peakMb, ran ? "" : "  (the program failed)");
        failed |= ran ? 0 : 1;
        fs::remove_all(folder);
        // Ten times the dumps may cost a little allocator noise, never a
        // share per dump: more than a tenth more memory means something is
        // kept per machine.
        if (smallFleetMb > 0 && peakMb > smallFleetMb * 1.1) {
            std::printf("memory grew with the number of dumps: %.1f MB -> %.1f MB\n", smallFleetMb, peakMb);
            failed = 1;
        }
        smallFleetMb = peakMb;
    }
    return failed;
}
