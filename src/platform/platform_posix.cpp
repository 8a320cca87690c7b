// POSIX (Linux) implementation of the platform floor.
#include "platform/platform.hpp"

#include <cerrno>
#include <climits>
#include <ctime>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
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
