#include "views/cache_text.hpp"

#include "common/text_format.hpp"

std::string L1WaysText(uint8_t code) {
    if (code == 255) {
        return "full";
    }
    return Decimal(code) + " ways";
}

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
    case 6:
        return plural ? "8 ways" : "8-way";
    case 8:
        return plural ? "16 ways" : "16-way";
    case 15:
        return "full";
    default:
        return Decimal(code) + " ways";
    }
}
