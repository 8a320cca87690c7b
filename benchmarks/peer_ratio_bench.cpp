// The scripting outputs beside the tools people run for the same facts:
// `veldrix --json` beside `lscpu -J`, `veldrix --list` and `veldrix --check`
// beside `cpuid -1`. Each pair runs in turn, A B A B ..., and the ratio of
// their processor time (user + system, the kernel's accounting of each
// finished child) is taken pair by pair, so a change in the machine's speed
// during the run moves both sides. Prints the median ratio of each pair; a
// peer that is not installed is skipped with a message. Not a test: figures
// vary by machine.
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
// seconds, or a negative value when it could not be run or failed.
double ProcessorSeconds(const std::string& program, const std::vector<std::string>& args) {
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

// False when a run failed.
bool RunPair(const Pair& pair) {
    std::string peer = FindOnPath(pair.peer[0]);
    std::printf("%-22s vs %-10s: ", Joined(pair.ours).c_str(), Joined(pair.peer).c_str());
    if (peer.empty()) {
        std::printf("SKIPPED: %s is not installed\n", pair.peer[0].c_str());
        return true;
    }
    std::vector<std::string> ours = pair.ours;
    ours[0] = VELDRIX_BINARY;
    std::vector<double> ratios, oursSeconds, peerSeconds;
    for (int i = 0; i < kPairs; ++i) {
        double a = ProcessorSeconds(ours[0], ours);
        double b = ProcessorSeconds(peer, pair.peer);
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
    std::printf("CPU ratio %.2f (median of %zu pairs; %.2f ms vs %.2f ms)\n", Median(ratios), ratios.size(),
                Median(oursSeconds) * 1e3, Median(peerSeconds) * 1e3);
    return true;
}

} // namespace

int main() {
    const Pair pairs[] = {
        {{"veldrix", "--json"}, {"lscpu", "-J"}},
        {{"veldrix", "--list"}, {"cpuid", "-1"}},
        {{"veldrix", "--check", "v2"}, {"cpuid", "-1"}},
    };
    bool ok = true;
    for (const Pair& pair : pairs) {
        ok = RunPair(pair) && ok;
    }
    return ok ? 0 : 1;
}
