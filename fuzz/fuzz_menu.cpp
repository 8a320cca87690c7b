// libFuzzer target for the whole interactive program. The input is a CPUID
// dump, a line "%%", then what the user types; a first byte chooses the
// option after "-r DUMP" (none, -c, -v or -?). The dump is replayed through
// the CPUID seam and the keys drive the menu through every screen, both
// benchmark prompts, the report and the capture, until the input ends (which
// quits). Reports and captures are written as real files into a scratch
// folder that is emptied after every input (an empty folder stays behind). Beyond the sanitizers it checks
// that the program ends with one of its exit statuses, that the replayed dump
// is never written over, that the data file is always read, and that
// standard error says nothing but why a report could not be created.
#include "app/program.hpp"
#include "bench/bench.hpp"
#include "classic/record.hpp"
#include "console/console_io.hpp"
#include "names/processor_db.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char kDumpName[] = "dump.txt";
const std::string_view kSeparator = "\n%%\n";
// A handful of passes keeps every benchmark run far below a millisecond.
constexpr int32_t kRunLimit = 3;

void Check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

// A scratch folder, made the current one, for the dump and every file written.
const fs::path& ScratchFolder() {
    static const fs::path folder = [] {
        fs::path path = fs::temp_directory_path() / ("veldrix_fuzz_menu_" + std::to_string(::getpid()));
        fs::create_directories(path);
        fs::current_path(path);
        return path;
    }();
    return folder;
}

void EmptyScratchFolder() {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(ScratchFolder(), error)) {
        fs::remove_all(entry.path(), error);
    }
}

// Typed names stay inside the scratch folder: no separator can name another one.
std::string KeepNamesInside(std::string_view keys) {
    std::string kept(keys);
    for (char& c : kept) {
        if (c == '/' || c == '\\') {
            c = '_';
        }
    }
    return kept;
}

std::vector<std::string> Arguments(uint8_t selector) {
    static const char* const kOptions[] = {"", "-c", "-v", "-?"};
    std::vector<std::string> args = {"-r", kDumpName};
    const char* option = kOptions[selector % 4];
    if (*option != '\0') {
        args.push_back(option);
    }
    return args;
}

// Every line of the error stream names a report that could not be created.
bool OnlyReportRefusals(const std::string& errors) {
    const std::string_view refusal = "veldrix: cannot create report ";
    for (size_t at = 0; at < errors.size();) {
        size_t end = errors.find('\n', at);
        if (errors.compare(at, refusal.size(), refusal) != 0 || end == std::string::npos) {
            return false;
        }
        at = end + 1;
    }
    return true;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    ScratchFolder();
    std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    size_t split = input.find(kSeparator);
    std::string_view dump = input.substr(0, split);
    std::string_view keys = split == std::string_view::npos ? "" : input.substr(split + kSeparator.size());
    std::ofstream(kDumpName, std::ios::binary) << dump;

    // Every run starts from a fresh record and reads the data file itself.
    SetDatabaseLocation(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
    LimitBenchmarkRuns(kRunLimit);
    std::istringstream typed(KeepNamesInside(keys));
    std::ostringstream shown;
    std::ostringstream errors;
    SetConsoleStreams(&typed, &shown);
    SetConsoleErrorStream(&errors);
    int status = RunVeldrix(Arguments(data[0]));
    SetConsoleStreams(nullptr, nullptr);
    SetConsoleErrorStream(nullptr);

    // 1: a capture that could not be written.
    Check(status == 0 || status == 1 || status == 2);
    Check(OnlyReportRefusals(errors.str()));
    Check(ReadFile(kDumpName) == dump);
    EmptyScratchFolder();
    return 0;
}
