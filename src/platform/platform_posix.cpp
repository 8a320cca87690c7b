// POSIX (Linux) implementation of the platform floor.
#include "platform/platform.hpp"

#include <cerrno>
#include <climits>
#include <ctime>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <unistd.h>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <x86intrin.h>
#define VELDRIX_X86 1
#endif

bool PlatformHasCpuid() {
#if defined(__x86_64__)
    unsigned long before = 0;
    unsigned long after = 0;
    // Step over the red zone before pushing, so no compiler data below the
    // stack pointer is overwritten.
    __asm__ volatile("subq $128, %%rsp\n\t"
                     "pushfq\n\t"
                     "popq %0\n\t"
                     "movq %0, %1\n\t"
                     "xorq $0x200000, %1\n\t"
                     "pushq %1\n\t"
                     "popfq\n\t"
                     "pushfq\n\t"
                     "popq %1\n\t"
                     "pushq %0\n\t"
                     "popfq\n\t"
                     "addq $128, %%rsp\n\t"
                     : "=&r"(before), "=&r"(after)
                     :
                     : "cc");
    return ((before ^ after) & 0x200000UL) != 0;
#elif defined(__i386__)
    unsigned long before = 0;
    unsigned long after = 0;
    __asm__ volatile("pushfl\n\t"
                     "popl %0\n\t"
                     "movl %0, %1\n\t"
                     "xorl $0x200000, %1\n\t"
                     "pushl %1\n\t"
                     "popfl\n\t"
                     "pushfl\n\t"
                     "popl %1\n\t"
                     "pushl %0\n\t"
                     "popfl\n\t"
                     : "=&r"(before), "=&r"(after)
                     :
                     : "cc");
    return ((before ^ after) & 0x200000UL) != 0;
#else
    return false;
#endif
}

void PlatformCpuid(uint32_t leaf, uint32_t regs[4]) {
#ifdef VELDRIX_X86
    unsigned int a = 0, b = 0, c = 0, d = 0;
    __cpuid_count(leaf, 0, a, b, c, d);
    regs[0] = a;
    regs[1] = b;
    regs[2] = c;
    regs[3] = d;
#else
    (void)leaf;
    regs[0] = regs[1] = regs[2] = regs[3] = 0;
#endif
}

uint64_t ReadTimeStampCounter() {
#ifdef VELDRIX_X86
    return __rdtsc();
#else
    return 0;
#endif
}

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

void PrepareConsole() {
    // POSIX streams never translate line ends.
}
