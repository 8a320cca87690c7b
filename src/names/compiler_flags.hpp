// The compiler flags a fleet's programs may be built with: the data file's
// [CompilerFlags] section maps a feature name to its GCC and Clang flag and to
// the -march=x86-64-vN level that already turns that flag on.
#pragma once

#include "names/ini_file.hpp"

#include <string>
#include <vector>

// "-march=x86-64-vN" for the level (none for level 0), then, in the order of
// the features, the flag of every feature that has one and that the level
// does not already imply; each flag once.
std::vector<std::string> SafeCompilerFlags(const IniFile& database, int level,
                                           const std::vector<std::string>& features);
