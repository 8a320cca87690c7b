// The x86-64 level an ELF program says it needs: the GNU_PROPERTY_X86_ISA_1_NEEDED
// property (0xc0008002) of its .note.gnu.property note, written by linkers
// given -z x86-64-vN. The file is untrusted: every offset and size is checked
// against it before it is read.
#pragma once

#include <string>
#include <string_view>

enum class ElfIsaStatus {
    NotReadable, // not an x86 ELF executable or shared object, or cut short
    NoMarker,    // a valid file without the property (most programs)
    Marked,      // level holds the level needed
};

struct ElfIsaLevel {
    ElfIsaStatus status = ElfIsaStatus::NotReadable;
    int level = 0;      // 1..4 when Marked
    std::string reason; // why it is NotReadable
};

// Reads the whole file's bytes.
ElfIsaLevel ReadElfIsaLevel(std::string_view file);
