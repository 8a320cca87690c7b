// Texts from other machines made harmless before a terminal or a listing shows them.
#include "common/plain_text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ControlByteCase {
    const char* rule;
    std::string text;
    std::string shown;
};

const ControlByteCase kControlByteCases[] = {
    {"plain brand string kept", "Intel(R) Core(TM)2 CPU 6800  @ 2.93GHz",
     "Intel(R) Core(TM)2 CPU 6800  @ 2.93GHz"},
    {"window title sequence", "\x1b]0;pwned\x07", "?]0;pwned?"},
    {"clear screen sequence", "\x1b[2JAMD", "?[2JAMD"},
    {"line ends inside a text", "one\r\ntwo\n", "one??two?"},
    {"tab and backspace", "a\tb\bc", "a?b?c"},
    {"NUL kept as a position", std::string("a\0b", 3), "a?b"},
    {"DEL", "x\x7fy", "x?y"},
    {"blank and tilde are printable", " ~", " ~"},
    {"bytes above 0x7F pass unchanged", "\xae\x80\xff", "\xae\x80\xff"},
    {"empty", "", ""},
};

} // namespace

TEST(WithoutControlBytes, ReplacesControlBytesOnly) {
    for (const ControlByteCase& c : kControlByteCases) {
        EXPECT_EQ(WithoutControlBytes(c.text), c.shown) << c.rule;
    }
}

TEST(WithoutControlBytes, ThirtyThreeOfTheByteValuesAreReplaced) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all.push_back(static_cast<char>(byte));
    }
    std::string shown = WithoutControlBytes(all);
    ASSERT_EQ(shown.size(), 256u);
    size_t changed = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        if (shown[i] != all[i]) {
            EXPECT_EQ(shown[i], '?') << "byte " << i;
            ++changed;
        }
    }
    EXPECT_EQ(changed, 33u) << "0x00-0x1F and 0x7F";
    EXPECT_EQ(shown.substr(0x20, 0x5F), all.substr(0x20, 0x5F)) << "blank to tilde";
}
