// The processor walk on this machine: one processor per CPU the process may
// run on (Linux: Cpus_allowed_list of /proc/self/status), and the thread's
// affinity the same afterwards, also when the walk is cut short.
#include "cpuid/snapshot_source.hpp"
#include "platform/platform.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef __linux__
#include <sched.h>

namespace {

// "0-3,8,10-11" to the numbers it names.
std::vector<uint32_t> ParseCpuList(const std::string& list) {
    std::vector<uint32_t> cpus;
    std::stringstream parts(list);
    std::string part;
    while (std::getline(parts, part, ',')) {
        size_t dash = part.find('-');
        uint32_t first = static_cast<uint32_t>(std::stoul(part.substr(0, dash)));
        uint32_t last =
            dash == std::string::npos ? first : static_cast<uint32_t>(std::stoul(part.substr(dash + 1)));
        for (uint32_t cpu = first; cpu <= last; ++cpu) {
            cpus.push_back(cpu);
        }
    }
    return cpus;
}

std::vector<uint32_t> AllowedFromProcStatus() {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = "Cpus_allowed_list:";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            std::string list = line.substr(key.size());
            list.erase(0, list.find_first_not_of(" \t"));
            return ParseCpuList(list);
        }
    }
    return {};
}

// The calling thread's affinity as the kernel reports it.
std::vector<uint32_t> ThreadAffinity() {
    cpu_set_t set;
    CPU_ZERO(&set);
    EXPECT_EQ(sched_getaffinity(0, sizeof set, &set), 0);
    std::vector<uint32_t> cpus;
    for (uint32_t cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &set)) {
            cpus.push_back(cpu);
        }
    }
    return cpus;
}

void SetThreadAffinity(const std::vector<uint32_t>& cpus) {
    cpu_set_t set;
    CPU_ZERO(&set);
    for (uint32_t cpu : cpus) {
        CPU_SET(cpu, &set);
    }
    ASSERT_EQ(sched_setaffinity(0, sizeof set, &set), 0);
}

std::vector<uint32_t> OsNumbers(const CpuidSnapshot& snapshot) {
    std::vector<uint32_t> cpus;
    for (const ProcessorLeaves& cpu : snapshot.cpus) {
        cpus.push_back(cpu.osCpu.value_or(~0u));
    }
    return cpus;
}

TEST(HardwareSnapshot, OneProcessorPerAllowedCpuAndTheAffinityKept) {
    std::vector<uint32_t> before = ThreadAffinity();
    CpuidSnapshot snapshot = TakeHardwareSnapshot();
    EXPECT_EQ(ThreadAffinity(), before);
    EXPECT_EQ(OsNumbers(snapshot), AllowedFromProcStatus());
    EXPECT_EQ(PlatformAllowedProcessors(), before);
    EXPECT_FALSE(snapshot.singleProcessorFallback);
    for (const ProcessorLeaves& cpu : snapshot.cpus) {
        EXPECT_TRUE(cpu.leaves.count(LeafKey{0, 0}) != 0);
    }
}

TEST(HardwareSnapshot, ARestrictedThreadVisitsOnlyItsProcessorAndStaysRestricted) {
    std::vector<uint32_t> before = ThreadAffinity();
    std::vector<uint32_t> only = {before.back()};
    SetThreadAffinity(only);
    CpuidSnapshot snapshot = TakeHardwareSnapshot();
    std::vector<uint32_t> after = ThreadAffinity();
    SetThreadAffinity(before);
    EXPECT_EQ(after, only);
    EXPECT_EQ(OsNumbers(snapshot), only);
}

TEST(HardwareSnapshot, AffinityRestoredWhenTheVisitFails) {
    std::vector<uint32_t> before = ThreadAffinity();
    std::vector<uint32_t> visited;
    EXPECT_THROW(PlatformForEachProcessor([&visited](uint32_t cpu) {
                     visited.push_back(cpu);
                     throw std::runtime_error("visit failed");
                 }),
                 std::runtime_error);
    EXPECT_EQ(visited.size(), 1u);
    EXPECT_EQ(ThreadAffinity(), before);
}

} // namespace
#endif
