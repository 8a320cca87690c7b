#include "support/harness.hpp"

#include "classic/probe.hpp"

#include <cstdio>
#include <fstream>

std::string WriteTempFile(const std::string& name, const std::string& text) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string prefix = info ? std::string(info->test_suite_name()) + "_" + info->name() + "_" : "";
    for (char& c : prefix) {
        if (c == '/') {
            c = '_';
        }
    }
    std::string path = ::testing::TempDir() + prefix + name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    return path;
}

IniFile OpenDatabaseText(const std::string& iniText) {
    return OpenDatabaseAt(WriteTempFile("veldrix.dat", iniText));
}

namespace {

CpuidSnapshot gWorldSnapshot;

} // namespace

void ResetWorld(const CpuidTable& table) {
    // Tests start without a data file unless they open one.
    SetDatabaseLocation(::testing::TempDir() + "veldrix-absent.dat");
    gWorldSnapshot = SnapshotOfTable(table);
}

const CpuidSnapshot& WorldSnapshot() {
    return gWorldSnapshot;
}

uint32_t WorldClockTicks() {
    return 465206000u;
}

MachineSources WorldMachine() {
    return MachineSources{[] { return gWorldSnapshot; }, WorldClockTicks};
}

void ProbeWorld(ProcessorRecord& record, const IniFile& database, bool verbose) {
    ProbeProcessor(record, ProbeSources{gWorldSnapshot, database, WorldClockTicks,
                                        verbose ? &ConsoleOutput() : nullptr});
}

ProcessorRecord ProbedRecord(const IniFile& database) {
    ProcessorRecord record;
    ProbeWorld(record, database);
    return record;
}

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}
