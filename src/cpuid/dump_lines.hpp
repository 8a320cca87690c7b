// The lines of a CPUID dump that carry something: leaf lines, processor
// headers, XCR0 lines and the line that ends a libcpuid raw file. Each
// recogniser looks at one line only; what a line means for the snapshot is
// the dump reader's business.
//
// Leaf lines:
//   - the Linux cpuid tool's raw output, "0xLLLLLLLL 0xSS: eax=0x... ebx=0x...
//     ecx=0x... edx=0x...", or the older form without the sub-leaf field;
//   - report tools and dump collections, "CPUID LLLLLLLL: EAX-EBX-ECX-EDX
//     [SL nn] [tag]": the colon optional and blanks allowed before it, blanks
//     or tabs before the registers, hyphens or blanks between them;
//   - libcpuid raw data, "name[N]=eax ebx ecx edx" with N in decimal: the
//     arrays basic_cpuid and ext_cpuid number leaves, the others
//     (intel_fn4, intel_fn11, intel_fn12h, intel_fn14h, amd_fn8000001dh)
//     number the sub-leaves of one leaf.
// Every register is eight hex digits in either case.
#pragma once

#include "cpuid/registers.hpp"

#include <cstdint>
#include <optional>
#include <string_view>

enum class RegisterLayout { Report, Tool, Libcpuid };

// A leaf line whose registers are not read yet: a line is recognised by its
// leaf and sub-leaf first, and its registers are read only when it is kept.
struct LeafLine {
    uint32_t leaf = 0;
    std::optional<uint32_t> subleaf; // absent when the line does not name one
    RegisterLayout layout = RegisterLayout::Report;
    std::string_view registers; // the text from the first register on
};

// True when the (trimmed) line starts like a leaf line of one of the layouts.
bool ParseLeafKey(std::string_view line, LeafLine& out);

// The registers of a recognised line. False when they are malformed, which
// makes the line no leaf line at all.
bool ParseLeafRegisters(const LeafLine& line, CpuidRegs& regs);

// "CPU:" or "CPU n:" (the cpuid tool), "------[ ... Logical CPU #n ]------"
// (reports). osCpu receives n where the header gives one.
bool ParseProcessorHeader(std::string_view line, std::optional<uint32_t>& osCpu);

// "xcr0=0x" and sixteen hex digits, as our own dump writes it.
bool ParseXcr0Line(std::string_view line, uint64_t& value);

// libcpuid's line of dashes (the untrimmed line), after which a raw file
// carries libcpuid's own decoding instead of registers.
bool IsLibcpuidEndLine(std::string_view line);

// "<marker> <name> : XXXXXXXX", blanks around the name and the colon free
// (the lines of our own capture file).
bool ParseCaptureLine(std::string_view line, std::string_view marker, std::string_view name, uint32_t& value);
