// Snapshot costs. Not a test: figures vary by machine.
//   - a 2.6 MB collection dump of 768 logical processors (an EPYC 9004 system
//     has that many; no such dump is at hand, so it is made here from the
//     leaf lines of processor 0 of the Raphael (Zen 4) dump in the test data,
//     repeated under 768 "Logical CPU" headers): load time and peak heap;
//   - a 60 MB dump (4096 processors of the same lines, each followed by MSR
//     lines as full reports carry them): load rate;
//   - the full snapshot of this machine.
#include "cpuid/dump_reader.hpp"
#include "cpuid/snapshot_source.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Heap bytes in use and their peak, counted by the replaced operator new.
size_t gHeapInUse = 0;
size_t gHeapPeak = 0;

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The leaf lines of processor 0 of a collection dump, at most maxBytes of them.
std::string FirstProcessorLines(const std::string& path, size_t maxBytes) {
    std::ifstream file(path, std::ios::binary);
    std::string line;
    std::string lines;
    int headers = 0;
    while (std::getline(file, line) && lines.size() < maxBytes) {
        headers += line.find("Logical CPU #") != std::string::npos ? 1 : 0;
        if (headers == 1 && line.rfind("CPUID ", 0) == 0) {
            lines += line + "\n";
        }
    }
    return lines;
}

std::string CollectionDump(const std::string& lines, size_t processors, const std::string& padding) {
    std::string text;
    for (size_t cpu = 0; cpu < processors; ++cpu) {
        text += "------[ CPUID Registers / Logical CPU #" + std::to_string(cpu) + " ]------\r\n\r\n";
        text += lines + padding + "\r\n";
    }
    return text;
}

std::string WriteFile(const std::string& name, const std::string& text) {
    std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path;
}

struct LoadFigures {
    double milliseconds;
    size_t peakHeap;
    size_t processors;
};

LoadFigures TimeLoad(const std::string& path, int rounds) {
    std::vector<double> times;
    size_t peak = 0;
    size_t processors = 0;
    for (int i = 0; i < rounds; ++i) {
        CpuidSnapshot snapshot;
        std::string error;
        size_t base = gHeapInUse;
        gHeapPeak = base;
        Clock::time_point start = Clock::now();
        LoadDumpSnapshot(path, snapshot, error);
        times.push_back(MillisecondsSince(start));
        peak = std::max(peak, gHeapPeak - base);
        processors = snapshot.ProcessorCount();
    }
    return LoadFigures{Median(times), peak, processors};
}

double TimeHardwareSnapshot(int rounds, size_t& processors) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        Clock::time_point start = Clock::now();
        processors = TakeHardwareSnapshot().ProcessorCount();
        times.push_back(MillisecondsSince(start));
    }
    return Median(times);
}

} // namespace

void* operator new(size_t size) {
    void* block = std::malloc(size + 16);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    *static_cast<size_t*>(block) = size;
    gHeapInUse += size;
    gHeapPeak = std::max(gHeapPeak, gHeapInUse);
    return static_cast<char*>(block) + 16;
}

void operator delete(void* pointer) noexcept {
    if (pointer != nullptr) {
        char* block = static_cast<char*>(pointer) - 16;
        gHeapInUse -= *reinterpret_cast<size_t*>(block);
        std::free(block);
    }
}

void operator delete(void* pointer, size_t) noexcept {
    operator delete(pointer);
}

int main() {
    const std::string source =
        VELDRIX_SOURCE_DIR "/tests/data/dumps/AuthenticAMD0A60F12_K19_Raphael_10_CPUID.txt";
    std::string lines = FirstProcessorLines(source, 2600000 / 768 - 60);
    std::string epyc = WriteFile("veldrix_snapshot_bench_768.txt", CollectionDump(lines, 768, ""));
    std::string msr;
    while (msr.size() < 60000000 / 4096 - lines.size() - 60) {
        msr += "MSR 000000" + std::to_string(10 + msr.size() % 80) + ": 0000-0000-FEE0-0900\r\n";
    }
    std::string big = WriteFile("veldrix_snapshot_bench_60mb.txt", CollectionDump(lines, 4096, msr));

    double epycBytes = static_cast<double>(std::filesystem::file_size(epyc));
    double bigBytes = static_cast<double>(std::filesystem::file_size(big));
    LoadFigures small = TimeLoad(epyc, 30);
    LoadFigures large = TimeLoad(big, 5);
    size_t machineCpus = 0;
    double machine = TimeHardwareSnapshot(30, machineCpus);
    std::filesystem::remove(epyc);
    std::filesystem::remove(big);

    std::printf("768-CPU dump (%.2f MB, %zu processors)  : %8.3f ms (budget 20 ms), peak heap %.2f MB "
                "(budget 16 MB)\n",
                epycBytes / 1e6, small.processors, small.milliseconds, small.peakHeap / 1e6);
    std::printf("60 MB dump (%.2f MB, %zu processors)  : %8.3f ms = %.0f MB/s (budget at least 100 MB/s)\n",
                bigBytes / 1e6, large.processors, large.milliseconds,
                bigBytes / 1e6 / (large.milliseconds / 1e3));
    std::printf("full snapshot of this machine (%zu CPUs): %8.3f ms (budget 5 ms)\n", machineCpus, machine);
    bool within = small.milliseconds < 20.0 && small.peakHeap < 16000000 &&
                  bigBytes / 1e6 / (large.milliseconds / 1e3) >= 100.0 && machine < 5.0;
    return within ? 0 : 1;
}
