// "veldrix --dump" writes the CPUID snapshot of every logical processor of
// this machine to standard output; "veldrix -r DUMP --dump" converts a dump in
// any layout the reader knows. The output is the cpuid tool's raw layout with
// LF line ends (see snapshot_writer.hpp); notes and errors go to standard
// error.
#pragma once

#include <string>
#include <vector>

// True for exactly "--dump" or "-r DUMP --dump".
bool IsDumpCommand(const std::vector<std::string>& args);

// Runs the command: 0 when the dump was written, kUnreadableDumpStatus when
// the dump named after "-r" cannot be read or holds no leaf line, 1 when this
// processor has no CPUID.
int RunDumpCommand(const std::vector<std::string>& args);
