// CPUID dumps from other machines: text in which some lines carry the
// registers of one leaf (the layouts are listed in dump_lines.hpp), read into
// a snapshot of every logical processor and every sub-leaf the dump holds.
//
// Besides the leaf lines of dump_lines.hpp, our own capture file spreads one
// leaf over five lines: " -> EAX : LLLLLLLL" followed by " +--> EAX : ",
// " +--> EBX : ", " +--> ECX : ", " +--> EDX : ". Layouts may be mixed in
// one file, and lines may end in LF, CR LF or CR and carry blanks at either
// end. Any other line is ignored.
//
// Processors. A processor header ("CPU n:", "------[ ... Logical CPU #n
// ]------") starts the next processor at the next leaf line, and so does a
// leaf 0 line when the current processor already holds leaf 0 (reports
// without headers). A header followed by no leaf line (the MSR sections of a
// report) starts nothing.
//
// Sub-leaves. A line that names its sub-leaf ("[SL nn]", the tool's sub-leaf
// field, libcpuid's sub-leaf arrays) gives that sub-leaf; a line that names
// none goes to the first sub-leaf of its leaf not recorded yet, so repeated
// lines of one leaf are its sub-leaves 0, 1, 2... in order. Of two lines for
// the same leaf and sub-leaf of one processor the first one counts.
//
// Limits. At most kMaxSnapshotProcessors processors and sub-leaves below
// kMaxSubleaves are kept; what lies beyond is dropped and the snapshot says
// it was cut. Everything after libcpuid's line of dashes is ignored.
#pragma once

#include "cpuid/snapshot.hpp"

#include <cstddef>
#include <string>
#include <string_view>

// Reading stops after this many bytes; a longer file is cut at its last line
// end below the limit, so no half line is read as a leaf. Real dumps are a
// few megabytes at most; the limit keeps endless inputs (devices, pipes) from
// hanging the program.
constexpr size_t kDumpSizeLimit = 64u * 1024u * 1024u;

// Every processor of a dump text; no processor when no line is a leaf line.
// With a smaller processorLimit reading stops after that many processors,
// which is no cut of the dump (for callers that need only the first ones).
CpuidSnapshot ReadDumpProcessors(std::string_view text, size_t processorLimit = kMaxSnapshotProcessors);

// Reads a dump file as bytes, up to the size limit. False when the file
// cannot be opened or read, which includes a directory. cutAtLimit, when
// given, tells whether the file went on beyond the limit.
bool ReadDumpFile(const std::string& path, std::string& text, size_t limit = kDumpSizeLimit,
                  bool* cutAtLimit = nullptr);
