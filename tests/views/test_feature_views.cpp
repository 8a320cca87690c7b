// The four feature lists, compared whole.
#include "classic/probe.hpp"
#include "classic/views.hpp"
#include "names/processor_db.hpp"
#include "support/harness.hpp"
#include "support/processors.hpp"

#include <functional>

namespace {

const char kMore[] = " ---- More ----";
const char kEnd[] = " ---- End ----";

// Every bit named "Bit n" and shown with the given statuses.
void NameEveryBit(FeatureNameTable& names, FeatureStatusTable& statuses, uint8_t status) {
    for (int bit = 0; bit < 32; ++bit) {
        names[bit] = "Bit " + std::to_string(bit);
        statuses[bit] = status;
    }
}

std::string Rows(int first, int last, int width, const char* answer) {
    std::string text;
    for (int bit = first; bit <= last; ++bit) {
        std::string name = "Bit " + std::to_string(bit);
        name.resize(std::max<size_t>(name.size(), static_cast<size_t>(width)), ' ');
        text += " -> " + name + " : " + answer + "\r\n";
    }
    return text;
}

// The name-column widths the views are shown with; each test starts from the defaults.
TextWidths gWidths;

std::string Capture(const ProcessorRecord& record, void (*view)(const ProcessorRecord&),
                    const std::string& input = "\n\n") {
    ConsoleCapture console(input);
    view(record);
    return console.Output();
}

std::string Capture(const ProcessorRecord& record, void (*view)(const ProcessorRecord&, const TextWidths&),
                    const std::string& input = "\n\n") {
    ConsoleCapture console(input);
    view(record, gWidths);
    return console.Output();
}

} // namespace

TEST(FeatureViews, FullListsStopAfterBit14) {
    ProcessorRecord record;
    gWidths = TextWidths{};
    ResetWorld();
    ProcessorRecord& r = record;
    r.extPresent = true;
    NameEveryBit(r.stdFeatureNames, r.stdFeatureStatus, StatusPresent);
    NameEveryBit(r.extFeatureNames, r.extFeatureStatus, StatusAbsent);
    EXPECT_EQ(Capture(record, ShowStandardFeatures), "\r\nStandard processor features supported :\r\n" +
                                                         Rows(0, 14, 47, "Yes") + "\r\n" + kMore +
                                                         Rows(15, 31, 47, "Yes") + "\r\n" + kEnd);
    EXPECT_EQ(Capture(record, ShowExtendedFeatures), "\r\nExtended processor features supported :\r\n" +
                                                         Rows(0, 14, 47, "No") + "\r\n" + kMore +
                                                         Rows(15, 31, 47, "No") + "\r\n" + kEnd);
}

TEST(FeatureViews, PagerStopsAtBit14WhateverIsHidden) {
    ProcessorRecord record;
    gWidths = TextWidths{};
    struct Row {
        const char* name;
        std::function<void(FeatureStatusTable&)> hide;
        std::string body;
    };
    const Row rows[] = {
        {"bits 0 to 14 hidden",
         [](FeatureStatusTable& s) {
             for (int bit = 0; bit <= 14; ++bit) {
                 s[bit] = StatusHidden;
             }
         },
         std::string("\r\n") + kMore + Rows(15, 31, 47, "Yes")},
        {"bit 14 hidden", [](FeatureStatusTable& s) { s[14] = StatusHidden; },
         Rows(0, 13, 47, "Yes") + "\r\n" + kMore + Rows(15, 31, 47, "Yes")},
        {"bits 15 to 31 hidden",
         [](FeatureStatusTable& s) {
             for (int bit = 15; bit <= 31; ++bit) {
                 s[bit] = StatusHidden;
             }
         },
         Rows(0, 14, 47, "Yes") + "\r\n" + kMore},
        {"every bit hidden", [](FeatureStatusTable& s) { s.fill(StatusHidden); },
         std::string("\r\n") + kMore},
    };
    for (const Row& row : rows) {
        ResetWorld();
        record = ProcessorRecord{};
        NameEveryBit(record.stdFeatureNames, record.stdFeatureStatus, StatusPresent);
        row.hide(record.stdFeatureStatus);
        EXPECT_EQ(Capture(record, ShowStandardFeatures),
                  "\r\nStandard processor features supported :\r\n" + row.body + "\r\n" + kEnd)
            << row.name;
    }
}

