#include "probe/elf_isa_level.hpp"

#include <cstdint>

namespace {

constexpr uint32_t kProgramNote = 4;              // PT_NOTE
constexpr uint32_t kProgramProperty = 0x6474e553; // PT_GNU_PROPERTY
constexpr uint32_t kSectionNote = 7;              // SHT_NOTE
constexpr uint32_t kPropertyNote = 5;             // NT_GNU_PROPERTY_TYPE_0
constexpr uint32_t kIsaNeeded = 0xc0008002;       // GNU_PROPERTY_X86_ISA_1_NEEDED
constexpr int kLevelBits = 4;                     // bit 0 baseline .. bit 3 x86-64-v4
constexpr int kCutShort = -1;                     // a table or note reaches past the file's end

// Little-endian reads that are only made once the range is known to lie in the file.
class Bytes {
  public:
    explicit Bytes(std::string_view data) : data_(data) {}
    bool Holds(uint64_t offset, uint64_t size) const {
        return offset <= data_.size() && size <= data_.size() - offset;
    }
    uint64_t Read(uint64_t offset, int width) const {
        if (!Holds(offset, static_cast<uint64_t>(width))) {
            return 0;
        }
        uint64_t value = 0;
        for (int i = width - 1; i >= 0; --i) {
            value = (value << 8) | static_cast<unsigned char>(data_[offset + static_cast<uint64_t>(i)]);
        }
        return value;
    }

