#include "names/compiler_flags.hpp"

#include "decode/x86_levels.hpp"
#include "names/processor_db.hpp"

#include <algorithm>
#include <sstream>

namespace {

const char kSection[] = "CompilerFlags";

struct FeatureFlag {
    std::string flag;      // empty when the feature has none
    int impliedByLevel{0}; // 0 when no level turns it on
};

FeatureFlag FlagOf(const IniFile& database, const std::string& feature) {
    std::istringstream words(ReadDatabaseValue(database, kSection, feature, ""));
    FeatureFlag flag;
    std::string level;
    words >> flag.flag >> level;
    flag.impliedByLevel = ParseLevelName(level);
    return flag;
}

} // namespace

std::vector<std::string> SafeCompilerFlags(const IniFile& database, int level,
                                           const std::vector<std::string>& features) {
    std::vector<std::string> flags;
    if (level > 0) {
        flags.push_back("-march=" + LevelName(level));
    }
    for (const std::string& feature : features) {
        FeatureFlag flag = FlagOf(database, feature);
        bool implied = flag.impliedByLevel != 0 && flag.impliedByLevel <= level;
        if (!flag.flag.empty() && !implied &&
            std::find(flags.begin(), flags.end(), flag.flag) == flags.end()) {
            flags.push_back(flag.flag);
        }
    }
    return flags;
}
