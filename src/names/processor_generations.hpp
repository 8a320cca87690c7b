// The data file's [Generations<KEY>] sections: for every processor name of
// a vendor, the year it shipped, its microarchitecture, its process node and
// the archspec target of that microarchitecture.
#pragma once

#include "names/ini_file.hpp"

#include <optional>
#include <string>

struct ProcessorGeneration {
    std::optional<int> year;
    std::optional<std::string> microarchitecture;
    std::optional<std::string> processNode;
    std::optional<std::string> archspecTarget;
};

// The generation of the name under the vendor key; none when the section or
// the name is missing, or the value is not four fields.
std::optional<ProcessorGeneration> LookupGeneration(const IniFile& database, const std::string& vendorKey,
                                                    const std::string& name);
