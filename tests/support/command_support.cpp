#include "support/command_support.hpp"

#include "app/command_line.hpp"
#include "common/plain_text.hpp"
#include "names/processor_db.hpp"
#include "support/text.hpp"

#include <sstream>

CommandOutcome RunOptions(const std::vector<std::string>& args) {
    SetDatabaseLocation(VELDRIX_SOURCE_DIR "/data/veldrix.dat");
    std::ostringstream out;
    std::ostringstream err;
    CommandOutcome outcome{RunCommandLine(args, out, err), "", ""};
    outcome.out = out.str();
    outcome.err = err.str();
    SetDatabaseLocation("");
    return outcome;
}

std::string PlainLines(const std::string& lfText) {
    return WithLineEnds(lfText, kPlainLineEnd);
}

// Built from the literal, not from kTestDumpsDir: tables of paths are made
// while the test files' statics are initialised, in no set order.
std::string TestDumpPath(const char* name) {
    return std::string(VELDRIX_SOURCE_DIR "/tests/data/dumps/") + name;
}
