// Replay cost: reading and indexing a 2.6 MB report of many logical
// processors (generated here, in the report layout with sub-leaf and ASCII
// tags, MSR lines and headers), and a whole replayed start-up of that dump up
// to the first menu prompt. Not a test: figures vary by machine.
#include "app/program.hpp"
#include "classic/record.hpp"
#include "common/text_format.hpp"
#include "console/console_io.hpp"
#include "cpuid/dump_reader.hpp"
#include "cpuid/snapshot_source.hpp"
#include "names/processor_db.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kReportBytes = 2600000;
constexpr int kRounds = 30;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string LeafLine(uint32_t leaf, uint32_t seed, const std::string& tag) {
    return "CPUID " + DwordToHex(leaf) + ": " + DwordToHex(seed * 2654435761u) + "-" +
           DwordToHex(seed ^ 0x5A5A5A5Au) + "-" + DwordToHex(seed * 40503u) + "-" + DwordToHex(~seed) + tag +
           "\r\n";
}

// One logical processor's section: standard leaves with sub-leaves,
// extended leaves with brand tags, and a few MSR lines.
std::string LogicalCpuSection(int cpu) {
    std::string text = "------[ Logical CPU #" + Decimal(cpu) + " ]------\r\n\r\n";
    text +=
        "allcpu: Package 0 / Core " + Decimal(cpu / 2) + " / Thread " + Decimal(cpu % 2) + ": Valid\r\n\r\n";
    text += "CPUID 00000000: 00000020-756E6547-6C65746E-49656E69 [GenuineIntel]\r\n";
    for (uint32_t leaf = 1; leaf <= 0x20; ++leaf) {
        for (uint32_t sub = 0; sub < (leaf == 4 || leaf == 0xB || leaf == 0xD ? 4u : 1u); ++sub) {
            text += LeafLine(leaf, leaf * 977u + sub + static_cast<uint32_t>(cpu),
                             " [SL " + ByteToHex(sub) + "]");
        }
    }
    for (uint32_t leaf = 0x80000000u; leaf <= 0x80000008u; ++leaf) {
        text += LeafLine(leaf, leaf + static_cast<uint32_t>(cpu), " [Synthetic Core(TM)]");
    }
    for (uint32_t msr = 0x10; msr < 0x18; ++msr) {
        text += "MSR " + DwordToHex(msr) + ": 0000-0000-FEE0-0900\r\n";
    }
    return text + "\r\n";
}

std::string MultiCpuReport() {
    std::string text = "------[ Versions ]------\r\n\r\nProgram Version : Synthetic Report 1.0\r\n\r\n";
    for (int cpu = 0; text.size() < kReportBytes; ++cpu) {
        text += LogicalCpuSection(cpu);
    }
    return text;
}

std::string WriteReport() {
    std::string path = (std::filesystem::temp_directory_path() / "veldrix_replay_bench.txt").string();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << MultiCpuReport();
    return path;
}

struct IndexTimes {
    double read;  // the file into memory
    double parse; // the text into the leaf table
    double load;  // both, as the replay does it
    size_t leaves;
};

IndexTimes TimeReadAndIndex(const std::string& path) {
    std::vector<double> read, parse, load;
    size_t leaves = 0;
    for (int i = 0; i < kRounds; ++i) {
        std::string text;
        Clock::time_point start = Clock::now();
        ReadDumpFile(path, text);
        read.push_back(MillisecondsSince(start));
        start = Clock::now();
        CpuidSnapshot snapshot = ReadDumpProcessors(text);
        leaves = snapshot.cpus.empty() ? 0 : snapshot.cpus.front().leaves.size();
        parse.push_back(MillisecondsSince(start));
        std::string error;
        start = Clock::now();
        LoadDumpSnapshot(path, snapshot, error, 1);
        load.push_back(MillisecondsSince(start));
    }
    return IndexTimes{Median(read), Median(parse), Median(load), leaves};
}

// Banner, dump, probe and the first menu; the empty input then ends the menu.
double TimeReplayedStartup(const std::string& path, std::string& lastOutput) {
    std::vector<double> times;
    SetDatabaseLocation(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
    for (int i = 0; i < kRounds; ++i) {
        std::istringstream input;
        std::ostringstream output;
        SetConsoleStreams(&input, &output);
        Clock::time_point start = Clock::now();
        RunVeldrix({"-r", path});
        times.push_back(MillisecondsSince(start));
        SetConsoleStreams(nullptr, nullptr);
        lastOutput = output.str();
    }
    return Median(times);
}

} // namespace

int main() {
    std::string path = WriteReport();
    size_t bytes = static_cast<size_t>(std::filesystem::file_size(path));
    IndexTimes index = TimeReadAndIndex(path);
    std::string output;
    double startup = TimeReplayedStartup(path, output);
    std::filesystem::remove(path);

    bool menuShown = output.find("And your choise is.. ") != std::string::npos;
    std::printf("dump size                       : %8.2f MB, %zu leaves kept\n", bytes / 1e6, index.leaves);
    std::printf("read the file                   : %8.3f ms\n", index.read);
    std::printf("index the text                  : %8.3f ms\n", index.parse);
    std::printf("read + index the dump           : %8.3f ms (budget 20 ms)\n", index.load);
    std::printf("replayed start-up to the menu   : %8.3f ms (budget 30 ms)%s\n", startup,
                menuShown ? "" : "  [menu NOT reached]");
    return menuShown ? 0 : 1;
}
