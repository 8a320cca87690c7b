// Associativity texts of the AMD cache leaves.
#include "views/cache_text.hpp"

#include <gtest/gtest.h>

TEST(CacheText, L1WaysOnlyKnowsFull) {
    struct Row {
        uint8_t code;
        const char* expected;
    };
    const Row rows[] = {
        {0, "0 ways"}, {1, "1 ways"},   {2, "2 ways"},     {3, "3 ways"}, {6, "6 ways"},
        {8, "8 ways"}, {15, "15 ways"}, {254, "254 ways"}, {255, "full"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(L1WaysText(row.code), row.expected) << "code " << int(row.code);
    }
}

TEST(CacheText, L2WaysBothForms) {
    struct Row {
        uint32_t code;
        const char* plural;
        const char* hyphenated;
    };
    const Row rows[] = {
        {0, "off [disabled]", "off [disabled]"},
        {1, "direct mapped", "direct mapped"},
        {2, "2 ways", "2-way"},
        {3, "3 ways", "3 ways"},
        {4, "4 ways", "4-way"},
        {5, "5 ways", "5 ways"},
        {6, "8 ways", "8-way"},
        {7, "7 ways", "7 ways"},
        {8, "16 ways", "16-way"},
        {9, "9 ways", "9 ways"},
        {12, "12 ways", "12 ways"},
        {14, "14 ways", "14 ways"},
        {15, "full", "full"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(L2WaysText(row.code, WaysForm::Plural), row.plural) << "code " << row.code;
        EXPECT_EQ(L2WaysText(row.code, WaysForm::Hyphenated), row.hyphenated) << "code " << row.code;
    }
}
