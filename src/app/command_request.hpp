// What every command-line option receives, and the reading steps they share:
// a snapshot of this machine or of a dump, decoded and named.
#pragma once

#include "classic/replay.hpp"
#include "decode/capabilities.hpp"
#include "names/ini_file.hpp"
#include "outputs/capability_output.hpp"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// What one option is asked to do: its operands (the arguments after it),
// the dump named by "-r" (none: this machine), and where to write.
struct CommandRequest {
    std::vector<std::string> operands;
    std::optional<std::string> dumpPath;
    std::ostream& out;
    std::ostream& err;
};

// The reason and the usage summary on the error stream; the usage status.
int UsageError(const CommandRequest& request, const std::string& reason);

// Reads the dump at path, or every processor of this machine when there is
// no path. How a dump was cut, if it was, goes to err; false, with the
// reason there too, when the dump cannot be read.
bool ReadSnapshotFrom(const std::optional<std::string>& path, std::ostream& err, CpuidSnapshot& snapshot);

// ReadSnapshotFrom for a command that needs at least one processor: none
// when the snapshot was read, else the exit status, the reason on err.
std::optional<int> ReadProcessorsFrom(const std::optional<std::string>& path, std::ostream& err,
                                      CpuidSnapshot& snapshot);

// Decodes the snapshot and names it from the data file.
CapabilityFacts DescribeSnapshot(const IniFile& database, const CpuidSnapshot& snapshot, bool fromHardware);

// Reads, decodes and names the processor of this machine or of the dump.
// False, with the reason on err, when the dump cannot be read.
bool GatherFactsFrom(const std::optional<std::string>& path, std::ostream& err, CapabilityFacts& facts,
                     CapabilitySource& source);

// One line on err when the data file was read but its Linux flag or archspec
// sections are missing or do not read (the facts made from them are null).
void NoteDamagedReferences(const IniFile& database, std::ostream& err);
