#include "probe/dump_reader.hpp"

#include "common/text_format.hpp"

#include <fstream>
#include <utility>

namespace {

// One recognised leaf line.
struct LeafLine {
    uint32_t leaf = 0;
    uint32_t subLeaf = 0;
    CpuidRegs regs{0, 0, 0, 0};
};

// Our own capture file spreads one leaf over five lines; this is the block
// being read, open after its " -> EAX : " line.
struct CaptureBlock {
    bool open = false;
    uint32_t leaf = 0;
    int filled = 0; // registers read so far, EAX first
    uint32_t regs[4] = {0, 0, 0, 0};
};

const char* const kCaptureRegisterNames[4] = {"EAX", "EBX", "ECX", "EDX"};
const char* const kToolRegisterNames[4] = {"eax=0x", "ebx=0x", "ecx=0x", "edx=0x"};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view line) {
    while (!line.empty() && IsBlank(line.front())) {
        line.remove_prefix(1);
    }
    while (!line.empty() && IsBlank(line.back())) {
        line.remove_suffix(1);
    }
    return line;
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
bool TakeHex(std::string_view& rest, size_t minDigits, size_t maxDigits, uint32_t& value) {
    size_t count = 0;
    uint32_t result = 0;
    while (count < rest.size() && HexDigitValue(rest[count]) >= 0) {
        if (count == maxDigits) {
            return false;
        }
        result = (result << 4) | static_cast<uint32_t>(HexDigitValue(rest[count]));
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

// "[SL nn]" after the registers names the sub-leaf; any other text there is
// an ASCII tag and leaves the line at sub-leaf 0.
uint32_t ReadSubLeafTag(std::string_view rest) {
    uint32_t subLeaf = 0;
    if (TakeText(rest, "[SL") && TakeBlanks(rest) && TakeHex(rest, 1, 8, subLeaf) && TakeText(rest, "]")) {
        return subLeaf;
    }
    return 0;
}

// "CPUID 80000001: 00A00F11-40000000-75C237FF-2FD3FBFF [SL 00] [tag]"
bool ParseReportLine(std::string_view rest, LeafLine& out) {
    uint32_t regs[4];
    if (!TakeText(rest, "CPUID") || !TakeBlanks(rest) || !TakeDword(rest, out.leaf)) {
        return false;
    }
    TakeText(rest, ":");
    if (!TakeBlanks(rest) || !TakeDword(rest, regs[0])) {
        return false;
    }
    for (int i = 1; i < 4; ++i) {
        if (!TakeRegisterSeparator(rest) || !TakeDword(rest, regs[i])) {
            return false;
        }
    }
    if (!rest.empty() && !TakeBlanks(rest)) {
        return false;
    }
    out.regs = CpuidRegs{regs[0], regs[1], regs[2], regs[3]};
    out.subLeaf = ReadSubLeafTag(rest);
    return true;
}

// "0x80000001 0x00: eax=0x00a00f11 ebx=0x40000000 ecx=0x75c237ff edx=0x2fd3fbff",
// or the older "0x80000001: eax=..." without the sub-leaf.
bool ParseToolLine(std::string_view rest, LeafLine& out) {
    uint32_t regs[4];
    if (!TakeText(rest, "0x") || !TakeDword(rest, out.leaf)) {
        return false;
    }
    out.subLeaf = 0;
    if (!TakeText(rest, ":")) {
        if (!TakeBlanks(rest) || !TakeText(rest, "0x") || !TakeHex(rest, 1, 8, out.subLeaf) ||
            !TakeText(rest, ":")) {
            return false;
        }
    }
    for (int i = 0; i < 4; ++i) {
        if (!TakeBlanks(rest) || !TakeText(rest, kToolRegisterNames[i]) || !TakeDword(rest, regs[i])) {
            return false;
        }
    }
    out.regs = CpuidRegs{regs[0], regs[1], regs[2], regs[3]};
    return rest.empty();
}

// "basic_cpuid[1]=00a00f11 00020800 fffa3203 178bfbff", "ext_cpuid[1]=..."
bool ParseLibcpuidLine(std::string_view rest, LeafLine& out) {
    uint32_t base = 0;
    if (TakeText(rest, "ext_cpuid[")) {
        base = 0x80000000u;
    } else if (!TakeText(rest, "basic_cpuid[")) {
        return false;
    }
    uint32_t index = 0;
    uint32_t regs[4];
    if (!TakeIndex(rest, index) || !TakeText(rest, "]=") || !TakeDword(rest, regs[0])) {
        return false;
    }
    for (int i = 1; i < 4; ++i) {
        if (!TakeBlanks(rest) || !TakeDword(rest, regs[i])) {
            return false;
        }
    }
    out.leaf = base + index;
    out.subLeaf = 0;
    out.regs = CpuidRegs{regs[0], regs[1], regs[2], regs[3]};
    return rest.empty();
}

bool ParseLeafLine(std::string_view line, LeafLine& out) {
    return ParseReportLine(line, out) || ParseToolLine(line, out) || ParseLibcpuidLine(line, out);
}

// "<marker> <name> : XXXXXXXX", blanks around the name and the colon free.
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

// Feeds one line to the capture block: a " -> EAX : " line opens a block,
// the four register lines must follow in order (empty lines between them do
// not matter), and anything else closes the block unfinished.
void FeedCaptureLine(std::string_view line, CaptureBlock& block, CpuidTable& table) {
    if (line.empty()) {
        return;
    }
    uint32_t value = 0;
    if (block.open && ParseCaptureLine(line, "+-->", kCaptureRegisterNames[block.filled], value)) {
        block.regs[block.filled++] = value;
        if (block.filled == 4) {
            table.try_emplace(block.leaf,
                              CpuidRegs{block.regs[0], block.regs[1], block.regs[2], block.regs[3]});
            block = CaptureBlock{};
        }
        return;
    }
    block = CaptureBlock{};
    if (ParseCaptureLine(line, "->", "EAX", value)) {
        block.open = true;
        block.leaf = value;
    }
}

// The line starting at start, without its line end; next receives where the
// following line starts. LF, CR LF and a lone CR all end a line.
std::string_view NextLine(std::string_view text, size_t start, size_t& next) {
    size_t end = start;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') {
        ++end;
    }
    if (end == text.size()) {
        next = text.size() + 1;
        return text.substr(start);
    }
    next = end + 1;
    if (text[end] == '\r' && next < text.size() && text[next] == '\n') {
        ++next;
    }
    return text.substr(start, end - start);
}

// Cuts text after its last line end, dropping a line that the size limit
// broke off in the middle.
void DropPartialLine(std::string& text) {
    size_t last = text.find_last_of("\r\n");
    text.resize(last == std::string::npos ? 0 : last + 1);
}

} // namespace

CpuidTable ParseDumpText(std::string_view text) {
    CpuidTable table;
    CaptureBlock block;
    size_t start = 0;
    while (start <= text.size()) {
        size_t next = 0;
        std::string_view line = TrimBlanks(NextLine(text, start, next));
        start = next;
        LeafLine leaf;
        if (ParseLeafLine(line, leaf)) {
            block = CaptureBlock{};
            if (leaf.subLeaf == 0) {
                table.try_emplace(leaf.leaf, leaf.regs);
            }
            continue;
        }
        FeedCaptureLine(line, block, table);
    }
    return table;
}

bool ReadDumpFile(const std::string& path, std::string& text, size_t limit) {
    text.clear();
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    constexpr size_t kChunk = 64 * 1024;
    bool ended = false;
    while (!ended && text.size() <= limit) {
        size_t used = text.size();
        text.resize(used + kChunk);
        file.read(&text[used], static_cast<std::streamsize>(kChunk));
        text.resize(used + static_cast<size_t>(file.gcount()));
        if (file.bad()) {
            text.clear();
            return false;
        }
        ended = file.eof();
    }
    if (text.size() > limit) {
        text.resize(limit);
        DropPartialLine(text);
    }
    return true;
}

bool LoadCpuidDump(const std::string& path, CpuidTable& table) {
    std::string text;
    table.clear();
    if (!ReadDumpFile(path, text)) {
        return false;
    }
    table = ParseDumpText(text);
    return !table.empty();
}
