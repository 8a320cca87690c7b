// Start-up, options, the menu and its keys, About, quit and help screens.
#include "classic/menu.hpp"
#include "classic/probe.hpp"
#include "classic/run_state.hpp"
#include "classic/views.hpp"
#include "support/command_support.hpp"
#include "support/harness.hpp"

#include <gtest/gtest.h>

namespace {

const std::string kSeparator = "  --------------------------------------------";

// A processor with the given maxima; leaf 1 has a time-stamp counter.
CpuidTable LevelTable(uint32_t maxStd, uint32_t maxExt, uint32_t maxTmx = 0) {
    CpuidTable table;
    table[0] = {maxStd, 0x756E6547, 0x6C65746E, 0x49656E69};
    table[1] = {0x00000683, 0, 0, 0x00000010};
    table[0x80000000] = {maxExt, 0, 0, 0};
    table[0x80860000] = {maxTmx, 0, 0, 0};
    return table;
}

std::string Banner(const std::string& version = "UNKNOWN") {
    return Lines({"~ VELDRIX - The Processor Detector for Win32 Console", "~ Version 1.30 - 31 August 2002",
                  "~ Database Version " + version, "~ Written by the VELDRIX developers", ""});
}

std::string MenuTail() {
    return Lines({kSeparator, "  [D] Integer Dhrystone Benchmark", "  [W] Floating Point Whetstone Benchmark",
                  kSeparator, "  [R] Generate HTML Report", "  [A] About", "  [Q] Quit", ""}) +
           "And your choise is.. [type \"?\" for help] ";
}

std::string MenuHead() {
    return Lines({"", "VELDRIX Menu", "============"});
}

const std::string kQuitScreen =
    Lines({"", "~ Thank you for using VELDRIX.", "~ Know your processor, know your machine."});

class Menu : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetWorld(LevelTable(1, 0));
        SetDatabaseLocation(::testing::TempDir() + "no-veldrix-here.dat");
    }
    void TearDown() override { SetDatabaseLocation(""); }
};

} // namespace

TEST_F(Menu, RowsFollowTheLevels) {
    ProcessorRecord record;
    RunState run;
    struct Row {
        const char* name;
        uint32_t maxStd, maxExt, maxTmx;
        std::vector<std::string> rows;
        SectionFlagSet flags;
    };
    const Row rows[] = {
        {"standard leaves only",
         1,
         0x80000000,
         0,
         {"  [I] Processor Identity", "  [F] Std. Features"},
         {true, true, false, false, false, false, false, false, false, false, false, false}},
        {"no standard leaf beyond 0", 0, 0, 0, {}, {}},
        {"leaf 2 offers C",
         2,
         0,
         0,
         {"  [I] Processor Identity", "  [F] Std. Features", "  [C] Std. Processor Configuration Descriptor"},
         {true, true, true, false, false, false, false, false, false, false, false, false}},
        {"extended up to 0x80000004",
         1,
         0x80000004,
         0,
         {"  [I] Processor Identity", "  [F] Std. Features", kSeparator, "  [i] Ext. Processor Identity",
          "  [f] Ext. Features"},
         {true, true, false, true, true, false, false, false, false, false, false, false}},
        {"every extended section",
         1,
         0x80000008,
         0,
         {"  [I] Processor Identity", "  [F] Std. Features", kSeparator, "  [i] Ext. Processor Identity",
          "  [f] Ext. Features", "  [1] Ext. L1 Cache Configuration", "  [2] Ext. L2 Cache Configuration",
          "  [P] Enhanced Power Management", "  [H] Physical Address and Linear Address Size"},
         {true, true, false, true, true, true, true, true, true, false, false, false}},
        {"Transmeta 0x80860006: no S",
         1,
         0x80000001,
         0x80860006,
         {"  [I] Processor Identity", "  [F] Std. Features", kSeparator, "  [i] Ext. Processor Identity",
          "  [f] Ext. Features", kSeparator, "  [T] Transmeta Processor Identity",
          "  [t] Transmeta Processor Features"},
         {true, true, false, true, true, false, false, false, false, true, true, false}},
        {"Transmeta 0x80860007 offers S",
         1,
         0x80000001,
         0x80860007,
         {"  [I] Processor Identity", "  [F] Std. Features", kSeparator, "  [i] Ext. Processor Identity",
          "  [f] Ext. Features", kSeparator, "  [T] Transmeta Processor Identity",
          "  [t] Transmeta Processor Features", "  [S] Transmeta Current Status"},
         {true, true, false, true, true, false, false, false, false, true, true, true}},
    };
    for (const Row& row : rows) {
        record = ProcessorRecord{};
        run = RunState{};
        record.maxStandardLeaf = row.maxStd;
        record.maxExtendedLeaf = row.maxExt;
        record.maxTransmetaLeaf = row.maxTmx;
        ConsoleCapture console;
        DrawMenu(record, run);
        std::string middle;
        for (const std::string& line : row.rows) {
            middle += line + "\r\n";
        }
        EXPECT_EQ(console.Output(), MenuHead() + middle + MenuTail()) << row.name;
        const SectionFlagSet& f = run.sectionFlags;
        const bool got[] = {f.identity,      f.stdFeatures,       f.stdConfig,         f.extIdentity,
                            f.extFeatures,   f.l1Cache,           f.l2Cache,           f.powerManagement,
                            f.addressWidths, f.transmetaIdentity, f.transmetaFeatures, f.transmetaStatus};
        const bool want[] = {
            row.flags.identity,          row.flags.stdFeatures,       row.flags.stdConfig,
            row.flags.extIdentity,       row.flags.extFeatures,       row.flags.l1Cache,
            row.flags.l2Cache,           row.flags.powerManagement,   row.flags.addressWidths,
            row.flags.transmetaIdentity, row.flags.transmetaFeatures, row.flags.transmetaStatus};
        for (size_t i = 0; i < 12; ++i) {
            EXPECT_EQ(got[i], want[i]) << row.name << ", flag " << i;
        }
    }
}

