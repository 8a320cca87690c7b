// The x86-64 level an ELF program says it needs: the GNU_PROPERTY_X86_ISA_1_NEEDED
// property (0xc0008002) of its .note.gnu.property note, written by linkers
// given -z x86-64-vN. The file is untrusted: every offset and size is checked
// against it before it is read, and only the pieces the answer needs are
// read, 64 KiB at a time: the ELF header, a header table, then each note
// range once, within a budget.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

enum class ElfIsaStatus {
    NotReadable, // not an x86 ELF executable or shared object, cut short, damaged or over budget
    NoMarker,    // a valid file without the property (most programs)
    Marked,      // level holds the level needed
};

struct ElfIsaLevel {
    ElfIsaStatus status = ElfIsaStatus::NotReadable;
    int level = 0;      // 1..4 when Marked
    std::string reason; // why it is NotReadable
};

// Where the reader takes a program's bytes from: the file's size, and a
// function that reads size bytes at offset into bytes (false when it cannot).
// It is only asked for ranges that lie within the size.
struct ElfFile {
    uint64_t size;
    std::function<bool(uint64_t offset, size_t size, std::string& bytes)> readAt;
};

// The most note ranges (segments or sections) and note bytes read from one
// program; a program that needs more to find its marker is refused. Linkers
// write two to four small ones.
constexpr size_t kElfNoteRangeLimit = 16;
constexpr uint64_t kElfNoteByteLimit = uint64_t(1) << 20;
// The largest header table read: 65,535 entries of the standard 64-bit section header.
constexpr uint64_t kElfHeaderTableLimit = uint64_t(65535) * 64;

ElfIsaLevel ReadElfIsaLevel(const ElfFile& file);

// The same over a whole file's bytes in memory.
ElfIsaLevel ReadElfIsaLevel(std::string_view file);
