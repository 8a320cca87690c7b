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

namespace {

// What a terminal takes as a command: C0 and DEL as WithoutControlBytes, and C1.
const ControlByteCase kTerminalControlCases[] = {
    {"C0 and DEL", "\x1b[2J\r\n\x7f", "?[2J???"},
    {"raw C1 bytes", "\x9b[2Ja\x85z", "?[2Ja?z"},
    {"U+009B, U+0080 and U+009F written in UTF-8", "\xc2\x9b[2J\xc2\x80\xc2\x9f", "?[2J??"},
    {"e acute, euro, no-break space, emoji kept", "\xc3\xa9\xe2\x82\xac\xc2\xa0\xf0\x9f\x98\x80",
     "\xc3\xa9\xe2\x82\xac\xc2\xa0\xf0\x9f\x98\x80"},
    {"truncated euro sign: its C1 byte replaced", "\xe2\x82", "\xe2?"},
    {"overlong form is not UTF-8", "\xc0\x9b", "\xc0?"},
};

} // namespace

TEST(WithoutTerminalControls, ReplacesC0DeleteAndC1Only) {
    for (const ControlByteCase& c : kTerminalControlCases) {
        EXPECT_EQ(WithoutTerminalControls(c.text), c.shown) << c.rule;
    }
}
