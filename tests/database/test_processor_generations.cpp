// The generations of the processors the data file names: every name has a
// row of data/processor-generations.tsv, the data file's sections say the
// same, and every processor from 2010 on has its process node.
#include "names/processor_db.hpp"
#include "names/processor_generations.hpp"
#include "names/reference_books.hpp"
#include "support/capability_support.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

namespace {

struct GenerationRow {
    std::string vendor;
    std::string name;
    std::string year;
    std::string microarchitecture;
    std::string node;
    std::string archspec;
};

std::vector<GenerationRow> ReadRows() {
    std::vector<GenerationRow> rows;
    std::ifstream in(VELDRIX_SOURCE_DIR "/data/processor-generations.tsv");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line.rfind("vendor\t", 0) == 0) {
            continue;
        }
        std::vector<std::string> cells;
        std::istringstream row(line + "\t");
        std::string cell;
        while (std::getline(row, cell, '\t')) {
            cells.push_back(cell);
        }
        EXPECT_EQ(cells.size(), 6u) << line;
        cells.resize(6);
        rows.push_back(GenerationRow{cells[0], cells[1], cells[2], cells[3], cells[4], cells[5]});
    }
    return rows;
}

IniFile Database() {
    return OpenDatabaseAt(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
}

// Every (vendor key, name) of the signature sections, read from the file's text.
std::set<std::pair<std::string, std::string>> NamesOfTheDataFile() {
    std::set<std::pair<std::string, std::string>> names;
    std::istringstream lines(ReadWholeFile(VELDRIX_SOURCE_DIR "/data/veldrix.dat"));
    std::string line;
    std::string vendor;
    while (std::getline(lines, line)) {
        line = line.substr(0, line.find('\r'));
        if (!line.empty() && line[0] == '[') {
            std::string section = line.substr(1, line.find(']') - 1);
            size_t at = section.rfind("Vendor", 0) == 0 ? 6 : section.rfind("ExtVendor", 0) == 0 ? 9 : 0;
            vendor = at == 0 || section.size() == at ? "" : section.substr(at);
        } else if (!vendor.empty() && !line.empty() && line[0] != ';' &&
                   line.find('=') != std::string::npos) {
            names.emplace(vendor, line.substr(line.find('=') + 1));
        }
    }
    return names;
}

TEST(ProcessorGenerations, EveryNameHasARowAndTheDataFileAgrees) {
    std::vector<GenerationRow> rows = ReadRows();
    std::set<std::pair<std::string, std::string>> tabled;
    IniFile database = Database();
    for (const GenerationRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(tabled.emplace(row.vendor, row.name).second) << "row written twice";
        std::optional<ProcessorGeneration> generation = LookupGeneration(database, row.vendor, row.name);
        ASSERT_TRUE(generation);
        EXPECT_EQ(generation->year ? std::to_string(*generation->year) : "", row.year);
        EXPECT_EQ(generation->microarchitecture.value_or(""), row.microarchitecture);
        EXPECT_EQ(generation->processNode.value_or(""), row.node);
        EXPECT_EQ(generation->archspecTarget.value_or(""), row.archspec);
    }
    EXPECT_EQ(tabled, NamesOfTheDataFile());
}

TEST(ProcessorGenerations, EveryProcessorFrom2010OnHasANode) {
    std::optional<ArchspecBook> book = ReadArchspecBook(Database());
    ASSERT_TRUE(book);
    size_t recent = 0;
    for (const GenerationRow& row : ReadRows()) {
        SCOPED_TRACE(row.name);
        int year = row.year.empty() ? 0 : std::stoi(row.year);
        EXPECT_TRUE(year == 0 || (year > 1980 && year < 2030));
        EXPECT_TRUE(year < 2003 || !row.microarchitecture.empty());
        EXPECT_TRUE(year < 2010 || !row.node.empty());
        EXPECT_TRUE(row.archspec.empty() || FindArchspecTarget(*book, row.archspec));
        recent += year >= 2010 ? 1 : 0;
    }
    EXPECT_GT(recent, 150u);
}

// What the dumps of recent processors say.
TEST(ProcessorGenerations, RecentDumpsNameTheirNodeAndMicroarchitecture) {
    const std::pair<const char*, const char*> kNodes[] = {
        {"GenuineIntel00B0671_RaptorLake_01_CPUID.txt", "Intel 7"},
        {"AuthenticAMD0B40F40_K20_GraniteRidge_02_CPUID.txt", "4 nm"},
        {"AuthenticAMD0A10F11_EPYC-Genoa-KVM_cpuid-r.txt", "5 nm"},
        {"CentaurHauls00607B1_KX7000_05_CPUID.txt", "16 nm"},
        {"GenuineIntel00006F6_Conroe_CPUID.txt", "65 nm"},
    };
    for (const auto& [dump, node] : kNodes) {
        CapabilityFacts facts = DecodeWithDataFile(LoadTestDump(dump));
        EXPECT_EQ(facts.vocabularies.generation.processNode.value_or(""), node) << dump;
        EXPECT_TRUE(facts.vocabularies.generation.microarchitecture) << dump;
    }
}

} // namespace
