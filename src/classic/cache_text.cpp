#include "classic/cache_text.hpp"

#include "common/text_format.hpp"

std::string L1WaysText(uint8_t code) {
    if (code == 255) {
        return "full";
    }
    return Decimal(code) + " ways";
}

// The associativity field of 0x80000006. Code 3 is three ways; 7 has no
// meaning and 9 is used only by the L3 field, so those show the code itself.
std::string L2WaysText(uint32_t code, WaysForm form) {
    bool plural = form == WaysForm::Plural;
    switch (code) {
    case 0:
        return "off [disabled]";
    case 1:
        return "direct mapped";
    case 2:
        return plural ? "2 ways" : "2-way";
    case 4:
        return plural ? "4 ways" : "4-way";
    case 5:
        return plural ? "6 ways" : "6-way";
    case 6:
        return plural ? "8 ways" : "8-way";
    case 8:
        return plural ? "16 ways" : "16-way";
    case 10:
        return plural ? "32 ways" : "32-way";
    case 11:
        return plural ? "48 ways" : "48-way";
    case 12:
        return plural ? "64 ways" : "64-way";
    case 13:
        return plural ? "96 ways" : "96-way";
    case 14:
        return plural ? "128 ways" : "128-way";
    case 15:
        return "full";
    default:
        return Decimal(code) + " ways";
    }
}
