// The screens of menu keys D and W: the run-count prompt, one timed run and
// the score lines. The scores stay in the run for the HTML report.
#pragma once

#include <cstdint>

struct RunState;

// One run count read after a prompt. Text that is not an integer, and the end
// of input, give 0; an integer too large for 32 bits sets outOfRange.
struct RunCountEntry {
    int32_t value;
    bool outOfRange;
};
RunCountEntry ReadRunCount();

void ShowDhrystone(RunState& run);
void ShowWhetstone(RunState& run);
