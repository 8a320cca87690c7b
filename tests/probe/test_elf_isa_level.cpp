// The x86-64 level an ELF program needs: hand-made minimal files for every
// rule and every cut of them.
#include "elf/elf_isa_level.hpp"
#include "support/elf_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

ElfLayout With(void (*change)(ElfLayout&)) {
    ElfLayout layout;
    change(layout);
    return layout;
}

struct ElfCase {
    const char* name;
    ElfLayout layout;
    ElfIsaStatus status;
    int level;
};

const ElfCase kElfCases[] = {
    {"64-bit, baseline and v3", ElfLayout{}, ElfIsaStatus::Marked, 3},
    {"v4", With([](ElfLayout& s) { s.mask = 0xF; }), ElfIsaStatus::Marked, 4},
    {"baseline only", With([](ElfLayout& s) { s.mask = 0x1; }), ElfIsaStatus::Marked, 1},
    {"v2 without baseline bit", With([](ElfLayout& s) { s.mask = 0x2; }), ElfIsaStatus::Marked, 2},
    {"no level bit", With([](ElfLayout& s) { s.mask = 0xF0; }), ElfIsaStatus::NoMarker, 0},
    {"older scheme's property", With([](ElfLayout& s) { s.property = 0xc0000002; }), ElfIsaStatus::NoMarker,
     0},
    {"note of another owner", With([](ElfLayout& s) { s.owner = 0x00444C4F; }), ElfIsaStatus::NoMarker, 0},
    {"shared object", With([](ElfLayout& s) { s.type = 3; }), ElfIsaStatus::Marked, 3},
    {"found through the section headers", With([](ElfLayout& s) { s.inSections = true; }),
     ElfIsaStatus::Marked, 3},
    {"32-bit x86", With([](ElfLayout& s) { s.wide = false, s.machine = 3; }), ElfIsaStatus::Marked, 3},
    {"32-bit sections", With([](ElfLayout& s) { s.wide = false, s.machine = 3, s.inSections = true; }),
     ElfIsaStatus::Marked, 3},
    {"relocatable object", With([](ElfLayout& s) { s.type = 1; }), ElfIsaStatus::NotReadable, 0},
    {"ARM64 program", With([](ElfLayout& s) { s.machine = 183; }), ElfIsaStatus::NotReadable, 0},
    {"64-bit class with the 386 machine", With([](ElfLayout& s) { s.machine = 3; }),
     ElfIsaStatus::NotReadable, 0},
    {"note size running past its segment", With([](ElfLayout& s) { s.descExtra = 64; }),
     ElfIsaStatus::NotReadable, 0},
    {"17 note segments, none marked",
     With([](ElfLayout& s) { s.mask = 0, s.moreSegments = 16, s.segmentStep = 12, s.regionBytes = 204; }),
     ElfIsaStatus::NotReadable, 0},
    {"65,535 note segments, each one note further into 1 MB of notes", With([](ElfLayout& s) {
         s.mask = 0, s.moreSegments = 65534, s.segmentStep = 12, s.regionBytes = 1000000;
     }),
     ElfIsaStatus::NotReadable, 0},
};

TEST(ElfIsaLevel, HandMadeFiles) {
    for (const ElfCase& row : kElfCases) {
        SCOPED_TRACE(row.name);
        ElfIsaLevel read = ReadElfIsaLevel(MakeElf(row.layout));
        EXPECT_EQ(read.status, row.status) << read.reason;
        EXPECT_EQ(read.level, row.level);
        EXPECT_EQ(read.reason.empty(), row.status != ElfIsaStatus::NotReadable);
    }
}

// However many entries name a note range, it is read once, and no more
// note bytes are read than the budget allows.
TEST(ElfIsaLevel, EachPieceIsReadOnceWithinTheBudget) {
    ElfLayout alike; // 65,535 segments naming one region of 1 MB
    alike.mask = 0, alike.moreSegments = 65534, alike.regionBytes = 1000000;
    std::vector<ElfLayout> layouts = {alike};
    for (const ElfCase& row : kElfCases) {
        layouts.push_back(row.layout);
    }
    for (const ElfLayout& layout : layouts) {
        std::string file = MakeElf(layout);
        std::vector<std::pair<uint64_t, size_t>> pieces;
        ReadElfIsaLevel(ElfFile{file.size(), [&](uint64_t offset, size_t size, std::string& bytes) {
                                    pieces.emplace_back(offset, size);
                                    bytes = file.substr(static_cast<size_t>(offset), size);
                                    return true;
                                }});
        uint64_t noteBytes = 0;
        for (const auto& [offset, size] : pieces) {
            noteBytes += offset >= ElfNotesOffset(layout) ? size : 0;
        }
        EXPECT_LE(noteBytes, kElfNoteByteLimit) << file.size();
        std::sort(pieces.begin(), pieces.end());
        EXPECT_EQ(std::adjacent_find(pieces.begin(), pieces.end()), pieces.end()) << file.size();
    }
}

// Every cut of a marked file is refused or reads without the marker; none
// reads past the end (the sanitizer build checks that).
TEST(ElfIsaLevel, EveryCutOfAFileIsRefused) {
    for (bool wide : {true, false}) {
        ElfLayout layout;
        layout.wide = wide;
        layout.machine = wide ? 62 : 3;
        std::string whole = MakeElf(layout);
        for (size_t size = 0; size < whole.size(); ++size) {
            EXPECT_EQ(ReadElfIsaLevel(std::string_view(whole).substr(0, size)).status,
                      ElfIsaStatus::NotReadable)
                << size;
        }
    }
}

TEST(ElfIsaLevel, OtherFilesAreRefused) {
    for (const std::string& bytes : {std::string(), std::string("#!/bin/sh\n"),
                                     std::string("\x7f"
                                                 "ELF\x03\x01",
                                                 6),
                                     std::string("\x7f"
                                                 "ELF\x02\x02",
                                                 6) +
                                         std::string(64, '\0')}) {
        EXPECT_EQ(ReadElfIsaLevel(bytes).status, ElfIsaStatus::NotReadable);
    }
}

} // namespace
