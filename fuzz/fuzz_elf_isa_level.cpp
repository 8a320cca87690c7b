// libFuzzer target for the ELF level reader of --can-run: any bytes, read as
// a program file, must give a verdict without reading outside the input; a
// marked level is always 1..4; and no input may take over a second, as the
// reader's work is bounded by its budget whatever the file's tables say.
#include "elf/elf_isa_level.hpp"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::chrono::seconds kLongestReading{1};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto start = std::chrono::steady_clock::now();
    ElfIsaLevel read = ReadElfIsaLevel(std::string_view(reinterpret_cast<const char*>(data), size));
    bool levelValid =
        read.status == ElfIsaStatus::Marked ? (read.level >= 1 && read.level <= 4) : read.level == 0;
    if (!levelValid || std::chrono::steady_clock::now() - start > kLongestReading) {
        std::abort();
    }
    return 0;
}
