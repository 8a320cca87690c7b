// Associativity texts of the AMD cache leaves, shared by the console views
// and the HTML report.
#pragma once

#include <cstdint>
#include <string>

enum class WaysForm {
    Plural,     // "8 ways"
    Hyphenated, // "8-way"
};

// 255 is "full"; any other value is the number followed by " ways".
std::string L1WaysText(uint8_t code);

// The 4-bit code of leaves 0x80000006: off, direct mapped, 2/4/8/16 ways,
// full, and the code itself followed by " ways" for the undefined codes.
std::string L2WaysText(uint32_t code, WaysForm form);
