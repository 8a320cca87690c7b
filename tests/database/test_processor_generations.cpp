// The generations of the processors the data file names: every name has a
// row of data/processor-generations.tsv, the data file's sections say the
// same, and every processor from 2010 on has its process node.
#include "names/processor_db.hpp"
#include "names/processor_generations.hpp"
#include "names/reference_books.hpp"
#include "support/capability_support.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <set>
#include <sstream>

namespace {

// vendor, name, year, microarchitecture, node, archspec target
using GenerationRow = std::array<std::string, 6>;

std::vector<GenerationRow> ReadRows() {
    std::vector<GenerationRow> rows;
    std::ifstream in(VELDRIX_SOURCE_DIR "/data/processor-generations.tsv");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#' || line.rfind("vendor\t", 0) == 0) {
            continue;
        }
        GenerationRow row;
        std::istringstream cells(line);
        for (std::string& cell : row) {
            std::getline(cells, cell, '\t');
        }
        EXPECT_EQ(static_cast<size_t>(std::count(line.begin(), line.end(), '\t')), 5u) << line;
        rows.push_back(row);
    }
    return rows;
}

IniFile Database() {
    return OpenDatabaseAt(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
}

// Every (vendor key, name) of the signature sections.
std::set<std::pair<std::string, std::string>> NamesOfTheDataFile() {
    IniFile database = Database();
    std::set<std::pair<std::string, std::string>> names;
    for (const IniEntryView& vendor : ListIniEntries(database, "Vendor")) {
        for (const char* kind : {"Vendor", "ExtVendor"}) {
            for (const IniEntryView& row : ListIniEntries(database, kind + std::string(vendor.value))) {
                names.emplace(vendor.value, row.value);
            }
        }
    }
    return names;
}

TEST(ProcessorGenerations, EveryNameHasARowAndTheDataFileAgrees) {
    std::vector<GenerationRow> rows = ReadRows();
    std::set<std::pair<std::string, std::string>> tabled;
    IniFile database = Database();
    for (const GenerationRow& row : rows) {
        SCOPED_TRACE(row[1]);
        EXPECT_TRUE(tabled.emplace(row[0], row[1]).second) << "row written twice";
        std::optional<ProcessorGeneration> generation = LookupGeneration(database, row[0], row[1]);
        ASSERT_TRUE(generation);
        EXPECT_EQ(generation->year ? std::to_string(*generation->year) : "", row[2]);
        EXPECT_EQ(generation->microarchitecture.value_or(""), row[3]);
        EXPECT_EQ(generation->processNode.value_or(""), row[4]);
        EXPECT_EQ(generation->archspecTarget.value_or(""), row[5]);
    }
    EXPECT_EQ(tabled, NamesOfTheDataFile());
}

TEST(ProcessorGenerations, EveryProcessorFrom2010OnHasANode) {
    std::optional<ArchspecBook> book = ReadArchspecBook(Database());
    ASSERT_TRUE(book);
    size_t recent = 0;
    for (const GenerationRow& row : ReadRows()) {
        SCOPED_TRACE(row[1]);
        int year = row[2].empty() ? 0 : std::stoi(row[2]);
        EXPECT_TRUE(year == 0 || (year > 1980 && year < 2030));
        EXPECT_TRUE(year < 2003 || !row[3].empty());
        EXPECT_TRUE(year < 2010 || !row[4].empty());
        EXPECT_TRUE(row[5].empty() || FindArchspecTarget(*book, row[5]));
        recent += year >= 2010 ? 1 : 0;
    }
    EXPECT_GT(recent, 150u);
}

} // namespace
