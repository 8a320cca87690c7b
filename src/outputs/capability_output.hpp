// The machine-friendly outputs of the decoded capabilities: the --list text,
// the veldrix/1 JSON document and the --check verdict. Lines end with
// kPlainLineEnd.
#pragma once

#include "decode/capabilities.hpp"
#include "decode/coded_values.hpp"

#include <iosfwd>
#include <string>

// The schema every JSON document of the program names.
constexpr const char kJsonSchema[] = "veldrix/1";

// Where the facts were read and with which data file.
struct CapabilitySource {
    bool hardware = true;
    std::string path; // the dump's path when not hardware
    std::string databaseVersion;
};

// Aligned plain text in sections, one fact per line; control bytes of
// processor texts are written as '?'.
void WriteCapabilityList(const CapabilityFacts& facts, const CapabilitySource& source, std::ostream& out);

// The veldrix/1 document: every key always present, unknown values null.
void WriteCapabilityJson(const CapabilityFacts& facts, const CapabilitySource& source, std::ostream& out);

// "performance", "efficiency".
const char* CoreTypeName(CoreType type);

// "yes", "no (missing: avx2 bmi2)" or "no (supported by the processor, not
// enabled by the OS)".
std::string LevelVerdictText(const LevelVerdict& verdict);

// Writes "x86-64-vN: <verdict>" for level 1..4; 0 when met, 1 when not.
int WriteLevelCheck(const CapabilityFacts& facts, int level, std::ostream& out);

// The "program", "source" and "processor" objects of the veldrix/1 document,
// for the documents that compare several processors.
std::string CapabilityProgramJson(const CapabilitySource& source);
std::string CapabilitySourceJson(const CapabilitySource& source);
std::string CapabilityProcessorJson(const CapabilityFacts& facts);
