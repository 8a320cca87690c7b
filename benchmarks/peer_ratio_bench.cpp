// The scripting outputs beside the tools people run for the same facts:
// `veldrix --json` beside `lscpu -J`, `veldrix --list` and `veldrix --check`
// beside `cpuid -1`, and `veldrix -r DUMP --decode` of the 32-thread Raptor
// Lake dump beside `cpuid -f` reading the same dump as --dump writes it. Each pair runs in turn, A B A B ...,
// and the ratio of their processor time (user + system, the kernel's accounting of each finished child) is
// taken pair by pair, so a change in the machine's speed during the run moves both sides. Prints the median
// ratio of each pair; a peer that is not installed is skipped with a message. Not a test: figures vary by
// machine.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kPairs = 40;

struct Pair {
    std::vector<std::string> ours;
    std::vector<std::string> peer;
};

// The first folder of PATH holding an executable of that name, or "".
std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        std::string folder =
            folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return "";
}

// Runs the program with its output thrown away; the child's processor
// seconds, or a negative value when it could not be run or failed. Its peak
// resident memory (KB) goes to peakKb.
double ProcessorSeconds(const std::string& program, const std::vector<std::string>& args, long& peakKb) {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) > 1) {
        return -1;
    }
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    peakKb = usage.ru_maxrss;
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) {
        text += (text.empty() ? "" : " ") + word;
    }
    return text;
}

// The command as the figures name it: its words, a path by its last part.
std::string Label(const std::vector<std::string>& words) {
    std::vector<std::string> shown;
    for (const std::string& word : words) {
        size_t slash = word.rfind('/');
        shown.push_back(slash == std::string::npos ? word : word.substr(slash + 1));
    }
    return Joined(shown);
}

// False when a run failed.
bool RunPair(const Pair& pair) {
    std::string peer = FindOnPath(pair.peer[0]);
    std::printf("%-22s vs %-10s: ", Label(pair.ours).c_str(), Label(pair.peer).c_str());
    if (peer.empty()) {
        std::printf("SKIPPED: %s is not installed\n", pair.peer[0].c_str());
        return true;
    }
    std::vector<std::string> ours = pair.ours;
    ours[0] = VELDRIX_BINARY;
    std::vector<double> ratios, oursSeconds, peerSeconds;
    long oursPeakKb = 0;
    long peerPeakKb = 0;
    for (int i = 0; i < kPairs; ++i) {
        long peakKb = 0;
        double a = ProcessorSeconds(ours[0], ours, peakKb);
        oursPeakKb = std::max(oursPeakKb, peakKb);
        double b = ProcessorSeconds(peer, pair.peer, peakKb);
        peerPeakKb = std::max(peerPeakKb, peakKb);
        if (a < 0 || b < 0) {
            std::printf("FAILED: a run did not end with status 0 or 1\n");
            return false;
        }
        oursSeconds.push_back(a);
        peerSeconds.push_back(b);
        if (b > 0) {
            ratios.push_back(a / b);
        }
    }
    if (ratios.empty()) {
        std::printf("no ratio: the peer's processor time was always 0\n");
        return true;
    }
    std::printf("CPU ratio %.2f (median of %zu pairs; %.2f ms vs %.2f ms; peak %.1f MB vs %.1f MB)\n",
                Median(ratios), ratios.size(), Median(oursSeconds) * 1e3, Median(peerSeconds) * 1e3,
                oursPeakKb / 1024.0, peerPeakKb / 1024.0);
    return true;
}

} // namespace

// The Raptor Lake dump as --dump writes it, for cpuid -f; "" when it could
// not be written.
std::string RaptorLakeCpuidDump(const std::string& dump) {
    std::string path = std::string(VELDRIX_BINARY) + "-peer-bench-raptor.cpuid";
    std::string command = std::string(VELDRIX_BINARY) + " -r '" + dump + "' --dump > " + path;
    return std::system(command.c_str()) == 0 ? path : "";
}

int main() {
    const std::string raptor =
        VELDRIX_SOURCE_DIR "/tests/data/dumps/GenuineIntel00B0671_RaptorLake_01_CPUID.txt";
    const std::string raptorForCpuid = RaptorLakeCpuidDump(raptor);
    const Pair pairs[] = {
        {{"veldrix", "--json"}, {"lscpu", "-J"}},
        {{"veldrix", "--list"}, {"cpuid", "-1"}},
        {{"veldrix", "--check", "v2"}, {"cpuid", "-1"}},
        {{"veldrix", "-r", raptor, "--decode"}, {"cpuid", "-f", raptorForCpuid}},
    };
    bool ok = true;
    for (const Pair& pair : pairs) {
        ok = RunPair(pair) && ok;
    }
    return ok ? 0 : 1;
}
