// POSIX (Linux) implementation of the platform floor.
#include "platform/platform.hpp"

#include <cerrno>
#include <climits>
#include <ctime>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

void SleepMilliseconds(uint32_t milliseconds) {
    timespec request{static_cast<time_t>(milliseconds / 1000),
                     static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&request, &request) != 0 && errno == EINTR) {
    }
}

TimeOfDay LocalTimeOfDay() {
    timeval now{};
    gettimeofday(&now, nullptr);
    time_t seconds = now.tv_sec;
    tm local{};
    localtime_r(&seconds, &local);
    return TimeOfDay{static_cast<uint16_t>(local.tm_hour), static_cast<uint16_t>(local.tm_min),
                     static_cast<uint16_t>(local.tm_sec), static_cast<uint16_t>(now.tv_usec / 1000)};
}

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) {
        return std::string();
    }
    return std::string(buffer, static_cast<size_t>(length));
}

std::optional<FileIdentity> PlatformFileIdentity(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino)};
}

SavedPriority ReadPriority() {
    SavedPriority saved{};
    errno = 0;
    int nice = getpriority(PRIO_PROCESS, 0);
    saved.priorityClass = (errno == 0) ? nice : 0;
    sched_param param{};
    int policy = SCHED_OTHER;
    if (pthread_getschedparam(pthread_self(), &policy, &param) == 0) {
        saved.threadPolicy = policy;
        saved.threadPriority = param.sched_priority;
    }
    return saved;
}

void RaiseProcessPriority() {
    (void)setpriority(PRIO_PROCESS, 0, -20);
}

void RaiseThreadPriority() {
    sched_param param{};
    param.sched_priority = sched_get_priority_max(SCHED_FIFO);
    (void)pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

void RestoreThreadPriority(const SavedPriority& saved) {
    sched_param param{};
    param.sched_priority = saved.threadPriority;
    (void)pthread_setschedparam(pthread_self(), saved.threadPolicy, &param);
}

void RestoreProcessPriority(const SavedPriority& saved) {
    (void)setpriority(PRIO_PROCESS, 0, saved.priorityClass);
}

bool StandardOutputIsTerminal() {
    return isatty(STDOUT_FILENO) == 1;
}

void PrepareConsole() {
    // POSIX streams never translate line ends. A reader that goes away (the
    // program piped into "head") must not kill the program: a write to it then
    // fails like any other console write, which is ignored.
    (void)signal(SIGPIPE, SIG_IGN);
}

namespace {

// An affinity mask as the kernel lays it out: bit n of the words is
// processor n.
using CpuMask = std::vector<unsigned long>;
constexpr size_t kBitsPerWord = 8 * sizeof(unsigned long);

#ifdef __linux__
// The calling thread's mask, grown until it holds every processor number the
// kernel knows (it refuses a mask shorter than its own with EINVAL).
bool ReadAffinity(CpuMask& mask) {
    for (size_t words = 1024 / kBitsPerWord; words <= (1u << 22) / kBitsPerWord; words *= 2) {
        mask.assign(words, 0);
        if (sched_getaffinity(0, words * sizeof(unsigned long), reinterpret_cast<cpu_set_t*>(mask.data())) ==
            0) {
            return true;
        }
        if (errno != EINVAL) {
            return false;
        }
    }
    return false;
}

bool WriteAffinity(const CpuMask& mask) {
    return sched_setaffinity(0, mask.size() * sizeof(unsigned long),
                             reinterpret_cast<const cpu_set_t*>(mask.data())) == 0;
}
#else
bool ReadAffinity(CpuMask&) {
    return false;
}

bool WriteAffinity(const CpuMask&) {
    return false;
}
#endif

std::vector<uint32_t> MaskProcessors(const CpuMask& mask) {
    std::vector<uint32_t> cpus;
    for (size_t cpu = 0; cpu < mask.size() * kBitsPerWord; ++cpu) {
        if ((mask[cpu / kBitsPerWord] >> (cpu % kBitsPerWord)) & 1ul) {
            cpus.push_back(static_cast<uint32_t>(cpu));
        }
    }
    return cpus;
}

// Puts the saved mask back when it goes out of scope, however that happens.
class AffinityRestorer {
  public:
    explicit AffinityRestorer(const CpuMask& saved) : saved_(saved) {}
    ~AffinityRestorer() { (void)WriteAffinity(saved_); }
    AffinityRestorer(const AffinityRestorer&) = delete;
    AffinityRestorer& operator=(const AffinityRestorer&) = delete;

  private:
    const CpuMask& saved_;
};

} // namespace

std::vector<uint32_t> PlatformAllowedProcessors() {
    CpuMask mask;
    return ReadAffinity(mask) ? MaskProcessors(mask) : std::vector<uint32_t>();
}

bool PlatformForEachProcessor(const std::function<void(uint32_t osCpu)>& visit) {
    CpuMask saved;
    if (!ReadAffinity(saved)) {
        return false;
    }
    AffinityRestorer restorer(saved);
    bool pinnedAny = false;
    for (uint32_t cpu : MaskProcessors(saved)) {
        CpuMask single(saved.size(), 0);
        single[cpu / kBitsPerWord] = 1ul << (cpu % kBitsPerWord);
        if (!WriteAffinity(single)) {
            continue;
        }
        pinnedAny = true;
        visit(cpu);
    }
    return pinnedAny;
}