TEST_F(Menu, FlagsAreNeverClearedAgain) {
    ProcessorRecord record;
    RunState run;
    record.maxStandardLeaf = 2;
    ConsoleCapture console;
    DrawMenu(record, run);
    record.maxStandardLeaf = 0;
    DrawMenu(record, run);
    EXPECT_TRUE(run.sectionFlags.stdConfig);
}

TEST_F(Menu, UnacceptedKeysAreReadAgainSilently) {
    ProcessorRecord record;
    RunState run;
    IniFile db;
    // q, x, an empty line and a blank are ignored; T is accepted but not offered
    // here, so the menu is drawn again; Q ends through the quit screen.
    ConsoleCapture console("q\nx\n\n T\nT\r\nQuit now\n");
    ProbeWorld(record, db);
    RunMenu(record, run);
    std::string menu = MenuHead() + Lines({"  [I] Processor Identity", "  [F] Std. Features"}) + MenuTail();
    EXPECT_EQ(console.Output(), menu + menu + kQuitScreen);
    EXPECT_EQ(run.menuKey, 'Q');
    EXPECT_TRUE(run.quitRequested);
}

TEST_F(Menu, EndOfInputEndsLikeQuit) {
    ProcessorRecord record;
    RunState run;
    IniFile db;
    ConsoleCapture console("x\n");
    ProbeWorld(record, db);
    RunMenu(record, run);
    std::string menu = MenuHead() + Lines({"  [I] Processor Identity", "  [F] Std. Features"}) + MenuTail();
    EXPECT_EQ(console.Output(), menu + kQuitScreen);
}

TEST_F(Menu, OptionsOnlyTheFirstArgumentExactly) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        bool verbose, capture;
    };
    const Row rows[] = {
        {"none", {}, false, false},
        {"-v", {"-v"}, true, false},
        {"-c", {"-c"}, false, true},
        {"-c then -v", {"-c", "-v"}, false, true},
        {"x then -v", {"x", "-v"}, false, false},
        {"-C", {"-C"}, false, false},
        {"/c", {"/c"}, false, false},
        {"-v with trailing blank", {"-v "}, false, false},
    };
    for (const Row& row : rows) {
        ResetWorld(LevelTable(1, 0));
        // Capture mode takes the first line as its file name; the menu ignores it.
        // The record of the run is the program's own: the options show in what it writes.
        ConsoleCapture console(::testing::TempDir() + "options-capture\nQ\n");
        EXPECT_EQ(RunMenuProgram(row.args, WorldMachine()), 0) << row.name;
        std::string out = console.Output();
        EXPECT_EQ(out.find("VELDRIX Menu") != std::string::npos, !row.capture) << row.name;
        EXPECT_EQ(out.find("done.\r\n") != std::string::npos, row.verbose) << row.name;
    }
}

TEST_F(Menu, VerboseStartUpWholeScreen) {
    ConsoleCapture console("Q\n");
    RunMenuProgram({"-v"}, WorldMachine());
    EXPECT_EQ(
        console.Output(),
        Banner() +
            Lines({"Retrieving CPUID..", " -> Retrieving VendorID...[done]  ==>  GenuineIntel",
                   " -> Max. Standard Level : 00000001",
                   " -> Retrieving Standard Level CPUID...[done]  ==>  00000683", " -> Brand ID : 00",
                   " -> Retrieving Standard Level Features...[done]  ==>  00000010",
                   " -> Max. Extended Level : 00000000",
                   " -> Calculating processor speed...[done]  ==>   930.412 MHz  [ ~933 MHz]", "done."}) +
            MenuHead() + Lines({"  [I] Processor Identity", "  [F] Std. Features"}) + MenuTail() +
            kQuitScreen);
}

