#include "probe/vars.hpp"

ProcessorRecord gRecord;

void ResetProcessorRecord() {
    gRecord = ProcessorRecord{};
}
