#include "cpuid/dump_lines.hpp"

#include "common/text_format.hpp"

namespace {

const char* const kToolRegisterNames[4] = {"eax=0x", "ebx=0x", "ecx=0x", "edx=0x"};

// The libcpuid arrays: the first two number leaves from a base, the others
// number the sub-leaves of one leaf.
struct LibcpuidArray {
    std::string_view name;
    uint32_t leaf;
    bool indexIsSubleaf;
};

const LibcpuidArray kLibcpuidArrays[] = {
    {"basic_cpuid[", 0x00000000u, false},    {"ext_cpuid[", 0x80000000u, false},
    {"intel_fn4[", 0x00000004u, true},       {"intel_fn11[", 0x0000000Bu, true},
    {"intel_fn12h[", 0x00000012u, true},     {"intel_fn14h[", 0x00000014u, true},
    {"amd_fn8000001dh[", 0x8000001Du, true},
};

// libcpuid writes 80 dashes; shorter rules (our capture file has some, led by
// a blank) are not its end line.
constexpr size_t kLibcpuidEndDashes = 40;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

void SkipBlanks(std::string_view& rest) {
    while (!rest.empty() && IsBlank(rest.front())) {
        rest.remove_prefix(1);
    }
}

// At least one blank or tab.
bool TakeBlanks(std::string_view& rest) {
    if (rest.empty() || !IsBlank(rest.front())) {
        return false;
    }
    SkipBlanks(rest);
    return true;
}

bool TakeText(std::string_view& rest, std::string_view text) {
    if (rest.substr(0, text.size()) != text) {
        return false;
    }
    rest.remove_prefix(text.size());
    return true;
}

// A run of hex digits whose length lies between minDigits and maxDigits; a
// longer run is refused, not cut.
template <typename Value>
bool TakeHex(std::string_view& rest, size_t minDigits, size_t maxDigits, Value& value) {
    size_t count = 0;
    Value result = 0;
    int digit = 0;
    while (count < rest.size() && (digit = HexDigitValue(rest[count])) >= 0) {
        if (count == maxDigits) {
            return false;
        }
        result = static_cast<Value>((result << 4) | static_cast<Value>(digit));
        ++count;
    }
    if (count < minDigits) {
        return false;
    }
    rest.remove_prefix(count);
    value = result;
    return true;
}

bool TakeDword(std::string_view& rest, uint32_t& value) {
    return TakeHex(rest, 8, 8, value);
}

// A decimal number of one to nine digits, so that it stays below 2^31.
bool TakeIndex(std::string_view& rest, uint32_t& value) {
    size_t count = 0;
    uint32_t result = 0;
    while (count < rest.size() && rest[count] >= '0' && rest[count] <= '9') {
        if (count == 9) {
            return false;
        }
        result = result * 10 + static_cast<uint32_t>(rest[count] - '0');
        ++count;
    }
    if (count == 0) {
        return false;
    }
    rest.remove_prefix(count);
    value = result;
    return true;
}

// Between two registers of a report line: one hyphen, or blanks and tabs.
bool TakeRegisterSeparator(std::string_view& rest) {
    return TakeText(rest, "-") || TakeBlanks(rest);
}

// "[SL nn]" somewhere after the registers names the sub-leaf; without it the
// line does not name one.
std::optional<uint32_t> FindSubleafTag(std::string_view rest) {
    size_t at = rest.find("[SL");
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    rest.remove_prefix(at + 3);
    uint32_t subleaf = 0;
    if (TakeBlanks(rest) && TakeHex(rest, 1, 8, subleaf) && TakeText(rest, "]")) {
        return subleaf;
    }
    return std::nullopt;
}

// "CPUID 80000001: 00A00F11-..." and its variants "CPUID 80000001 :00A00F11",
// "CPUID 80000001 : 00A00F11" and "CPUID 80000001 00A00F11".
bool ParseReportKey(std::string_view rest, LeafLine& out) {
    if (!TakeText(rest, "CPUID") || !TakeBlanks(rest) || !TakeDword(rest, out.leaf)) {
        return false;
    }
    // A blank before the colon, after it, or both; a colon glued to both
    // the leaf and the registers is no leaf line.
    bool blankBefore = TakeBlanks(rest);
    TakeText(rest, ":");
    bool blankAfter = TakeBlanks(rest);
    if (!blankBefore && !blankAfter) {
        return false;
    }
    out.layout = RegisterLayout::Report;
    out.registers = rest;
    out.subleaf = FindSubleafTag(rest);
    return true;
}

// "0x80000001 0x00: eax=0x..." or the older "0x80000001: eax=...".
bool ParseToolKey(std::string_view rest, LeafLine& out) {
    if (!TakeText(rest, "0x") || !TakeDword(rest, out.leaf)) {
        return false;
    }
    out.subleaf = std::nullopt;
    if (!TakeText(rest, ":")) {
        uint32_t subleaf = 0;
        if (!TakeBlanks(rest) || !TakeText(rest, "0x") || !TakeHex(rest, 1, 8, subleaf) ||
            !TakeText(rest, ":")) {
            return false;
        }
        out.subleaf = subleaf;
    }
    out.layout = RegisterLayout::Tool;
    out.registers = rest;
    return true;
}

// "basic_cpuid[1]=00a00f11 ...", "intel_fn4[2]=00000143 ...".
bool ParseLibcpuidKey(std::string_view rest, LeafLine& out) {
    for (const LibcpuidArray& array : kLibcpuidArrays) {
        uint32_t index = 0;
        if (!TakeText(rest, array.name)) {
            continue;
        }
        if (!TakeIndex(rest, index) || !TakeText(rest, "]=")) {
            return false;
        }
        out.leaf = array.indexIsSubleaf ? array.leaf : array.leaf + index;
        out.subleaf = array.indexIsSubleaf ? index : 0;
        out.layout = RegisterLayout::Libcpuid;
        out.registers = rest;
        return true;
    }
    return false;
}

bool ParseReportRegisters(std::string_view rest, uint32_t regs[4]) {
    if (!TakeDword(rest, regs[0])) {
        return false;
    }
    for (int i = 1; i < 4; ++i) {
        if (!TakeRegisterSeparator(rest) || !TakeDword(rest, regs[i])) {
            return false;
        }
    }
    return rest.empty() || IsBlank(rest.front());
}

bool ParseToolRegisters(std::string_view rest, uint32_t regs[4]) {
    for (int i = 0; i < 4; ++i) {
        if (!TakeBlanks(rest) || !TakeText(rest, kToolRegisterNames[i]) || !TakeDword(rest, regs[i])) {
            return false;
        }
    }
    return rest.empty();
}

bool ParseLibcpuidRegisters(std::string_view rest, uint32_t regs[4]) {
    if (!TakeDword(rest, regs[0])) {
        return false;
    }
    for (int i = 1; i < 4; ++i) {
        if (!TakeBlanks(rest) || !TakeDword(rest, regs[i])) {
            return false;
        }
    }
    return rest.empty();
}

} // namespace

