// Text and number helpers shared by every subsystem.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct DwordHalves {
    uint16_t high; // bits 16..31
    uint16_t low;  // bits 0..15
};

DwordHalves SplitDword(uint32_t value);

// Upper-case hexadecimal with leading zeros, no prefix: 2, 4, 8 or 16 digits.
std::string ByteToHex(uint8_t value);
std::string WordToHex(uint16_t value);
std::string DwordToHex(uint32_t value);
std::string QwordToHex(uint64_t value);

// The low four bits of a byte as one upper-case hex digit.
std::string HexDigit(uint8_t value);

// 32 characters of "0" and "1", bit 31 first.
std::string DwordToBits(uint32_t value);

std::string StripTabs(const std::string& text);

// Fills text with blanks on the right up to width; a longer text is never cut.
std::string PadRight(const std::string& text, int32_t width);

// A time of day in seconds, to the millisecond.
double TimeToSeconds(uint16_t hours, uint16_t minutes, uint16_t seconds, uint16_t milliseconds);

// base to the power exponent, exact for powers of two.
long double PowerOf(uint8_t base, uint8_t exponent);

// The leading part of a path up to and including its last "/" or "\".
std::string PathDirectory(const std::string& path);

// A real right-aligned in width characters with the given decimals; a wider
// number is written whole.
std::string FixedReal(long double value, int width, int decimals);

// An unsigned value in plain decimal.
std::string Decimal(uint64_t value);

// Bytes up to the first NUL, or all of them when there is none.
std::string NulText(const uint8_t* bytes, size_t size);

// Which prefixes mark hexadecimal digits: "$" and "0x" everywhere; the data
// file's numbered keys also take a bare "x" or "X".
enum class HexPrefixes {
    DollarOrZeroX,
    AlsoBareX,
};

// Reads text wholly as a signed 32-bit integer: leading blanks, an optional
// sign, then decimal digits, or hexadecimal after one of the prefixes ("0x"
// in either case). False for anything else, including values outside the
// 32-bit range.
bool ParseInteger(const std::string& text, int32_t& value, HexPrefixes prefixes = HexPrefixes::DollarOrZeroX);

// The same reading, telling an integer too large for 32 bits apart from text
// that is no integer at all.
enum class IntegerText {
    Valid,
    NotInteger,
    OutOfRange,
};
IntegerText ReadIntegerText(const std::string& text, int32_t& value,
                            HexPrefixes prefixes = HexPrefixes::DollarOrZeroX);

// The four bytes of a register into out, lowest byte first (as CPUID text is laid out).
void DwordToBytes(uint32_t value, uint8_t* out);

// The value of one hex digit in either case, or -1 for any other character.
// Inline: the dump reader runs it for every register digit of every line.
inline int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}