TEST(FeatureViews, NamesArePaddedToTheListWidth) {
    ProcessorRecord record;
    gWidths = TextWidths{};
    struct Row {
        const char* name;
        int32_t width;
        std::string screen;
    };
    const Row rows[] = {
        {"width 10", 10,
         Lines({"", "Enhanced Power Management supported :", " -> short      : Yes", " -> exactly 10 : No",
                " -> a good deal longer : Yes", " ->            : No", ""})},
        {"width 0", 0,
         Lines({"", "Enhanced Power Management supported :", " -> short : Yes", " -> exactly 10 : No",
                " -> a good deal longer : Yes", " ->  : No", ""})},
        {"default width 35", 35,
         Lines({"", "Enhanced Power Management supported :", " -> short                               : Yes",
                " -> exactly 10                          : No",
                " -> a good deal longer                  : Yes",
                " ->                                     : No", ""})},
    };
    for (const Row& row : rows) {
        ResetWorld();
        record = ProcessorRecord{};
        ProcessorRecord& r = record;
        r.powerMgmtStatus.fill(StatusHidden);
        r.powerMgmtNames[0] = "short";
        r.powerMgmtStatus[0] = StatusPresent;
        r.powerMgmtNames[3] = "exactly 10";
        r.powerMgmtStatus[3] = StatusAbsent;
        r.powerMgmtNames[17] = "a good deal longer";
        r.powerMgmtStatus[17] = StatusPresent;
        r.powerMgmtStatus[31] = StatusAbsent; // no data file: an empty name is still a row
        gWidths.powerManagement = row.width;
        EXPECT_EQ(Capture(record, ShowPowerManagement, "\n"), row.screen + kEnd) << row.name;
    }
}

TEST(FeatureViews, PowerAndTransmetaListsNeverPause) {
    ProcessorRecord record;
    gWidths = TextWidths{};
    ResetWorld();
    ProcessorRecord& r = record;
    NameEveryBit(r.powerMgmtNames, r.powerMgmtStatus, StatusPresent);
    NameEveryBit(r.tmxFeatureNames, r.tmxFeatureStatus, StatusAbsent);
    gWidths.powerManagement = 35;
    EXPECT_EQ(Capture(record, ShowPowerManagement, "\n"),
              "\r\nEnhanced Power Management supported :\r\n" + Rows(0, 31, 35, "Yes") + "\r\n" + kEnd);
    // The Transmeta list is never padded, even when a width is configured elsewhere.
    gWidths.standardFeatures = gWidths.extendedFeatures = 20;
    EXPECT_EQ(Capture(record, ShowTransmetaFeatures, "\n"),
              "\r\nTransmeta processor features supported :\r\n" + Rows(0, 31, 0, "No") + "\r\n" + kEnd);
}

TEST(FeatureViews, StandardListPadsToItsWidth) {
    ProcessorRecord record;
    gWidths = TextWidths{};
    ResetWorld();
    ProcessorRecord& r = record;
    r.stdFeatureNames[0] = "FPU";
    r.stdFeatureStatus[0] = StatusPresent;
    r.stdFeatureNames[20] = std::string(50, 'n');
    r.stdFeatureStatus[20] = StatusAbsent;
    r.stdFeatureNames[21] = std::string(47, 'e');
    r.stdFeatureStatus[21] = StatusPresent;
    for (int bit : {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                    16, 17, 18, 19, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31}) {
        r.stdFeatureStatus[bit] = StatusHidden;
    }
    EXPECT_EQ(
        Capture(record, ShowStandardFeatures),
        Lines({"", "Standard processor features supported :", " -> FPU" + std::string(44, ' ') + " : Yes", "",
               std::string(kMore) + " -> " + std::string(50, 'n') + " : No",
               " -> " + std::string(47, 'e') + " : Yes", ""}) +
            kEnd);
}

