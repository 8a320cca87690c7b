#include "common/text_format.hpp"

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

} // namespace

DwordHalves SplitDword(uint32_t value) {
    return DwordHalves{static_cast<uint16_t>(value >> 16), static_cast<uint16_t>(value & 0xFFFFu)};
}

std::string ByteToHex(uint8_t value) {
    return std::string{kHexDigits[value >> 4], kHexDigits[value & 0x0F]};
}

std::string WordToHex(uint16_t value) {
    return ByteToHex(static_cast<uint8_t>(value >> 8)) + ByteToHex(static_cast<uint8_t>(value & 0xFF));
}

std::string DwordToHex(uint32_t value) {
    DwordHalves halves = SplitDword(value);
    return WordToHex(halves.high) + WordToHex(halves.low);
}

std::string QwordToHex(uint64_t value) {
    return DwordToHex(static_cast<uint32_t>(value >> 32)) + DwordToHex(static_cast<uint32_t>(value));
}

std::string HexDigit(uint8_t value) {
    return ByteToHex(value).substr(1);
}

std::string DwordToBits(uint32_t value) {
    std::string bits;
    bits.reserve(32);
    for (int n = 31; n >= 0; --n) {
        bits.push_back(((value >> n) & 1u) ? '1' : '0');
    }
    return bits;
}

std::string StripTabs(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (c != '\t') {
            result.push_back(c);
        }
    }
    return result;
}

std::string PadRight(const std::string& text, int32_t width) {
    if (width <= 0 || text.size() >= static_cast<size_t>(width)) {
        return text;
    }
    return text + std::string(static_cast<size_t>(width) - text.size(), ' ');
}

double TimeToSeconds(uint16_t hours, uint16_t minutes, uint16_t seconds, uint16_t milliseconds) {
    // 64-bit so that no argument can overflow the sum.
    int64_t total =
        int64_t{hours} * 3600000 + int64_t{minutes} * 60000 + int64_t{seconds} * 1000 + milliseconds;
    return static_cast<double>(total) / 1000.0;
}

long double PowerOf(uint8_t base, uint8_t exponent) {
    if (exponent == 0) {
        return 1.0L;
    }
    if (base == 2) {
        return std::ldexp(1.0L, exponent);
    }
    long double result = 1.0L;
    for (unsigned i = 0; i < exponent; ++i) {
        result *= base;
    }
    return result;
}

std::string PathDirectory(const std::string& path) {
    size_t last = path.find_last_of("/\\");
    if (last == std::string::npos) {
        return std::string();
    }
    return path.substr(0, last + 1);
}

std::string FixedReal(long double value, int width, int decimals) {
    int needed = std::snprintf(nullptr, 0, "%*.*Lf", width, decimals, value);
    if (needed < 0) {
        return std::string();
    }
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    int written = std::snprintf(buffer.data(), buffer.size(), "%*.*Lf", width, decimals, value);
    if (written != needed) {
        return std::string();
    }
    return std::string(buffer.data(), static_cast<size_t>(written));
}

std::string Decimal(uint64_t value) {
    return std::to_string(value);
}

std::string NulText(const uint8_t* bytes, size_t size) {
    size_t length = 0;
    while (length < size && bytes[length] != 0) {
        ++length;
    }
    return std::string(reinterpret_cast<const char*>(bytes), length);
}

bool ParseInteger(const std::string& text, int32_t& value, HexPrefixes prefixes) {
    return ReadIntegerText(text, value, prefixes) == IntegerText::Valid;
}

IntegerText ReadIntegerText(const std::string& text, int32_t& value, HexPrefixes prefixes) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    bool bareX = prefixes == HexPrefixes::AlsoBareX && i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (i < text.size() && (text[i] == '$' || bareX)) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) {
        return IntegerText::NotInteger;
    }
    // Every character must be a digit; the value stops growing once it is
    // beyond the 32-bit range, so no length of text can overflow it.
    const int64_t beyond = int64_t{2147483648} + 1;
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        int digit = HexDigitValue(text[i]);
        if (digit < 0 || digit >= base) {
            return IntegerText::NotInteger;
        }
        magnitude = magnitude >= beyond ? beyond : magnitude * base + digit;
    }
    int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX || result < INT32_MIN) {
        return IntegerText::OutOfRange;
    }
    value = static_cast<int32_t>(result);
    return IntegerText::Valid;
}

void DwordToBytes(uint32_t value, uint8_t* out) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}
