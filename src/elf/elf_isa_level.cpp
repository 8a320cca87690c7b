#include "elf/elf_isa_level.hpp"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t kProgramNote = 4;              // PT_NOTE
constexpr uint32_t kProgramProperty = 0x6474e553; // PT_GNU_PROPERTY
constexpr uint32_t kSectionNote = 7;              // SHT_NOTE
constexpr uint32_t kPropertyNote = 5;             // NT_GNU_PROPERTY_TYPE_0
constexpr uint32_t kIsaNeeded = 0xc0008002;       // GNU_PROPERTY_X86_ISA_1_NEEDED
constexpr int kLevelBits = 4;                     // bit 0 baseline .. bit 3 x86-64-v4

// Header tables and note ranges are read this many bytes at a time.
constexpr uint64_t kReadChunk = 64 * 1024;

const char kCutShort[] = "the file is cut short";
const char kCannotRead[] = "the file cannot be read";

// Little-endian reads within one piece read from the file; a read outside
// the piece gives 0.
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
        const unsigned char* at = reinterpret_cast<const unsigned char*>(data_.data()) + offset;
        switch (width) {
        case 2:
            return Two(at);
        case 4:
            return Four(at);
        default:
            return Four(at) | Four(at + 4) << 32;
        }
    }

  private:
    // Written out in full, which compilers turn into one load.
    static uint64_t Two(const unsigned char* at) { return uint64_t(at[0]) | uint64_t(at[1]) << 8; }
    static uint64_t Four(const unsigned char* at) { return Two(at) | Two(at + 2) << 16; }

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

// alignment is 4 or 8.
uint64_t AlignUp(uint64_t value, uint64_t alignment) {
    return (value + alignment - 1) & ~(alignment - 1);
}

// True when [offset, offset + size) lies within a file of fileSize bytes.
bool Fits(uint64_t fileSize, uint64_t offset, uint64_t size) {
    return offset <= fileSize && size <= fileSize - offset;
}

ElfIsaLevel Refused(const std::string& reason) {
    return ElfIsaLevel{ElfIsaStatus::NotReadable, 0, reason};
}

const ElfIsaLevel kNoMarker{ElfIsaStatus::NoMarker, 0, ""};

// The level of the ISA-needed property among the properties of one property
// note's descriptor, [at, end) of bytes.
ElfIsaLevel LevelOfProperties(const Bytes& bytes, uint64_t at, uint64_t end, uint64_t alignment) {
    while (at + 8 <= end) {
        uint32_t type = static_cast<uint32_t>(bytes.Read(at, 4));
        uint64_t size = bytes.Read(at + 4, 4);
        if (size > end - at - 8) {
            return Refused("a property runs past its note");
        }
        if (type == kIsaNeeded && size >= 4) {
            uint32_t mask = static_cast<uint32_t>(bytes.Read(at + 8, 4));
            for (int bit = kLevelBits - 1; bit >= 0; --bit) {
                if ((mask >> bit) & 1) {
                    return ElfIsaLevel{ElfIsaStatus::Marked, bit + 1, ""};
                }
            }
            return kNoMarker;
        }
        at = AlignUp(at + 8 + size, alignment);
    }
    return kNoMarker;
}

// One range of the file (a segment or a section) read through a window of
// at most kReadChunk bytes, or of one piece asked for whole: walking a range
// costs no more memory than that, whatever its size.
class RangeWindow {
  public:
    RangeWindow(const ElfFile& file, uint64_t offset, uint64_t size)
        : file_(file), offset_(offset), size_(size) {}

    // The bytes [at, at + length) of the range, which lie within it; false
    // when they cannot be read.
    bool View(uint64_t at, uint64_t length, std::string_view& bytes) {
        if (at < start_ || at + length > start_ + window_.size()) {
            uint64_t want = std::max(length, std::min(kReadChunk, size_ - at));
            if (!file_.readAt(offset_ + at, static_cast<size_t>(want), window_)) {
                return false;
            }
            start_ = at;
        }
        bytes =
            std::string_view(window_).substr(static_cast<size_t>(at - start_), static_cast<size_t>(length));
        return true;
    }

    uint64_t Size() const { return size_; }

