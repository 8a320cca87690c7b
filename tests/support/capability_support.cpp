#include "support/capability_support.hpp"

#include "app/command_request.hpp"
#include "cpuid/snapshot_source.hpp"
#include "names/capability_names.hpp"
#include "names/processor_db.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

std::vector<std::string> TestDumpNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kTestDumpsDir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

CpuidSnapshot LoadTestDump(const std::string& name) {
    CpuidSnapshot snapshot;
    std::string error;
    EXPECT_TRUE(LoadDumpSnapshot(kTestDumpsDir + "/" + name, snapshot, error)) << error;
    return snapshot;
}

CapabilityFacts DecodeWithDataFile(const CpuidSnapshot& snapshot, bool fromHardware) {
    return DescribeSnapshot(OpenDatabaseAt(VELDRIX_SOURCE_DIR "/data/veldrix.dat"), snapshot, fromHardware);
}

CsvBitNames ReadCsvBitNames() {
    CsvBitNames names;
    std::ifstream in(VELDRIX_SOURCE_DIR "/data/cpuid-fields.csv");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line.rfind("leaf,", 0) == 0) {
            continue;
        }
        std::vector<std::string> cells;
        std::istringstream row(line);
        std::string cell;
        while (std::getline(row, cell, ',')) {
            cells.push_back(cell);
        }
        if (cells.size() != 5 || cells[1].find(':') != std::string::npos ||
            cells[3].find(':') != std::string::npos) {
            continue;
        }
        auto key =
            std::make_tuple(static_cast<uint32_t>(std::stoul(cells[0], nullptr, 16)),
                            static_cast<uint32_t>(std::stoul(cells[1])), cells[2], std::stoi(cells[3]));
        names[key] = cells[4];
    }
    return names;
}

CpuidSnapshot SnapshotOf(const std::vector<LeafRow>& rows) {
    CpuidSnapshot snapshot;
    snapshot.cpus.emplace_back();
    for (const LeafRow& row : rows) {
        snapshot.cpus[0].leaves[LeafKey{row.leaf, row.subleaf}] = row.regs;
    }
    return snapshot;
}
