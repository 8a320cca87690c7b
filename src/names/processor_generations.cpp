#include "names/processor_generations.hpp"

#include "names/processor_db.hpp"

#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

std::optional<std::string> Field(const std::string& text) {
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

std::optional<int> Year(const std::string& text) {
    char* end = nullptr;
    long year = std::strtol(text.c_str(), &end, 10);
    bool whole = !text.empty() && *end == '\0' && year > 1970 && year < 2200;
    return whole ? std::optional<int>(static_cast<int>(year)) : std::nullopt;
}

} // namespace

std::optional<ProcessorGeneration> LookupGeneration(const IniFile& database, const std::string& vendorKey,
                                                    const std::string& name) {
    if (vendorKey.empty() || name.empty()) {
        return std::nullopt;
    }
    std::string value = ReadDatabaseValue(database, "Generations" + vendorKey, name, "");
    std::vector<std::string> fields;
    std::istringstream in(value);
    std::string field;
    while (std::getline(in, field, '|')) {
        fields.push_back(field);
    }
    if (!value.empty() && value.back() == '|') {
        fields.emplace_back();
    }
    if (fields.size() != 4) {
        return std::nullopt;
    }
    return ProcessorGeneration{Year(fields[0]), Field(fields[1]), Field(fields[2]), Field(fields[3])};
}
