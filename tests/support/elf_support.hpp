// Minimal ELF files for the tests of the level reader: a header, one program
// (or section) header and one GNU property note, then any further note segments.
#pragma once

#include <cstdint>
#include <string>

struct ElfLayout {
    bool wide = true;
    uint16_t machine = 62;
    uint16_t type = 2;
    uint32_t owner = 0x00554E47; // "GNU\0"
    uint32_t property = 0xc0008002;
    uint32_t mask = 0x5;     // baseline and v3
    bool inSections = false; // the note found through a section header instead of a program header
    uint32_t descExtra = 0;  // added to the note's descriptor size, running it past its segment
    // Further note segments over a region of empty notes after the property
    // note, each starting segmentStep bytes further into it (0: all alike).
    uint16_t moreSegments = 0;
    uint32_t segmentStep = 0;
    uint32_t regionBytes = 0;
};

// The file's bytes.
std::string MakeElf(const ElfLayout& layout);

// Where the notes start in that file, right after the header table.
size_t ElfNotesOffset(const ElfLayout& layout);
