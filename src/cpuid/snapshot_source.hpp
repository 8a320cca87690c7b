// Where a snapshot comes from: the processors of this machine, or a dump
// recorded on another one.
#pragma once

#include "cpuid/snapshot.hpp"

#include <string>
#include <string_view>
#include <vector>

// Every logical processor this thread may run on, each visited in turn with
// the thread pinned to it (the original affinity is restored). Where pinning
// is impossible, the one processor the thread ran on, marked as such. No
// processor without CPUID. With a smaller processorLimit only the first
// processors are read, which is no cut (the menu program shows processor 0
// only, and a walk of hundreds of processors would slow its start).
CpuidSnapshot TakeHardwareSnapshot(size_t processorLimit = kMaxSnapshotProcessors);

// The processors of a dump text in any format the dump reader knows; no
// processor when no line is a leaf line.
CpuidSnapshot ParseDumpSnapshot(std::string_view text);

// Reads and parses a dump file. False, with a one-line reason in error, when
// the file cannot be read or holds no leaf line.
// A dump cut at the size limit or at the snapshot's capacity still loads;
// the snapshot says so.
// With a processorLimit, only the dump's first processors are read.
bool LoadDumpSnapshot(const std::string& path, CpuidSnapshot& snapshot, std::string& error,
                      size_t processorLimit = kMaxSnapshotProcessors);

// The standard-error lines telling how a loaded dump was cut (none when it
// was read whole).
std::vector<std::string> DumpCutNotes(const std::string& path, const CpuidSnapshot& snapshot);
