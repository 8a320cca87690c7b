// The processor instructions of the platform floor: the EFLAGS ID-bit test,
// CPUID, XGETBV and RDTSC. The same code serves every operating system.
#include "platform/platform.hpp"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <x86intrin.h>
#define VELDRIX_X86 1
#endif

bool PlatformHasCpuid() {
#if defined(__x86_64__)
    // 64-bit on every x86-64 system (unsigned long is 32-bit on Windows).
    unsigned long long before = 0;
    unsigned long long after = 0;
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

void PlatformCpuidSubleaf(uint32_t leaf, uint32_t subleaf, uint32_t regs[4]) {
#ifdef VELDRIX_X86
    unsigned int a = 0, b = 0, c = 0, d = 0;
    __cpuid_count(leaf, subleaf, a, b, c, d);
    regs[0] = a;
    regs[1] = b;
    regs[2] = c;
    regs[3] = d;
#else
    (void)leaf;
    (void)subleaf;
    regs[0] = regs[1] = regs[2] = regs[3] = 0;
#endif
}

uint64_t PlatformReadXcr0() {
#ifdef VELDRIX_X86
    uint32_t low = 0;
    uint32_t high = 0;
    // XGETBV spelled as bytes, so that no target option is needed for it.
    __asm__ volatile(".byte 0x0f, 0x01, 0xd0" : "=a"(low), "=d"(high) : "c"(0));
    return (static_cast<uint64_t>(high) << 32) | low;
#else
    return 0;
#endif
}

uint64_t ReadTimeStampCounter() {
#ifdef VELDRIX_X86
    return __rdtsc();
#else
    return 0;
#endif
}
