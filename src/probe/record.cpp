#include "probe/record.hpp"

ProcessorRecord gRecord;

void ResetProcessorRecord() {
    gRecord = ProcessorRecord{};
}
