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

struct DamageCase {
    const char* name;
    const char* line;
    const char* with;
    bool linuxFlagsKnown;
};

const DamageCase kDamages[] = {
    {"no [LinuxFlags] section", "[LinuxFlags]", "", false},
    {"a bit that does not read", "fpu=00000001.0.EDX.0", "fpu=00000001.0.EDX.32", false},
    {"a parent written after its child", "x86_64=generic||", "x86_64=generic|zen5|", true},
    {"no [ArchspecTargets] section", "[ArchspecTargets]", "", true},
};

TEST(DamagedReferences, FactsMadeFromThemAreNullWithOneNote) {
    CommandOutcome whole = RunOptions({"-r", TestDumpPath(kRaptor), "--json"});
    for (const DamageCase& row : kDamages) {
        SCOPED_TRACE(row.name);
        CommandOutcome outcome =
            RunWith(DataFileWith(row.line, row.with), {"-r", TestDumpPath(kRaptor), "--json"});
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(CountOf(outcome.err, "\n"), 1u) << outcome.err;
        EXPECT_NE(outcome.out.find("\"archspec\": null"), std::string::npos);
        EXPECT_EQ(outcome.out.find("\"linux_flags\": null") == std::string::npos, row.linuxFlagsKnown);
        EXPECT_NE(outcome.out.find("\"name\": \"Intel Core 13th/14th gen (Raptor Lake-S/HX)\""),
                  std::string::npos);
        std::string features = whole.out.substr(whole.out.find("\"features\""));
        EXPECT_NE(outcome.out.find(features.substr(0, features.find('\n'))), std::string::npos);
        EXPECT_EQ(RunWith(DataFileWith(row.line, row.with), {"--why-not", "zen4"}).status, 64);
    }
}

} // namespace
