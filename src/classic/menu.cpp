#include "classic/menu.hpp"

#include "classic/bench_screens.hpp"
#include "classic/html_report.hpp"
#include "classic/menu_sections.hpp"
#include "classic/record.hpp"
#include "classic/views.hpp"
#include "console/console_io.hpp"
#include "names/processor_db.hpp"

namespace {

const char kSeparator[] = "  --------------------------------------------";
// The keys that are always offered, after the optional sections.
struct MenuAction {
    char key;
    void (*action)(ProcessorRecord& record);
};

const MenuAction kMenuActions[] = {
    {'D', ShowDhrystone},
    {'W', ShowWhetstone},
    {'R', [](ProcessorRecord& record) { WriteHtmlReport(record, MenuReportSections()); }},
    {'A', ShowAbout},
    {'?', [](ProcessorRecord&) { ShowHelp(); }},
    {'Q', ShowQuitScreen},
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
void Dispatch(ProcessorRecord& record, char key) {
    if (const MenuSection* section = FindMenuSection(key)) {
        if (record.sectionFlags.*section->flag) {
            section->show(record);
        }
    } else if (const MenuAction* entry = FindMenuAction(key)) {
        entry->action(record);
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

void ShowBanner(const IniFile& database) {
    ConLine("~ VELDRIX - The Processor Detector for Win32 Console");
    ConLine("~ Version 1.30 - 31 August 2002");
    ConLine("~ Database Version " + MachineText(ReadDatabaseVersion(database)));
    ConLine("~ Written by the VELDRIX developers");
    ConLine();
}

void DrawMenu(ProcessorRecord& r) {
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

void RunMenu(ProcessorRecord& record) {
    while (!record.quitRequested) {
        DrawMenu(record);
        record.menuKey = ReadMenuKey();
        Dispatch(record, record.menuKey);
    }
}

// The data file is read again, so a file replaced while the menu waited
// shows its own version, and its column widths hold from now on.
void ShowAbout(ProcessorRecord& record) {
    WriteHeading("About : ");
    IniFile database = OpenDatabase();
    record.textWidths = ReadTextWidths(database);
    ShowBanner(database);
    CloseDatabase(database);
    PauseEnd();
}

void ShowQuitScreen(ProcessorRecord& record) {
    ConLine();
    ConLine("~ Thank you for using VELDRIX.");
    ConLine("~ Know your processor, know your machine.");
    ConFlush();
    record.quitRequested = true;
}

void ApplyOption(ProcessorRecord& record, const std::string& option) {
    if (option == "-c") {
        record.captureMode = true;
    } else if (option == "-v") {
        record.verbose = true;
    } else if (option == "-?") {
        ShowHelp();
    }
}
