// --measure after --list or --json: time this machine's time-stamp counter
// (half a second) and state it as clock.measured_mhz. Without it the clock
// is not measured, so a short command stays short.
#pragma once

#include "app/command_request.hpp"

#include <string>
#include <vector>

// The operands without "--measure"; measure says whether it was there.
std::vector<std::string> WithoutMeasureOption(const std::vector<std::string>& operands, bool& measure);

// Measures the counter into facts when the processor has one.
void MeasureTimeStampCounter(CapabilityFacts& facts);