  private:
    const ElfFile& file_;
    uint64_t offset_;
    uint64_t size_;
    std::string window_;
    uint64_t start_ = 0;
};

// The level of the first "GNU" property note among the notes of one range
// (a segment or a section, named by holder). A note whose name or descriptor
// runs past the range is damage, not the end of the notes.
ElfIsaLevel LevelOfNotes(RangeWindow& range, uint64_t alignment, const char* holder) {
    const uint64_t end = range.Size();
    uint64_t at = 0;
    while (at + 12 <= end) {
        std::string_view header; // the sizes, the type and a name of four bytes
        if (!range.View(at, std::min<uint64_t>(16, end - at), header)) {
            return Refused(kCannotRead);
        }
        Bytes bytes(header);
        uint64_t nameSize = bytes.Read(0, 4);
        uint64_t descSize = bytes.Read(4, 4);
        uint32_t type = static_cast<uint32_t>(bytes.Read(8, 4));
        uint64_t desc = AlignUp(at + 12 + nameSize, alignment);
        if (nameSize > end - at - 12 || (descSize > 0 && (desc > end || descSize > end - desc))) {
            return Refused(std::string("a note runs past its ") + holder);
        }
        bool gnu = nameSize == 4 && bytes.Read(12, 4) == 0x00554E47; // "GNU\0"
        if (gnu && type == kPropertyNote) {
            std::string_view properties;
            if (!range.View(desc, descSize, properties)) {
                return Refused(kCannotRead);
            }
            return LevelOfProperties(Bytes(properties), 0, descSize, alignment);
        }
        at = AlignUp(desc + descSize, alignment);
    }
    return kNoMarker;
}

// The note ranges read so far. A range is read once, however many entries
// name it, and no more ranges or bytes are read than the budget allows, so
// the work stays small whatever the tables say.
class NoteReads {
  public:
    enum class Answer { Read, AlreadyRead, OverBudget };

    Answer Admit(uint64_t offset, uint64_t size) {
        if (std::find(read_.begin(), read_.end(), std::make_pair(offset, size)) != read_.end()) {
            return Answer::AlreadyRead;
        }
        if (read_.size() == kElfNoteRangeLimit || size > bytesLeft_) {
            return Answer::OverBudget;
        }
        read_.emplace_back(offset, size);
        bytesLeft_ -= size;
        return Answer::Read;
    }

  private:
    std::vector<std::pair<uint64_t, uint64_t>> read_;
    uint64_t bytesLeft_ = kElfNoteByteLimit;
};

std::string OverBudgetReason() {
    return "more notes than a program carries (over " + std::to_string(kElfNoteRangeLimit) +
           " note ranges or " + std::to_string(kElfNoteByteLimit >> 20) + " MiB of notes)";
}

// One table of the file: program headers or section headers.
struct HeaderTable {
    uint64_t offset;
    uint64_t entrySize;
    uint64_t count;
    uint64_t needed; // bytes of an entry this reader uses
    uint64_t Size() const { return entrySize * count; }
};

HeaderTable TableAt(const Bytes& header, const ElfLayout& elf, uint64_t offsetField, uint64_t sizeFields,
                    uint64_t needed) {
    return HeaderTable{header.Read(offsetField, elf.word), header.Read(sizeFields, 2),
                       header.Read(sizeFields + 2, 2), needed};
}

// True when the table is empty or lies whole within the file.
bool TableFits(uint64_t fileSize, const HeaderTable& table) {
    return table.count == 0 ||
           (table.entrySize >= table.needed && Fits(fileSize, table.offset, table.Size()));
}

// Where an entry keeps its type, the offset and size of what it describes, and its alignment.
struct EntryFields {
    uint64_t type;
    uint64_t offset;
    uint64_t size;
    uint64_t align;
    uint32_t noteTypes[2];
    const char* holder; // what an entry describes
};

const EntryFields kProgram32{0, 4, 16, 28, {kProgramNote, kProgramProperty}, "segment"};
const EntryFields kProgram64{0, 8, 32, 48, {kProgramNote, kProgramProperty}, "segment"};
const EntryFields kSection32{4, 16, 20, 32, {kSectionNote, kSectionNote}, "section"};
const EntryFields kSection64{4, 24, 32, 48, {kSectionNote, kSectionNote}, "section"};

