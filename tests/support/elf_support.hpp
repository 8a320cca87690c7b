// Minimal ELF files for the tests of the level reader: a header, one program
// (or section) header and one GNU property note.
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
};

// The file's bytes.
std::string MakeElf(const ElfLayout& layout);
