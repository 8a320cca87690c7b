#include "classic/menu.hpp"

#include "classic/bench_screens.hpp"
#include "classic/html_report.hpp"
#include "classic/menu_sections.hpp"
#include "classic/record.hpp"
#include "classic/run_state.hpp"
#include "classic/views.hpp"
#include "console/console_io.hpp"
#include "names/processor_db.hpp"

namespace {

const char kSeparator[] = "  --------------------------------------------";
// The keys that are always offered, after the optional sections.
struct MenuAction {
    char key;
    void (*action)(const ProcessorRecord& record, RunState& run);
};

const MenuAction kMenuActions[] = {
    {'D', [](const ProcessorRecord&, RunState& run) { ShowDhrystone(run); }},
    {'W', [](const ProcessorRecord&, RunState& run) { ShowWhetstone(run); }},
    {'R', [](const ProcessorRecord& record,
             RunState& run) { WriteHtmlReport(record, run, MenuReportSections()); }},
    {'A', [](const ProcessorRecord&, RunState& run) { ShowAbout(run); }},
    {'?', [](const ProcessorRecord&, RunState&) { ShowHelp(); }},
    {'Q', [](const ProcessorRecord&, RunState& run) { ShowQuitScreen(run); }},
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
void Dispatch(const ProcessorRecord& record, RunState& run, char key) {
    if (const MenuSection* section = FindMenuSection(key)) {
        if (run.sectionFlags.*section->flag) {
            section->show(record, run);
        }
    } else if (const MenuAction* entry = FindMenuAction(key)) {
        entry->action(record, run);
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

void DrawMenu(const ProcessorRecord& record, RunState& run) {
    SectionFlagSet& flags = run.sectionFlags;
    ConLine();
    ConLine("VELDRIX Menu");
    ConLine("============");
    for (const MenuSection& section : kMenuSections) {
        if (!section.offered(record)) {
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

void RunMenu(const ProcessorRecord& record, RunState& run) {
    while (!run.quitRequested) {
        DrawMenu(record, run);
        run.menuKey = ReadMenuKey();
        Dispatch(record, run, run.menuKey);
    }
}

// The data file is read again, so a file replaced while the menu waited
// shows its own version, and its column widths hold from now on.
void ShowAbout(RunState& run) {
    WriteHeading("About : ");
    IniFile database = OpenDatabase();
    run.textWidths = ReadTextWidths(database);
    ShowBanner(database);
    CloseDatabase(database);
    PauseEnd();
}

void ShowQuitScreen(RunState& run) {
    ConLine();
    ConLine("~ Thank you for using VELDRIX.");
    ConLine("~ Know your processor, know your machine.");
    ConFlush();
    run.quitRequested = true;
}

void ApplyOption(RunState& run, const std::string& option) {
    if (option == "-c") {
        run.captureMode = true;
    } else if (option == "-v") {
        run.verbose = true;
    } else if (option == "-?") {
        ShowHelp();
    }
}