  private:
    std::string_view data_;
};

// Where the ELF header's fields and its tables' entries sit for one class.
struct ElfLayout {
    bool wide;         // ELFCLASS64
    int word;          // 4 or 8: size of an offset
    uint64_t header;   // bytes of the ELF header
    uint64_t phEntry;  // bytes a program header needs
    uint64_t shEntry;  // bytes a section header needs
    uint64_t phOffset; // where e_phoff, e_shoff and the entry size, count fields sit
    uint64_t shOffset;
    uint64_t phSizes;
    uint64_t shSizes;
};

const ElfLayout kElf32{false, 4, 52, 32, 40, 28, 32, 42, 46};
const ElfLayout kElf64{true, 8, 64, 56, 64, 32, 40, 54, 58};

uint64_t AlignUp(uint64_t value, uint64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

// The highest level bit of the ISA-needed property in one property note's
// descriptor, or 0.
int LevelOfProperties(const Bytes& bytes, uint64_t at, uint64_t end, uint64_t alignment) {
    while (at + 8 <= end) {
        uint32_t type = static_cast<uint32_t>(bytes.Read(at, 4));
        uint64_t size = bytes.Read(at + 4, 4);
        if (size > end - at - 8) {
            return 0;
        }
        if (type == kIsaNeeded && size >= 4) {
            uint32_t mask = static_cast<uint32_t>(bytes.Read(at + 8, 4));
            for (int bit = kLevelBits - 1; bit >= 0; --bit) {
                if ((mask >> bit) & 1) {
                    return bit + 1;
                }
            }
            return 0;
        }
        at = AlignUp(at + 8 + size, alignment);
    }
    return 0;
}

// The level of the first "GNU" property note among the notes in [at, at + size).
int LevelOfNotes(const Bytes& bytes, uint64_t at, uint64_t size, uint64_t alignment) {
    if (!bytes.Holds(at, size)) {
        return kCutShort;
    }
    uint64_t end = at + size;
    while (at + 12 <= end) {
        uint64_t nameSize = bytes.Read(at, 4);
        uint64_t descSize = bytes.Read(at + 4, 4);
        uint32_t type = static_cast<uint32_t>(bytes.Read(at + 8, 4));
        uint64_t desc = AlignUp(at + 12 + nameSize, alignment);
        if (desc > end || descSize > end - desc) {
            return 0;
        }
        bool gnu = nameSize == 4 && bytes.Read(at + 12, 4) == 0x00554E47; // "GNU\0"
        if (gnu && type == kPropertyNote) {
            return LevelOfProperties(bytes, desc, desc + descSize, alignment);
        }
        at = AlignUp(desc + descSize, alignment);
    }
    return 0;
}

// One table of the file: program headers or section headers.
struct HeaderTable {
    uint64_t offset;
    uint64_t entrySize;
    uint64_t count;
    uint64_t needed; // bytes of an entry this reader uses
};

HeaderTable TableAt(const Bytes& bytes, const ElfLayout& elf, uint64_t offsetField, uint64_t sizeFields,
                    uint64_t needed) {
    return HeaderTable{bytes.Read(offsetField, elf.word), bytes.Read(sizeFields, 2),
                       bytes.Read(sizeFields + 2, 2), needed};
}

// True when the table is empty or lies whole within the file.
bool TableFits(const Bytes& bytes, const HeaderTable& table) {
    return table.count == 0 ||
           (table.entrySize >= table.needed && bytes.Holds(table.offset, table.entrySize * table.count));
}

// Where an entry keeps its type, the offset and size of what it describes, and its alignment.
struct EntryFields {
    uint64_t type;
    uint64_t offset;
    uint64_t size;
    uint64_t align;
    uint32_t noteTypes[2];
};

// The level in the notes the table's entries point at; 0 when none, kCutShort
// when a note lies beyond the file.
int LevelOfTable(const Bytes& bytes, const ElfLayout& elf, const HeaderTable& table,
                 const EntryFields& fields) {
    for (uint64_t i = 0; i < table.count; ++i) {
        uint64_t entry = table.offset + i * table.entrySize;
        uint32_t type = static_cast<uint32_t>(bytes.Read(entry + fields.type, 4));
        if (type != fields.noteTypes[0] && type != fields.noteTypes[1]) {
            continue;
        }
        int level = LevelOfNotes(bytes, bytes.Read(entry + fields.offset, elf.word),
                                 bytes.Read(entry + fields.size, elf.word),
                                 bytes.Read(entry + fields.align, elf.word) == 8 ? 8 : 4);
        if (level != 0) {
            return level;
        }
    }
    return 0;
}

const EntryFields kProgram32{0, 4, 16, 28, {kProgramNote, kProgramProperty}};
const EntryFields kProgram64{0, 8, 32, 48, {kProgramNote, kProgramProperty}};
const EntryFields kSection32{4, 16, 20, 32, {kSectionNote, kSectionNote}};
const EntryFields kSection64{4, 24, 32, 48, {kSectionNote, kSectionNote}};

ElfIsaLevel Refused(const std::string& reason) {
    return ElfIsaLevel{ElfIsaStatus::NotReadable, 0, reason};
}

} // namespace

ElfIsaLevel ReadElfIsaLevel(std::string_view file) {
    Bytes bytes(file);
    if (!bytes.Holds(0, 16) || file.substr(0, 4) != "\x7f"
                                                    "ELF") {
        return Refused("not an ELF file");
    }
    unsigned char elfClass = static_cast<unsigned char>(file[4]);
    if ((elfClass != 1 && elfClass != 2) || file[5] != 1) {
        return Refused("not a 32- or 64-bit little-endian ELF file");
    }
    const ElfLayout& elf = elfClass == 2 ? kElf64 : kElf32;
    if (!bytes.Holds(0, elf.header)) {
        return Refused("the ELF header is cut short");
    }
    uint64_t type = bytes.Read(16, 2);
    uint64_t machine = bytes.Read(18, 2);
    if (type != 2 && type != 3) {
        return Refused("not an executable or shared object");
    }
    if (machine != 62 && (elf.wide || machine != 3)) {
        return Refused("not an x86 program");
    }
    HeaderTable programs = TableAt(bytes, elf, elf.phOffset, elf.phSizes, elf.phEntry);
    HeaderTable sections = TableAt(bytes, elf, elf.shOffset, elf.shSizes, elf.shEntry);
    if (!TableFits(bytes, programs) || !TableFits(bytes, sections)) {
        return Refused("the file is cut short");
    }
    int level = LevelOfTable(bytes, elf, programs, elf.wide ? kProgram64 : kProgram32);
    if (level == 0) {
        level = LevelOfTable(bytes, elf, sections, elf.wide ? kSection64 : kSection32);
    }
    if (level == kCutShort) {
        return Refused("the file is cut short");
    }
    return level == 0 ? ElfIsaLevel{ElfIsaStatus::NoMarker, 0, ""}
                      : ElfIsaLevel{ElfIsaStatus::Marked, level, ""};
}
