#include "console/menu.hpp"

#include "bench/bench.hpp"
#include "console/console_io.hpp"
#include "console/menu_sections.hpp"
#include "console/replay.hpp"
#include "database/processor_db.hpp"
#include "probe/cpuid.hpp"
#include "probe/probe.hpp"
#include "probe/record.hpp"
#include "reports/html_report.hpp"
#include "reports/raw_capture.hpp"
#include "views/views.hpp"

namespace {

const char kSeparator[] = "  --------------------------------------------";
// The keys that are always offered, after the optional sections.
struct MenuAction {
    char key;
    void (*action)();
};

const MenuAction kMenuActions[] = {
    {'D', ShowDhrystone}, {'W', ShowWhetstone}, {'R', WriteHtmlReport},
    {'A', ShowAbout},     {'?', ShowHelp},      {'Q', ShowQuitScreen},
};

const MenuAction* FindMenuAction(char key) {
    for (const MenuAction& entry : kMenuActions) {
        if (entry.key == key) {
            return &entry;
        }
    }
    return nullptr;
}

// Writes the lines of one menu row and sets the flags it offers.
void OfferSection(bool& flag, const char* line) {
    flag = true;
    ConLine(line);
}

// A section runs only once the menu has offered it.
void Dispatch(char key) {
    if (const MenuSection* section = FindMenuSection(key)) {
        if (gRecord.sectionFlags.*section->flag) {
            section->show();
        }
    } else if (const MenuAction* entry = FindMenuAction(key)) {
        entry->action();
    }
}

bool IsAcceptedKey(char key) {
    return FindMenuSection(key) != nullptr || FindMenuAction(key) != nullptr;
}

// Reads lines until one starts with an accepted key. End of input counts as Q.
char ReadMenuKey() {
    std::string line;
    while (ConReadLine(line)) {
        char key = line.empty() ? '\n' : line[0];
        if (IsAcceptedKey(key)) {
            return key;
        }
    }
    return 'Q';
}

} // namespace

void ShowBanner() {
    OpenDatabase();
    gRecord.databaseVersionLine = "~ Database Version " + ReadDatabaseVersion();
    ConLine("~ VELDRIX - The Processor Detector for Win32 Console");
    ConLine("~ Version 1.30 - 31 August 2002");
    ConLine(gRecord.databaseVersionLine);
    ConLine("~ Written by the VELDRIX developers");
    ConLine();
}

void DrawMenu() {
    ProcessorRecord& r = gRecord;
    SectionFlagSet& flags = r.sectionFlags;
    ConLine();
    ConLine("VELDRIX Menu");
    ConLine("============");
    for (const MenuSection& section : kMenuSections) {
        if (!section.offered(r)) {
            continue;
        }
        if (section.separatorBefore) {
            ConLine(kSeparator);
        }
        OfferSection(flags.*section.flag, section.menuLine);
    }
    ConLine(kSeparator);
    ConLine("  [D] Integer Dhrystone Benchmark");
    ConLine("  [W] Floating Point Whetstone Benchmark");
    ConLine(kSeparator);
    ConLine("  [R] Generate HTML Report");
    ConLine("  [A] About");
    ConLine("  [Q] Quit");
    ConLine();
    ConWrite("And your choise is.. [type \"?\" for help] ");
    ConFlush();
}

void RunMenu() {
    while (!gRecord.quitRequested) {
        DrawMenu();
        gRecord.menuKey = ReadMenuKey();
        Dispatch(gRecord.menuKey);
    }
}

void ShowAbout() {
    WriteHeading("About : ");
    ShowBanner();
    PauseEnd();
}

void ShowQuitScreen() {
    ConLine();
    ConLine("~ Thank you for using VELDRIX.");
    ConLine("~ Know your processor, know your machine.");
    ConFlush();
    gRecord.quitRequested = true;
}

void ApplyOption(const std::string& option) {
    if (option == "-c") {
        gRecord.captureMode = true;
    } else if (option == "-v") {
        gRecord.verbose = true;
    } else if (option == "-?") {
        ShowHelp();
    }
}

int RunVeldrix(const std::vector<std::string>& args) {
    ShowBanner();
    std::string option;
    if (!SelectCpuidSource(args, option)) {
        return kUnreadableDumpStatus;
    }
    ApplyOption(option);
    gRecord.cpuidSupported = HasCpuid();
    if (!gRecord.cpuidSupported) {
        ConLine("\r\nYour CPU does not support CPUID command.");
        ConFlush();
        return 0;
    }
    if (gRecord.verbose) {
        ConLine("Retrieving CPUID..");
    }
    ProbeProcessor();
    if (gRecord.captureMode) {
        WriteRawCapture();
        ShowQuitScreen();
        return 0;
    }
    if (gRecord.verbose) {
        ConLine("done.");
    }
    RunMenu();
    ConFlush();
    return 0;
}
