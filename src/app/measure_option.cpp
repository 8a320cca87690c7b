#include "app/measure_option.hpp"

#include "classic/clock.hpp"

std::vector<std::string> WithoutMeasureOption(const std::vector<std::string>& operands, bool& measure) {
    std::vector<std::string> rest;
    measure = false;
    for (const std::string& operand : operands) {
        if (operand == "--measure" && !measure) {
            measure = true;
        } else {
            rest.push_back(operand);
        }
    }
    return rest;
}

void MeasureTimeStampCounter(CapabilityFacts& facts) {
    if (!facts.fromHardware || !facts.details.clock.hasCounter) {
        return;
    }
    uint16_t normalizedMhz = 0;
    facts.details.clock.measuredMhz = MeasureClock(MeasureHardwareTicks, normalizedMhz);
}
