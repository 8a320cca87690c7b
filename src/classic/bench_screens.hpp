// The screens of menu keys D and W: the run-count prompt, one timed run and
// the score lines. The scores stay in the record for the HTML report.
#pragma once

#include <cstdint>

struct ProcessorRecord;

// One run count read after a prompt. Text that is not an integer, and the end
// of input, give 0; an integer too large for 32 bits sets outOfRange.
struct RunCountEntry {
    int32_t value;
    bool outOfRange;
};
RunCountEntry ReadRunCount();

void ShowDhrystone(ProcessorRecord& record);
void ShowWhetstone(ProcessorRecord& record);
