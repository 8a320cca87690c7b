#include "platform/kernel_reports.hpp"

#ifdef __linux__
#include <algorithm>
#include <dirent.h>
#include <fstream>
#endif

#ifdef __linux__
namespace {

const char kCpuinfo[] = "/proc/cpuinfo";
const char kMicrocodeVersion[] = "/sys/devices/system/cpu/cpu0/microcode/version";
const char kVulnerabilities[] = "/sys/devices/system/cpu/vulnerabilities";
// An entry or a line longer than this is no report of the kernel's.
constexpr std::streamsize kReportLimit = 4096;

std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    size_t last = text.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// The first line of a small file, or none when it cannot be read.
std::optional<std::string> FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line) || line.size() > static_cast<size_t>(kReportLimit)) {
        return std::nullopt;
    }
    return Trimmed(line);
}

// The value of "key : value" in the first processor's block.
void ReadCpuinfo(KernelReports& reports) {
    std::ifstream in(kCpuinfo);
    std::string line;
    while (std::getline(in, line) && !Trimmed(line).empty()) {
        size_t colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        std::string key = Trimmed(line.substr(0, colon));
        std::string value = Trimmed(line.substr(colon + 1));
        if (key == "flags") {
            reports.flags = value;
        } else if (key == "microcode") {
            reports.microcode = value;
        }
    }
}

std::vector<std::string> EntryNames(const char* folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder)) {
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.') {
                names.push_back(entry->d_name);
            }
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace
#endif

std::optional<KernelReports> ReadKernelReports() {
#ifdef __linux__
    KernelReports reports;
    ReadCpuinfo(reports);
    if (std::optional<std::string> version = FirstLine(kMicrocodeVersion)) {
        reports.microcode = version;
    }
    for (const std::string& name : EntryNames(kVulnerabilities)) {
        reports.vulnerabilities.emplace_back(name, FirstLine(std::string(kVulnerabilities) + "/" + name));
    }
    return reports;
#else
    return std::nullopt;
#endif
}
