// A data file whose Linux flag or archspec sections are missing or damaged:
// those facts are null with one note, every other fact is as before.
#include "app/command_line.hpp"
#include "names/processor_db.hpp"
#include "support/command_support.hpp"
#include "support/run_binary.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <tuple>

namespace {

const char kRaptor[] = "GenuineIntel00B0671_RaptorLake_01_CPUID.txt";

// The shipped data file with one line replaced (or dropped when with is "").
std::string DataFileWith(const std::string& line, const std::string& with) {
    std::string text = ReadWholeFile(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
    size_t at = text.find(line + "\r\n");
    EXPECT_NE(at, std::string::npos) << line;
    text.replace(at, line.size() + 2, with.empty() ? "" : with + "\r\n");
    std::string path = MakeTempDir("damaged") + "/veldrix.dat";
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

CommandOutcome RunWith(const std::string& database, const std::vector<std::string>& args) {
    SetDatabaseLocation(database);
    std::ostringstream out;
    std::ostringstream err;
    CommandOutcome outcome{RunCommandLine(args, out, err), out.str(), err.str()};
    SetDatabaseLocation("");
    return outcome;
}

// The line damaged, what it becomes, and whether the Linux flags survive.
const std::tuple<const char*, const char*, bool> kDamages[] = {
    {"[LinuxFlags]", "", false},                              // no such section
    {"fpu=00000001.0.EDX.0", "fpu=00000001.0.EDX.32", false}, // a bit that does not read
    {"x86_64=generic||", "x86_64=generic|zen5|", true},       // a parent after its child
    {"[ArchspecTargets]", "", true},
};

TEST(DamagedReferences, FactsMadeFromThemAreNullWithOneNote) {
    for (const auto& [line, with, linuxFlagsKnown] : kDamages) {
        SCOPED_TRACE(line);
        std::string database = DataFileWith(line, with);
        CommandOutcome outcome = RunWith(database, {"-r", TestDumpPath(kRaptor), "--json"});
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(CountOf(outcome.err, "\n"), 1u) << outcome.err;
        EXPECT_NE(outcome.out.find("\"archspec\": null"), std::string::npos);
        EXPECT_EQ(outcome.out.find("\"linux_flags\": null") == std::string::npos, linuxFlagsKnown);
        EXPECT_NE(outcome.out.find("\"name\": \"Intel Core 13th/14th gen (Raptor Lake-S/HX)\""),
                  std::string::npos);
        EXPECT_NE(outcome.out.find("\"features\": [\"pni\", \"pclmulqdq\""), std::string::npos);
        EXPECT_EQ(RunWith(database, {"--why-not", "zen4"}).status, 64);
    }
}

} // namespace
