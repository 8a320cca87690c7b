// Win32 implementation of the platform floor (32- and 64-bit Windows).
#include "platform/platform.hpp"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <vector>
#include <windows.h>

// winnt.h defines a macro of this name; the platform function takes its place.
#undef ReadTimeStampCounter

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <x86intrin.h>
#define VELDRIX_X86 1
#endif

bool PlatformHasCpuid() {
#if defined(__x86_64__)
    unsigned long long before = 0;
    unsigned long long after = 0;
    // Win64 has no red zone, but stepping over 128 bytes keeps this block
    // identical to the POSIX one and costs nothing.
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
    return ((before ^ after) & 0x200000ULL) != 0;
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
    Sleep(milliseconds);
}

TimeOfDay LocalTimeOfDay() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return TimeOfDay{now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

std::string ExecutablePath() {
    // GetModuleFileNameA truncates silently when the buffer is too small, so
    // grow the buffer until the whole path fits.
    std::vector<char> buffer(MAX_PATH);
    while (buffer.size() <= 32768) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length == 0) {
            return std::string();
        }
        if (length < size) {
            return std::string(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
    return std::string();
}

SavedPriority ReadPriority() {
    SavedPriority saved{};
    saved.priorityClass = static_cast<int32_t>(GetPriorityClass(GetCurrentProcess()));
    saved.threadPriority = GetThreadPriority(GetCurrentThread());
    return saved;
}

void RaiseProcessPriority() {
    (void)SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
}

void RaiseThreadPriority() {
    (void)SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

void RestoreThreadPriority(const SavedPriority& saved) {
    // A priority that could not be read is not written back.
    if (saved.threadPriority != THREAD_PRIORITY_ERROR_RETURN) {
        (void)SetThreadPriority(GetCurrentThread(), saved.threadPriority);
    }
}

void RestoreProcessPriority(const SavedPriority& saved) {
    if (saved.priorityClass != 0) {
        (void)SetPriorityClass(GetCurrentProcess(), static_cast<DWORD>(saved.priorityClass));
    }
}

void PrepareConsole() {
    // Text mode would turn each "\r\n" written into "\r\r\n" and hide the CR
    // of piped input; every line end is written and read explicitly instead.
    (void)_setmode(_fileno(stdin), _O_BINARY);
    (void)_setmode(_fileno(stdout), _O_BINARY);
}
