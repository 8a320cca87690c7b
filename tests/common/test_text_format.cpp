// Text and number helpers.
#include "common/text_format.hpp"

#include <gtest/gtest.h>

#include <cmath>

TEST(Funcs, HexTexts) {
    EXPECT_EQ(ByteToHex(0), "00");
    EXPECT_EQ(ByteToHex(255), "FF");
    EXPECT_EQ(ByteToHex(0x2C), "2C");
    EXPECT_EQ(WordToHex(0x0A0B), "0A0B");
    EXPECT_EQ(DwordToHex(1), "00000001");
    EXPECT_EQ(DwordToHex(0x80000008u), "80000008");
    EXPECT_EQ(DwordToHex(0xDEADBEEFu), "DEADBEEF");
    EXPECT_EQ(HexDigit(0x1F), "F");
    EXPECT_EQ(HexDigit(6), "6");
}

TEST(Funcs, SplitDwordGivesHalves) {
    DwordHalves halves = SplitDword(0x12345678u);
    EXPECT_EQ(halves.high, 0x1234);
    EXPECT_EQ(halves.low, 0x5678);
}

TEST(Funcs, DwordToBitsPutsBit31First) {
    EXPECT_EQ(DwordToBits(1), std::string(31, '0') + "1");
    EXPECT_EQ(DwordToBits(0x80000000u), "1" + std::string(31, '0'));
    EXPECT_EQ(DwordToBits(0x00000683u), "00000000000000000000011010000011");
}

TEST(Funcs, StripTabsAndPadRight) {
    EXPECT_EQ(StripTabs("\t\t\t"), "");
    EXPECT_EQ(StripTabs("0000\t1111 \t22"), "00001111 22");
    EXPECT_EQ(PadRight("abcde", 3), "abcde");
    EXPECT_EQ(PadRight("abcde", 8), "abcde   ");
    EXPECT_EQ(PadRight("abcde", 5), "abcde");
    EXPECT_EQ(PadRight("abc", 0), "abc");
    EXPECT_EQ(PadRight("", 4), "    ");
    EXPECT_EQ(PadRight("abc", -5), "abc");
}

TEST(Funcs, TimeToSeconds) {
    EXPECT_DOUBLE_EQ(TimeToSeconds(1, 2, 3, 4), 3723.004);
    EXPECT_DOUBLE_EQ(TimeToSeconds(0, 0, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(TimeToSeconds(23, 59, 59, 999), 86399.999);
}

TEST(Funcs, PowerOfIsExact) {
    struct Row {
        uint8_t base, exponent;
        long double expected;
    };
    const Row rows[] = {
        {2, 36, 68719476736.0L},
        {2, 0, 1.0L},
        {0, 0, 1.0L},
        {7, 0, 1.0L},
        {0, 5, 0.0L},
        {2, 64, 18446744073709551616.0L},
        {2, 63, 9223372036854775808.0L},
        {3, 4, 81.0L},
        {10, 12, 1000000000000.0L},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PowerOf(row.base, row.exponent), row.expected) << int(row.base) << "^" << int(row.exponent);
    }
    EXPECT_EQ(PowerOf(2, 255), std::ldexp(1.0L, 255));
}

TEST(Funcs, PathDirectoryCutsAfterTheLastSeparator) {
    EXPECT_EQ(PathDirectory("C:\\Tools\\veldrix.exe"), "C:\\Tools\\");
    EXPECT_EQ(PathDirectory("/usr/local/bin/veldrix"), "/usr/local/bin/");
    EXPECT_EQ(PathDirectory("C:\\Tools\\"), "C:\\Tools\\");
    EXPECT_EQ(PathDirectory("veldrix"), "");
    EXPECT_EQ(PathDirectory("Z:\\home/user\\bin/veldrix"), "Z:\\home/user\\bin/");
}

TEST(Funcs, FixedRealRightAlignsAndNeverCuts) {
    EXPECT_EQ(FixedReal(733.2, 8, 3), " 733.200");
    EXPECT_EQ(FixedReal(1993.5, 8, 3), "1993.500");
    EXPECT_EQ(FixedReal(12345.25, 8, 3), "12345.250");
    EXPECT_EQ(FixedReal(std::ldexp(1.0L, 32), 12, 0), "  4294967296");
    EXPECT_EQ(FixedReal(std::ldexp(1.0L, 36), 12, 0), " 68719476736");
    EXPECT_EQ(FixedReal(std::ldexp(1.0L, 48), 12, 0), "281474976710656");
    EXPECT_EQ(FixedReal(2.5, 11, 4), "     2.5000");
}

TEST(Funcs, NulTextStopsAtTheFirstNul) {
    const uint8_t withNul[6] = {' ', 'A', 'B', 0, 'C', 'D'};
    const uint8_t withoutNul[3] = {'x', 'y', 'z'};
    EXPECT_EQ(NulText(withNul, 6), " AB");
    EXPECT_EQ(NulText(withoutNul, 3), "xyz");
    EXPECT_EQ(NulText(withNul + 3, 3), "");
}

TEST(Funcs, ParseInteger) {
    // ok: read with "$" and "0x" only; okBareX: read as a numbered key is.
    struct Row {
        const char* text;
        bool ok, okBareX;
        int32_t value;
    };
    const Row rows[] = {
        {"0", true, true, 0},
        {"31", true, true, 31},
        {"-1", true, true, -1},
        {"+7", true, true, 7},
        {"  12", true, true, 12},
        {"05", true, true, 5},
        {"$1F", true, true, 31},
        {"0x1f", true, true, 31},
        {"0X1f", true, true, 31},
        {"-$10", true, true, -16},
        {"x10", false, true, 16},
        {"X10", false, true, 16},
        {"2147483647", true, true, INT32_MAX},
        {"-2147483648", true, true, INT32_MIN},
        {"2147483648", false, false, 0},
        {"abc", false, false, 0},
        {"", false, false, 0},
        {"12a", false, false, 0},
        {"12 ", false, false, 0},
        {"-", false, false, 0},
        {"0x", false, false, 0},
        {"x", false, false, 0},
        {"$", false, false, 0},
        {"99999999999999999999", false, false, 0},
    };
    for (const Row& row : rows) {
        int32_t value = 0;
        EXPECT_EQ(ParseInteger(row.text, value), row.ok) << row.text;
        if (row.ok) {
            EXPECT_EQ(value, row.value) << row.text;
        }
        value = 0;
        EXPECT_EQ(ParseInteger(row.text, value, HexPrefixes::AlsoBareX), row.okBareX) << row.text;
        if (row.okBareX) {
            EXPECT_EQ(value, row.value) << row.text;
        }
    }
}

TEST(Funcs, ReadIntegerTextTellsTooLargeFromNotAnInteger) {
    struct Row {
        const char* text;
        IntegerText expected;
    };
    const Row rows[] = {
        {"12", IntegerText::Valid},
        {"99999999999999999999999999", IntegerText::OutOfRange},
        {"-2147483649", IntegerText::OutOfRange},
        {"$FFFFFFFFF", IntegerText::OutOfRange},
        {"9999999999x", IntegerText::NotInteger},
        {"ten", IntegerText::NotInteger},
    };
    for (const Row& row : rows) {
        int32_t value = 0;
        EXPECT_EQ(ReadIntegerText(row.text, value), row.expected) << row.text;
    }
}