// The level in the notes one table entry points at, when it is a note entry
// whose range was not read before.
ElfIsaLevel LevelOfEntry(const ElfFile& file, const ElfLayout& elf, const Bytes& bytes, uint64_t entry,
                         const EntryFields& fields, NoteReads& reads) {
    uint32_t type = static_cast<uint32_t>(bytes.Read(entry + fields.type, 4));
    uint64_t offset = bytes.Read(entry + fields.offset, elf.word);
    uint64_t size = bytes.Read(entry + fields.size, elf.word);
    if (type != fields.noteTypes[0] && type != fields.noteTypes[1]) {
        return kNoMarker;
    }
    if (!Fits(file.size, offset, size)) {
        return Refused(kCutShort);
    }
    if (size == 0) {
        return kNoMarker;
    }
    NoteReads::Answer answer = reads.Admit(offset, size);
    if (answer == NoteReads::Answer::AlreadyRead) {
        return kNoMarker;
    }
    if (answer == NoteReads::Answer::OverBudget) {
        return Refused(OverBudgetReason());
    }
    RangeWindow range(file, offset, size);
    return LevelOfNotes(range, bytes.Read(entry + fields.align, elf.word) == 8 ? 8 : 4, fields.holder);
}

// The level in the notes the table's entries point at: the table is read a
// chunk of entries at a time, and each note range it names, until one decides.
ElfIsaLevel LevelOfTable(const ElfFile& file, const ElfLayout& elf, const HeaderTable& table,
                         const EntryFields& fields, NoteReads& reads) {
    if (table.count == 0) {
        return kNoMarker;
    }
    const uint64_t entriesPerRead = std::max<uint64_t>(1, kReadChunk / table.entrySize);
    std::string entries;
    for (uint64_t first = 0; first < table.count; first += entriesPerRead) {
        const uint64_t count = std::min(entriesPerRead, table.count - first);
        if (!file.readAt(table.offset + first * table.entrySize, static_cast<size_t>(count * table.entrySize),
                         entries)) {
            return Refused(kCannotRead);
        }
        Bytes bytes(entries);
        for (uint64_t entry = 0; entry < entries.size(); entry += table.entrySize) {
            ElfIsaLevel level = LevelOfEntry(file, elf, bytes, entry, fields, reads);
            if (level.status != ElfIsaStatus::NoMarker) {
                return level;
            }
        }
    }
    return kNoMarker;
}

} // namespace

ElfIsaLevel ReadElfIsaLevel(const ElfFile& file) {
    std::string header;
    if (!file.readAt(0, static_cast<size_t>(std::min(file.size, kElf64.header)), header)) {
        return Refused(kCannotRead);
    }
    Bytes bytes(header);
    if (!bytes.Holds(0, 16) || header.compare(0, 4,
                                              "\x7f"
                                              "ELF") != 0) {
        return Refused("not an ELF file");
    }
    unsigned char elfClass = static_cast<unsigned char>(header[4]);
    if ((elfClass != 1 && elfClass != 2) || header[5] != 1) {
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
    if (!TableFits(file.size, programs) || !TableFits(file.size, sections)) {
        return Refused(kCutShort);
    }
    if (programs.Size() > kElfHeaderTableLimit || sections.Size() > kElfHeaderTableLimit) {
        return Refused("a header table is larger than a program's");
    }
    NoteReads reads;
    ElfIsaLevel level = LevelOfTable(file, elf, programs, elf.wide ? kProgram64 : kProgram32, reads);
    if (level.status == ElfIsaStatus::NoMarker) {
        level = LevelOfTable(file, elf, sections, elf.wide ? kSection64 : kSection32, reads);
    }
    return level;
}

ElfIsaLevel ReadElfIsaLevel(std::string_view file) {
    return ReadElfIsaLevel(ElfFile{file.size(), [file](uint64_t offset, size_t size, std::string& bytes) {
                                       bytes.assign(file.substr(static_cast<size_t>(offset), size));
                                       return true;
                                   }});
}
