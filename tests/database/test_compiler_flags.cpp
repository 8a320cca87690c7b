// The [CompilerFlags] section and the flags --baseline derives from it.
#include "decode/x86_levels.hpp"
#include "names/capability_names.hpp"
#include "names/compiler_flags.hpp"
#include "names/processor_db.hpp"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace {

IniFile Database() {
    return OpenDatabaseAt(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
}

// A misspelt key would never match a feature, and its flag would silently
// never be suggested.
TEST(CompilerFlags, EveryKeyIsAFeatureNameAndEveryValueAFlagWithAnOptionalLevel) {
    IniFile database = Database();
    std::set<std::string> names;
    for (const FeatureNameTable& table : ReadFeatureNameBook(database)) {
        names.insert(table.begin(), table.end());
    }
    std::vector<std::string> keys = ListDatabaseKeys(database, "CompilerFlags");
    EXPECT_GT(keys.size(), 50u);
    std::set<std::string> flags;
    for (const std::string& key : keys) {
        EXPECT_EQ(names.count(key), 1u) << key;
        std::istringstream words(ReadDatabaseValue(database, "CompilerFlags", key, ""));
        std::string flag;
        std::string level;
        std::string extra;
        words >> flag >> level >> extra;
        EXPECT_EQ(flag.rfind("-m", 0), 0u) << key;
        EXPECT_TRUE(flags.insert(flag).second) << "two features share " << flag;
        EXPECT_TRUE(level.empty() || ParseLevelName(level) != 0) << key;
        EXPECT_EQ(extra, "") << key;
    }
}

struct FlagCase {
    const char* name;
    int level;
    std::vector<std::string> features;
    std::vector<std::string> flags; // exactly
};

const FlagCase kFlags[] = {
    {"v3 implies AVX2 and BMI, not SHA or AES",
     3,
     {"avx2", "sha_ni", "bmi1", "aes", "abm", "movbe"},
     {"-march=x86-64-v3", "-msha", "-maes"}},
    {"v2 does not imply AVX2 or MOVBE",
     2,
     {"pni", "avx2", "sse4_2", "movbe"},
     {"-march=x86-64-v2", "-mavx2", "-mmovbe"}},
    {"v4 implies AVX-512 F, VL; not VNNI",
     4,
     {"avx512f", "avx512vl", "avx512_vnni", "gfni"},
     {"-march=x86-64-v4", "-mavx512vnni", "-mgfni"}},
    {"no level: no -march, every flag",
     0,
     {"mmx", "sse", "sse2", "pni"},
     {"-mmmx", "-msse", "-msse2", "-msse3"}},
    {"features without a flag, and repeats",
     1,
     {"fpu", "hypervisor", "aes", "aes", "lm"},
     {"-march=x86-64-v1", "-maes"}},
};

TEST(CompilerFlags, MarchForTheLevelThenFlagsItDoesNotImply) {
    IniFile database = Database();
    for (const FlagCase& row : kFlags) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(SafeCompilerFlags(database, row.level, row.features), row.flags);
    }
}

} // namespace
