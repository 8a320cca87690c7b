// CPUID dumps from other machines: text in which some lines carry the
// registers of one leaf, read into a table that the CPUID backend answers from.
//
// Leaf lines are recognised one by one and may be mixed freely in one file:
//   - our own capture file: " -> EAX : LLLLLLLL" followed by the four lines
//     " +--> EAX : ", " +--> EBX : ", " +--> ECX : ", " +--> EDX : ";
//   - the Linux cpuid tool's raw output:
//     "   0xLLLLLLLL 0xSS: eax=0x... ebx=0x... ecx=0x... edx=0x..."
//     (also the older form without the sub-leaf field);
//   - report tools and dump collections:
//     "CPUID LLLLLLLL: EAX-EBX-ECX-EDX [SL nn] [tag]", the colon optional,
//     blanks or tabs before the registers, hyphens or blanks between them;
//   - libcpuid raw data: "basic_cpuid[N]=eax ebx ecx edx" for leaf N and
//     "ext_cpuid[N]=..." for leaf 0x80000000 + N (N in decimal).
// Every number is eight hex digits in either case, except N and the sub-leaf.
// Lines may end in LF, CR LF or CR and carry blanks at either end. Only
// sub-leaf 0 counts, and for each leaf only its first line: in a dump of
// several logical processors the first one wins. Any other line is ignored.
#pragma once

#include "probe/cpuid.hpp"

#include <cstddef>
#include <string>
#include <string_view>

// Reading stops after this many bytes; a longer file is cut at its last line
// end below the limit, so no half line is read as a leaf. Real dumps are a
// few megabytes at most; the limit keeps endless inputs (devices, pipes) from
// hanging the program.
constexpr size_t kDumpSizeLimit = 64u * 1024u * 1024u;

// The leaves of a dump text; empty when no line is a leaf line.
CpuidTable ParseDumpText(std::string_view text);

// Reads a dump file as bytes, up to the size limit. False when the file
// cannot be opened or read, which includes a directory.
bool ReadDumpFile(const std::string& path, std::string& text, size_t limit = kDumpSizeLimit);

// Reads and parses a dump. False when the file cannot be read or holds no
// leaf line; table is then empty.
bool LoadCpuidDump(const std::string& path, CpuidTable& table);
