// Standard output through one buffer that keeps the system's reason for the
// first failed write, so that the program can tell, before it ends, whether
// everything it printed arrived.
#pragma once

#include <string>

// Exit status of a run whose standard output could not be written.
constexpr int kOutputFailedStatus = 74;

// Sends std::cout through the checked buffer for the rest of the process.
// On a terminal a line is written as soon as it ends, as the C library does.
void UseCheckedStandardOutput();

// The system's reason for the first failed write to standard output through
// the checked buffer; empty when none failed or the buffer is not in use.
std::string StandardOutputFailure();
