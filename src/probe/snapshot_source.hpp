// Where a snapshot comes from: the processors of this machine, or a dump
// recorded on another one.
#pragma once

#include "probe/snapshot.hpp"

#include <string>
#include <string_view>

// Every logical processor this thread may run on, each visited in turn.
CpuidSnapshot TakeHardwareSnapshot();

// The processors of a dump text in any format the dump reader knows; no
// processor when no line is a leaf line.
CpuidSnapshot ParseDumpSnapshot(std::string_view text);

// Reads and parses a dump file. False, with a one-line reason in error, when
// the file cannot be read or holds no leaf line.
bool LoadDumpSnapshot(const std::string& path, CpuidSnapshot& snapshot, std::string& error);
