#include "classic/raw_capture.hpp"

#include "classic/record.hpp"
#include "classic/text_file.hpp"
#include "common/text_format.hpp"
#include "console/console_io.hpp"
#include "cpuid/registers.hpp"

#include <algorithm>
#include <array>
#include <string>

namespace {

const std::string kDoubleRule = " " + std::string(52, '=');
const std::string kSingleRule = " " + std::string(52, '-');
const char kPartRule[] = " --------------";
const char kErrorLine[] = "*** Error generating RAW file ***";

void WriteHeader(TextFile& file) {
    file.Line(kDoubleRule);
    file.Line(" ~ VELDRIX - The Processor Detector for Win32 Console");
    file.Line(" ~ Version 1.30 - 31 August 2002");
    file.Line(" ~ Written by the VELDRIX developers");
    file.Line(kDoubleRule);
    file.Line(" ** Send this file to the VELDRIX developers       **");
    file.Line(" ** to be analized if cpuid detection went wrong   **");
    file.Line(kDoubleRule);
    file.Line();
    file.Line(kSingleRule);
    file.Line(" >> Captured CPUID registers");
    file.Line(kSingleRule);
    file.Line();
    file.Line();
}

void WritePartOpening(TextFile& file, const char* title) {
    file.Line(kPartRule);
    file.Line(title);
    file.Line(kPartRule);
    file.Line();
}

void WriteNotSupported(TextFile& file) {
    file.Line(" Error: Not supported.");
    file.Line();
}

void WriteBlock(TextFile& file, uint32_t leaf, const CpuidRegs& regs) {
    file.Line(" -> EAX : " + DwordToHex(leaf));
    file.Line(" +--> EAX : " + DwordToHex(regs.eax));
    file.Line(" +--> EBX : " + DwordToHex(regs.ebx));
    file.Line(" +--> ECX : " + DwordToHex(regs.ecx));
    file.Line(" +--> EDX : " + DwordToHex(regs.edx));
    file.Line();
}

// Blocks for the leaves from base up to top (top is at least base), sub-leaf
// 0 of each as the snapshot holds it.
void WriteBlocks(TextFile& file, const CpuidSnapshot& snapshot, uint32_t base, uint32_t top) {
    uint32_t last = std::min(top - base, kMaxCaptureBlocks - 1);
    for (uint32_t index = 0; index <= last && !file.Failed(); ++index) {
        uint32_t leaf = base + index;
        WriteBlock(file, leaf, snapshot.Answer(0, leaf));
    }
}

void WriteStandardPart(TextFile& file, const ProcessorRecord& record, const CpuidSnapshot& snapshot) {
    WritePartOpening(file, " Standard Level");
    WriteBlocks(file, snapshot, kStandardBase, record.maxStandardLeaf);
    file.Line();
}

void WriteExtendedPart(TextFile& file, const ProcessorRecord& record, const CpuidSnapshot& snapshot) {
    WritePartOpening(file, " Extended Level");
    if (HasExtendedLeaf(record, kExtendedBase)) {
        WriteBlocks(file, snapshot, kExtendedBase, record.maxExtendedLeaf);
    } else {
        WriteNotSupported(file);
    }
    file.Line();
}

void WriteTransmetaPart(TextFile& file, const ProcessorRecord& record, const CpuidSnapshot& snapshot) {
    WritePartOpening(file, " Transmeta Level");
    if (HasTransmetaLeaf(record, kTransmetaBase)) {
        WriteBlocks(file, snapshot, kTransmetaBase, record.maxTransmetaLeaf);
    } else {
        WriteNotSupported(file);
    }
}

void WriteTrailer(TextFile& file) {
    file.Line(kDoubleRule);
    file.Line(" >> End Of File");
    file.Line(kDoubleRule);
}

} // namespace

bool WriteRawCapture(const ProcessorRecord& record, const CpuidSnapshot& snapshot) {
    ConWrite(" ==> Enter the captured text file name to be generated (*.txt) : ");
    ConFlush();
    std::string typed;
    if (!ConReadLine(typed)) {
        // Input ended at the prompt: no name, so no file.
        ConLine();
        ConLine(kErrorLine);
        return false;
    }
    TextFile file;
    if (!file.Create(WithExtension(typed, ".txt"))) {
        ConLine(kErrorLine);
        return false;
    }
    WriteHeader(file);
    WriteStandardPart(file, record, snapshot);
    WriteExtendedPart(file, record, snapshot);
    WriteTransmetaPart(file, record, snapshot);
    WriteTrailer(file);
    if (!file.Close()) {
        ConLine(kErrorLine);
        return false;
    }
    return true;
}
