// Option -c: every captured CPUID register written unchanged to a text file
// that can be sent away for analysis, or replayed.
#pragma once

#include "cpuid/snapshot.hpp"

#include <cstdint>

struct ProcessorRecord;

// A part whose reported maximum lies implausibly far above its base leaf is
// cut to this many blocks.
constexpr uint32_t kMaxCaptureBlocks = 256;

// Asks for the file name and writes the capture of the snapshot's first
// processor, the one the record was probed from; false when no whole file
// was written, which one console line says.
bool WriteRawCapture(const ProcessorRecord& record, const CpuidSnapshot& snapshot);
