#include "support/elf_support.hpp"

namespace {

void Put(std::string& bytes, size_t at, uint64_t value, int width) {
    if (bytes.size() < at + static_cast<size_t>(width)) {
        bytes.resize(at + static_cast<size_t>(width), '\0');
    }
    for (int i = 0; i < width; ++i) {
        bytes[at + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

} // namespace

size_t ElfNotesOffset(const ElfLayout& layout) {
    const size_t header = layout.wide ? 64 : 52;
    const size_t entry = layout.inSections ? (layout.wide ? 64 : 40) : (layout.wide ? 56 : 32);
    return header + entry * (1 + size_t(layout.moreSegments));
}

// One header, one program (or section) header, one property note; then the
// further note segments' headers and their region.
std::string MakeElf(const ElfLayout& layout) {
    std::string elf = std::string("\x7f"
                                  "ELF",
                                  4);
    const size_t header = layout.wide ? 64 : 52;
    const size_t entry = layout.inSections ? (layout.wide ? 64 : 40) : (layout.wide ? 56 : 32);
    const size_t note = ElfNotesOffset(layout);
    const int word = layout.wide ? 8 : 4;
    Put(elf, 4, layout.wide ? 2 : 1, 1);
    Put(elf, 5, 1, 1);
    Put(elf, 6, 1, 1);
    Put(elf, 16, layout.type, 2);
    Put(elf, 18, layout.machine, 2);
    Put(elf, layout.wide ? (layout.inSections ? 40 : 32) : (layout.inSections ? 32 : 28), header, word);
    Put(elf, layout.wide ? (layout.inSections ? 58 : 54) : (layout.inSections ? 46 : 42), entry, 2);
    Put(elf, layout.wide ? (layout.inSections ? 60 : 56) : (layout.inSections ? 48 : 44),
        1 + layout.moreSegments, 2);
    Put(elf, header - 1, 0, 1);
    size_t descSize = layout.wide ? 16 : 12;
    size_t noteSize = 16 + descSize;
    if (layout.inSections) {
        Put(elf, header + 4, 7, 4);
        Put(elf, header + (layout.wide ? 24 : 16), note, word);
        Put(elf, header + (layout.wide ? 32 : 20), noteSize, word);
        Put(elf, header + (layout.wide ? 48 : 32), static_cast<uint64_t>(word), word);
    } else {
        Put(elf, header, 0x6474e553, 4);
        Put(elf, header + (layout.wide ? 8 : 4), note, word);
        Put(elf, header + (layout.wide ? 32 : 16), noteSize, word);
        Put(elf, header + (layout.wide ? 48 : 28), static_cast<uint64_t>(word), word);
    }
    Put(elf, note, 4, 4);
    Put(elf, note + 4, descSize + layout.descExtra, 4);
    Put(elf, note + 8, 5, 4);
    Put(elf, note + 12, layout.owner, 4);
    Put(elf, note + 16, layout.property, 4);
    Put(elf, note + 20, 4, 4);
    Put(elf, note + 24, layout.mask, 4);
    Put(elf, note + noteSize - 1, 0, 1);
    const size_t region = note + noteSize;
    for (size_t i = 0; i < layout.moreSegments; ++i) {
        size_t at = header + entry * (1 + i);
        uint64_t skipped = uint64_t(i) * layout.segmentStep;
        Put(elf, at, 4, 4);
        Put(elf, at + (layout.wide ? 8 : 4), region + skipped, word);
        Put(elf, at + (layout.wide ? 32 : 16), layout.regionBytes - skipped, word);
        Put(elf, at + (layout.wide ? 48 : 28), 4, word);
    }
    elf.resize(region + layout.regionBytes, '\0');
    return elf;
}
