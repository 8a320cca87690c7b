// The x86-64 level of programs the system compiler links itself: the test
// starts the compiler through a shell, so it runs from the Linux test binary.
#include "elf/elf_isa_level.hpp"
#include "support/run_binary.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Programs the system compiler links with the linker's level marker, and the
// same program with the note removed.
TEST(ElfIsaLevelE2e, ProgramsTheCompilerLinks) {
    std::string folder = MakeTempDir("elf");
    std::string source = folder + "/main.c";
    std::string command = "printf 'int main(void){return 0;}\\n' > " + source + " && cd " + folder +
                          " && gcc -march=x86-64-v3 -Wl,-z,x86-64-v3 main.c -o v3 2>/dev/null";
    if (std::system(command.c_str()) != 0) {
        GTEST_SKIP() << "the toolchain cannot link with -z x86-64-v3";
    }
    ElfIsaLevel v3 = ReadElfIsaLevel(ReadWholeFile(folder + "/v3"));
    EXPECT_EQ(v3.status, ElfIsaStatus::Marked);
    EXPECT_EQ(v3.level, 3);
    std::string strip = "objcopy --remove-section .note.gnu.property " + folder + "/v3 " + folder + "/none";
    ASSERT_EQ(std::system(strip.c_str()), 0);
    EXPECT_EQ(ReadElfIsaLevel(ReadWholeFile(folder + "/none")).status, ElfIsaStatus::NoMarker);
}

} // namespace