bool ParseLeafKey(std::string_view line, LeafLine& out) {
    if (line.empty()) {
        return false;
    }
    switch (line.front()) {
    case 'C':
        return ParseReportKey(line, out);
    case '0':
        return ParseToolKey(line, out);
    case 'a':
    case 'b':
    case 'e':
    case 'i':
        return ParseLibcpuidKey(line, out);
    default:
        return false;
    }
}

bool ParseLeafRegisters(const LeafLine& line, CpuidRegs& regs) {
    uint32_t values[4] = {0, 0, 0, 0};
    bool parsed = false;
    switch (line.layout) {
    case RegisterLayout::Report:
        parsed = ParseReportRegisters(line.registers, values);
        break;
    case RegisterLayout::Tool:
        parsed = ParseToolRegisters(line.registers, values);
        break;
    case RegisterLayout::Libcpuid:
        parsed = ParseLibcpuidRegisters(line.registers, values);
        break;
    }
    if (parsed) {
        regs = CpuidRegs{values[0], values[1], values[2], values[3]};
    }
    return parsed;
}

bool ParseProcessorHeader(std::string_view line, std::optional<uint32_t>& osCpu) {
    std::string_view rest = line;
    uint32_t number = 0;
    if (TakeText(rest, "CPU")) {
        if (TakeText(rest, ":")) {
            osCpu = std::nullopt;
            return rest.empty();
        }
        if (TakeBlanks(rest) && TakeIndex(rest, number) && TakeText(rest, ":") && rest.empty()) {
            osCpu = number;
            return true;
        }
        return false;
    }
    if (!TakeText(rest, "------[")) {
        return false;
    }
    size_t at = rest.find("Logical CPU #");
    if (at == std::string_view::npos) {
        return false;
    }
    rest.remove_prefix(at + 13);
    if (!TakeIndex(rest, number) || !TakeBlanks(rest) || !TakeText(rest, "]")) {
        return false;
    }
    osCpu = number;
    return true;
}

bool ParseXcr0Line(std::string_view line, uint64_t& value) {
    return TakeText(line, "xcr0=0x") && TakeHex(line, 16, 16, value) && line.empty();
}

bool IsLibcpuidEndLine(std::string_view line) {
    return line.size() >= kLibcpuidEndDashes && line.find_first_not_of('-') == std::string_view::npos;
}

bool ParseCaptureLine(std::string_view rest, std::string_view marker, std::string_view name,
                      uint32_t& value) {
    if (!TakeText(rest, marker)) {
        return false;
    }
    SkipBlanks(rest);
    if (!TakeText(rest, name)) {
        return false;
    }
    SkipBlanks(rest);
    if (!TakeText(rest, ":")) {
        return false;
    }
    SkipBlanks(rest);
    return TakeDword(rest, value) && rest.empty();
}
