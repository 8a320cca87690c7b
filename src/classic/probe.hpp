// The probe sequence: the leaves of the snapshot's first processor decoded
// into the record, with the progress lines of verbose mode.
#pragma once

#include "classic/clock.hpp"
#include "classic/record.hpp"
#include "cpuid/snapshot.hpp"
#include "names/ini_file.hpp"

#include <iosfwd>

// What the probe reads from and where it tells its progress.
struct ProbeSources {
    const CpuidSnapshot& snapshot; // its first processor is probed
    const IniFile& database;       // the names, from the data file read at start-up
    TickCounter clockTicks;        // empty: the clock is not measured (a replayed dump)
    std::ostream* narration;       // the progress lines (-v); none when null
};

// True when the snapshot's first processor answered leaf 0: a processor
// (or a dump) without CPUID answers nothing.
bool HasCpuidLeaves(const CpuidSnapshot& snapshot);

// The whole sequence into the record. Every section the leaves hold is
// decoded; a progress line is told only for the sections the processor
// reports.
void ProbeProcessor(ProcessorRecord& record, const ProbeSources& sources);
