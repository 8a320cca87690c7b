// POSIX (Linux) implementation of the platform floor.
#include "platform/platform.hpp"

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <fcntl.h>
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

bool StandardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

void PrepareConsole() {
    // POSIX streams never translate line ends. A reader that goes away (the
    // program piped into "head") or a file-size limit must not kill the
    // program: the write then fails with EPIPE or EFBIG like any other.
    (void)signal(SIGPIPE, SIG_IGN);
    (void)signal(SIGXFSZ, SIG_IGN);
}

namespace {

// Writes every byte to the descriptor; false with errno set when a write fails.
bool WriteAll(int descriptor, const char* data, size_t size) {
    while (size > 0) {
        ssize_t written = write(descriptor, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = EIO;
            }
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// The target of the link at path, relative targets taken from the link's
// folder; empty with errno set when it cannot be read.
std::string LinkTarget(const std::string& path) {
    std::string target(PATH_MAX, '\0');
    ssize_t length = readlink(path.c_str(), &target[0], target.size());
    if (length < 0 || static_cast<size_t>(length) >= target.size()) {
        if (length >= 0) {
            errno = ENAMETOOLONG;
        }
        return std::string();
    }
    target.resize(static_cast<size_t>(length));
    size_t slash = path.rfind('/');
    if (target[0] != '/' && slash != std::string::npos) {
        target.insert(0, path, 0, slash + 1);
    }
    return target;
}

// Where a file written under path lands: path itself, or the end of the
// chain of links it starts (a file that need not exist yet). False with
// errno set for a chain that cannot be read or never ends.
bool FinalPath(const std::string& path, std::string& final) {
    final = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat status {};
        if (lstat(final.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return true;
        }
        final = LinkTarget(final);
        if (final.empty()) {
            return false;
        }
    }
    errno = ELOOP;
    return false;
}

// The folder part of path with its trailing slash; empty for a bare name.
std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

bool PlatformWriteStandardOutput(const char* data, size_t size, std::string& reason) {
    if (WriteAll(STDOUT_FILENO, data, size)) {
        return true;
    }
    reason = std::strerror(errno);
    return false;
}

bool PlatformFileReadOnly(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

PlatformFileWriter::~PlatformFileWriter() {
    Abandon();
}

bool PlatformFileWriter::Open(const std::string& path) {
    Abandon();
    failure_.clear();
    if (!FinalPath(path, target_)) {
        return Fail();
    }
    struct stat status {};
    if (stat(target_.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) {
            errno = EISDIR;
            return Fail();
        }
        if (!S_ISREG(status.st_mode)) {
            // A device or a pipe cannot be replaced; it is written as it stands.
            descriptor_ = open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
            return descriptor_ >= 0 || Fail();
        }
        if (access(target_.c_str(), W_OK) != 0) {
            return Fail();
        }
    }
    std::string stem = FolderOf(target_) + ".veldrix-" + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temporary = stem + std::to_string(attempt) + ".tmp";
        descriptor_ = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor_ >= 0) {
            temporary_ = temporary;
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return Fail();
}

bool PlatformFileWriter::Write(const char* data, size_t size) {
    return (descriptor_ >= 0 && WriteAll(descriptor_, data, size)) || Fail();
}

bool PlatformFileWriter::Commit() {
    if (descriptor_ < 0) {
        return false;
    }
    bool written = temporary_.empty() || fsync(descriptor_) == 0;
    // A failed close may mean a write that was deferred failed.
    written = close(descriptor_) == 0 && written;
    descriptor_ = -1;
    if (!written || (!temporary_.empty() && rename(temporary_.c_str(), target_.c_str()) != 0)) {
        return Fail();
    }
    temporary_.clear();
    return true;
}

void PlatformFileWriter::Abandon() {
    if (descriptor_ >= 0) {
        (void)close(descriptor_);
        descriptor_ = -1;
    }
    if (!temporary_.empty()) {
        (void)unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool PlatformFileWriter::Fail() {
    failure_ = std::strerror(errno);
    Abandon();
    return false;
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