TEST(FeatureViews, CyrixNamesExtendedBit24) {
    ProcessorRecord record;
    gWidths = TextWidths{};
    struct Row {
        const char* vendorId;
        uint8_t status24;
        std::string row24;
    };
    const Row rows[] = {
        {"CyrixInstead", StatusPresent, " -> Cyrix MMX+ Technology          : Yes\r\n"},
        {"CyrixInstead", StatusAbsent, " -> Cyrix MMX+ Technology          : No\r\n"},
        {"CyrixInstead", StatusHidden, ""},
        {"cyrixinstead", StatusPresent, " -> FXSR                           : Yes\r\n"},
        {"CyrixInsteadX", StatusPresent, " -> FXSR                           : Yes\r\n"},
        {"AuthenticAMD", StatusPresent, " -> FXSR                           : Yes\r\n"},
    };
    for (const Row& row : rows) {
        ResetWorld();
        record = ProcessorRecord{};
        ProcessorRecord& r = record;
        r.vendorId = row.vendorId;
        r.extPresent = true;
        gWidths.extendedFeatures = 30;
        r.extFeatureStatus.fill(StatusHidden);
        r.extFeatureNames[23] = "MMX";
        r.extFeatureStatus[23] = StatusPresent;
        r.extFeatureNames[24] = "FXSR";
        r.extFeatureStatus[24] = row.status24;
        EXPECT_EQ(Capture(record, ShowExtendedFeatures),
                  Lines({"", "Extended processor features supported :", ""}) + kMore +
                      " -> MMX                            : Yes\r\n" + row.row24 + "\r\n" + kEnd)
            << row.vendorId << " status " << int(row.status24);
    }
}

TEST(FeatureViews, ExtendedListWithoutExtendedLeavesWritesNothing) {
    ProcessorRecord record;
    gWidths = TextWidths{};
    ResetWorld();
    NameEveryBit(record.extFeatureNames, record.extFeatureStatus, StatusPresent);
    ConsoleCapture console("left for the menu\n");
    ShowExtendedFeatures(record, gWidths);
    EXPECT_EQ(console.Output(), "");
    std::string next;
    ASSERT_TRUE(ConReadLine(next));
    EXPECT_EQ(next, "left for the menu");
}

TEST(FeatureViews, TextTypedAtEitherStopIsThrownAway) {
    ProcessorRecord record;
    gWidths = TextWidths{};
    ResetWorld();
    NameEveryBit(record.stdFeatureNames, record.stdFeatureStatus, StatusPresent);
    ConsoleCapture console("Q\nD some text\nI\n");
    ShowStandardFeatures(record, gWidths);
    EXPECT_EQ(console.Output(), "\r\nStandard processor features supported :\r\n" + Rows(0, 14, 47, "Yes") +
                                    "\r\n" + kMore + Rows(15, 31, 47, "Yes") + "\r\n" + kEnd);
    std::string next;
    ASSERT_TRUE(ConReadLine(next));
    EXPECT_EQ(next, "I");
}

// Registers of a Crusoe TM5800, from GenuineTMx860000543_Crusoe_CPUID.txt:
// leaf 0x80860001 EDX 000001CE sets bits 1, 2, 3, 6, 7 and 8.
TEST(FeatureViews, CrusoeTransmetaFeaturesProbed) {
    ProcessorRecord record;
    gWidths = TextWidths{};
    IniFile db;
    ResetWorld(CrusoeTable(0x80860007));
    db =
        OpenDatabaseText("[TransmetaFeatures]\n0=Recovery Mode\n1=LongRun\n3=LongRun Table Interface [LRTI]\n"
                         "7=PTTI1\n8=PTTI2\n12=Processor Break Events\n");
    ProbeWorld(record, db);
    EXPECT_EQ(Capture(record, ShowTransmetaFeatures, "\n"),
              Lines({"", "Transmeta processor features supported :", " -> Recovery Mode : No",
                     " -> LongRun : Yes", " -> LongRun Table Interface [LRTI] : Yes", " -> PTTI1 : Yes",
                     " -> PTTI2 : Yes", " -> Processor Break Events : No", ""}) +
                  kEnd);
}