TEST_F(Menu, NoCpuidIsRefusedAfterTheBanner) {
    ProcessorRecord record;
    RunState run;
    ResetWorld(CpuidTable{});
    ConsoleCapture console("Q\n");
    EXPECT_EQ(RunMenuProgram({"-v"}, WorldMachine()), 0);
    EXPECT_EQ(console.Output(), Banner() + Lines({"", "Your CPU does not support CPUID command."}));
    EXPECT_FALSE(record.cpuidSupported);
}

TEST_F(Menu, AboutRepeatsTheBannerAndReadsTheVersionAgain) {
    ProcessorRecord record;
    RunState run;
    std::string path = WriteTempFile("about.dat", "[DATInfo]\r\nVersion=first\r\n");
    SetDatabaseLocation(path);
    ConsoleCapture console("typed text\n");
    ShowBanner(OpenDatabase());
    WriteTempFile("about.dat", "[DATInfo]\r\nVersion=second\r\n[TextWidth]\r\nStandardFeatures=9\r\n");
    console.Clear();
    ShowAbout(run);
    EXPECT_EQ(console.Output(), Lines({"", "About : "}) + Banner("second") + "\r\n ---- End ----");
    EXPECT_EQ(run.textWidths.standardFeatures, 9) << "the widths of the file read again hold from now on";
}

TEST_F(Menu, AMissingDataFileIsNotedOnceOnStandardError) {
    struct Row {
        const char* rule;
        bool withFile;
        std::string errors;
    };
    const Row rows[] = {
        {"missing", false,
         PlainLines("veldrix: cannot open data file " + DatabasePath() +
                    "; processor and feature names will be empty\n")},
        {"present", true, ""},
    };
    for (const Row& row : rows) {
        if (row.withFile) {
            SetDatabaseLocation(WriteTempFile("present.dat", "[DATInfo]\r\nVersion=present\r\n"));
        }
        ConsoleCapture console("A\n\nA\n\nQ\n");
        EXPECT_EQ(RunMenuProgram({}, WorldMachine()), 0) << row.rule;
        EXPECT_EQ(console.Errors(), row.errors) << row.rule << ": once, although About reads the file twice";
        EXPECT_EQ(console.Output().find("veldrix: "), std::string::npos) << row.rule;
    }
}

TEST_F(Menu, HelpPagesDiscardWhatIsTypedAtTheStops) {
    ConsoleCapture console("I\nQ\nanything\nF\nQ\n");
    ShowHelp();
    std::string out = console.Output();
    const std::string stops[] = {"  ---- More ----\r\n", "  ---- More ----\r\n", "  ---- More ----\r\n"};
    size_t at = 0;
    for (const std::string& stop : stops) {
        at = out.find("\r\n" + stop, at);
        ASSERT_NE(at, std::string::npos);
        at += stop.size();
    }
    EXPECT_EQ(out.substr(0, 19), "\r\n\r\n VELDRIX Help\r\n");
    EXPECT_NE(out.find("\r\n  ---- More ----\r\n  Processor configuration include"), std::string::npos);
    EXPECT_NE(out.find("\r\n  ---- More ----\r\n   [I] Processor Identity\r\n"), std::string::npos);
    EXPECT_NE(out.find("   [f] Extended Features \r\n"), std::string::npos);
    EXPECT_NE(out.find("   <> Bla .. bla .. bla .. etc \r\n"), std::string::npos);
    EXPECT_EQ(out.substr(out.size() - 17), "\r\n  ---- End ----");
    // Four waits took four lines; the fifth line is still unread.
    std::string rest;
    ASSERT_TRUE(ConReadLine(rest));
    EXPECT_EQ(rest, "Q");
}

TEST_F(Menu, HelpOptionRunsBeforeTheProbe) {
    ConsoleCapture console("\n\n\n\nQ\n");
    RunMenuProgram({"-?"}, WorldMachine());
    std::string out = console.Output();
    size_t help = out.find(" VELDRIX Help");
    size_t end = out.find("  ---- End ----");
    size_t menu = out.find("VELDRIX Menu");
    ASSERT_NE(help, std::string::npos);
    ASSERT_NE(menu, std::string::npos);
    EXPECT_LT(help, end);
    EXPECT_LT(end, menu);
    EXPECT_EQ(out.substr(end, 15 + 2 + 14), "  ---- End ----\r\nVELDRIX Menu\r\n")
        << "the menu's own empty line follows";
}
