// The console reader: line ends typed on any system, end of input, and lines
// too long to keep.
#include "console/console_io.hpp"
#include "support/harness.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ReadCase {
    const char* name;
    std::string input;
    std::vector<std::string> lines; // every line ConReadLine gives before it reports the end
};

std::vector<std::string> ReadAllLines(const std::string& input) {
    ConsoleCapture console(input);
    std::vector<std::string> lines;
    std::string line;
    while (ConReadLine(line)) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace

TEST(ConsoleReader, LinesEndAtLfWithAnOptionalCr) {
    const std::string longest(kConsoleLineLimit, 'n');
    const ReadCase cases[] = {
        {"LF", "one\ntwo\n", {"one", "two"}},
        {"CR LF", "one\r\ntwo\r\n", {"one", "two"}},
        {"empty lines", "\n\r\n", {"", ""}},
        {"last line without an end", "one\nlast", {"one", "last"}},
        {"CR inside a line stays", "a\rb\n", {"a\rb"}},
        {"two CRs keep one", "a\r\r\n", {"a\r"}},
        {"no input", "", {}},
        {"longest line kept whole", longest + "\r\nnext\n", {longest, "next"}},
        {"longer line cut, its rest dropped", longest + "tail\r\nnext\n", {longest, "next"}},
        {"CR stored before the cut is text",
         std::string(kConsoleLineLimit - 1, 'n') + "\r\r\n",
         {std::string(kConsoleLineLimit - 1, 'n') + "\r"}},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(ReadAllLines(c.input), c.lines) << c.name;
    }
}
