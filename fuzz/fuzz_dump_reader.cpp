// libFuzzer target for the CPUID dump reader. Any bytes must parse without a
// sanitizer report, and what the reader finds must hold up: written back in
// our capture layout it reads back the same, and a second copy of the text
// appended to the first changes none of the leaves already found.
#include "common/text_format.hpp"
#include "probe/dump_reader.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::string CaptureText(const CpuidTable& table) {
    std::string text;
    for (const auto& [leaf, regs] : table) {
        text += " -> EAX : " + DwordToHex(leaf) + "\r\n";
        text += " +--> EAX : " + DwordToHex(regs.eax) + "\r\n";
        text += " +--> EBX : " + DwordToHex(regs.ebx) + "\r\n";
        text += " +--> ECX : " + DwordToHex(regs.ecx) + "\r\n";
        text += " +--> EDX : " + DwordToHex(regs.edx) + "\r\n\r\n";
    }
    return text;
}

bool SameRegs(const CpuidRegs& a, const CpuidRegs& b) {
    return a.eax == b.eax && a.ebx == b.ebx && a.ecx == b.ecx && a.edx == b.edx;
}

bool SameTable(const CpuidTable& a, const CpuidTable& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (const auto& [leaf, regs] : a) {
        auto found = b.find(leaf);
        if (found == b.end() || !SameRegs(found->second, regs)) {
            return false;
        }
    }
    return true;
}

// Every leaf of first appears in both with the same registers.
bool KeepsFirstOccurrences(const CpuidTable& first, const CpuidTable& both) {
    for (const auto& [leaf, regs] : first) {
        auto found = both.find(leaf);
        if (found == both.end() || !SameRegs(found->second, regs)) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    CpuidTable table = ParseDumpText(text);
    if (!SameTable(ParseDumpText(CaptureText(table)), table)) {
        std::abort();
    }
    std::string twice = std::string(text) + "\n" + std::string(text);
    if (!KeepsFirstOccurrences(table, ParseDumpText(twice))) {
        std::abort();
    }
    return 0;
}
