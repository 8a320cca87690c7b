#include "console/menu.hpp"

#include "bench/bench.hpp"
#include "console/console_io.hpp"
#include "console/replay.hpp"
#include "database/processor_db.hpp"
#include "probe/cpuid.hpp"
#include "probe/leaves.hpp"
#include "probe/probe.hpp"
#include "probe/record.hpp"
#include "reports/html_report.hpp"
#include "reports/raw_capture.hpp"
#include "views/views.hpp"

#include <cstring>

namespace {

const char kSeparator[] = "  --------------------------------------------";
const char kAcceptedKeys[] = "12?ACDFHIPQRSTWfit";

// One menu key: the section flag it needs (none for the always-offered keys)
// and what it runs. A key whose action is not built yet does nothing.
struct MenuAction {
    char key;
    bool SectionFlagSet::*needs;
    void (*action)();
};

const MenuAction kMenuActions[] = {
    {'I', &SectionFlagSet::identity, ShowProcessorIdentity},
    {'F', &SectionFlagSet::stdFeatures, ShowStandardFeatures},
    {'C', &SectionFlagSet::stdConfig, ShowConfigurationDescriptors},
    {'i', &SectionFlagSet::extIdentity, ShowExtendedIdentity},
    {'f', &SectionFlagSet::extFeatures, ShowExtendedFeatures},
    {'1', &SectionFlagSet::l1Cache, ShowL1Cache},
    {'2', &SectionFlagSet::l2Cache, ShowL2Cache},
    {'P', &SectionFlagSet::powerManagement, ShowPowerManagement},
    {'H', &SectionFlagSet::addressWidths, ShowAddressSizes},
    {'T', &SectionFlagSet::transmetaIdentity, ShowTransmetaIdentity},
    {'t', &SectionFlagSet::transmetaFeatures, ShowTransmetaFeatures},
    {'S', &SectionFlagSet::transmetaStatus, ShowTransmetaStatus},
    {'D', nullptr, ShowDhrystone},
    {'W', nullptr, ShowWhetstone},
    {'R', nullptr, WriteHtmlReport},
    {'A', nullptr, ShowAbout},
    {'?', nullptr, ShowHelp},
    {'Q', nullptr, ShowQuitScreen},
};

// Writes the lines of one menu row and sets the flags it offers.
void OfferSection(bool& flag, const char* line) {
    flag = true;
    ConLine(line);
}

void Dispatch(char key) {
    for (const MenuAction& entry : kMenuActions) {
        if (entry.key != key) {
            continue;
        }
        bool offered = entry.needs == nullptr || gRecord.sectionFlags.*entry.needs;
        if (offered && entry.action != nullptr) {
            entry.action();
        }
        return;
    }
}

bool IsAcceptedKey(char key) {
    return key != '\0' && std::strchr(kAcceptedKeys, key) != nullptr;
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

bool ShowBanner() {
    bool read = OpenDatabase();
    gRecord.databaseVersionLine = "~ Database Version " + ReadDatabaseVersion();
    ConLine("~ VELDRIX - The Processor Detector for Win32 Console");
    ConLine("~ Version 1.30 - 31 August 2002");
    ConLine(gRecord.databaseVersionLine);
    ConLine("~ Written by the VELDRIX developers");
    ConLine();
    return read;
}

void DrawMenu() {
    ProcessorRecord& r = gRecord;
    SectionFlagSet& flags = r.sectionFlags;
    ConLine();
    ConLine("VELDRIX Menu");
    ConLine("============");
    if (r.maxStdLevel > 0) {
        OfferSection(flags.identity, "  [I] Processor Identity");
        OfferSection(flags.stdFeatures, "  [F] Std. Features");
    }
    if (r.maxStdLevel > 1) {
        OfferSection(flags.stdConfig, "  [C] Std. Processor Configuration Descriptor");
    }
    if (r.maxExtLevel > kExtendedBase) {
        ConLine(kSeparator);
        OfferSection(flags.extIdentity, "  [i] Ext. Processor Identity");
        OfferSection(flags.extFeatures, "  [f] Ext. Features");
    }
    if (r.maxExtLevel > kExtendedBase + 4) {
        OfferSection(flags.l1Cache, "  [1] Ext. L1 Cache Configuration");
    }
    if (r.maxExtLevel > kExtendedBase + 5) {
        OfferSection(flags.l2Cache, "  [2] Ext. L2 Cache Configuration");
    }
    if (r.maxExtLevel > kExtendedBase + 6) {
        OfferSection(flags.powerManagement, "  [P] Enhanced Power Management");
    }
    if (r.maxExtLevel > kExtendedBase + 7) {
        OfferSection(flags.addressWidths, "  [H] Physical Address and Linear Address Size");
    }
    if (r.maxTransmetaLevel > kTransmetaBase) {
        ConLine(kSeparator);
        OfferSection(flags.transmetaIdentity, "  [T] Transmeta Processor Identity");
        OfferSection(flags.transmetaFeatures, "  [t] Transmeta Processor Features");
    }
    if (r.maxTransmetaLevel > kTransmetaBase + 6) {
        OfferSection(flags.transmetaStatus, "  [S] Transmeta Current Status");
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
    if (!ShowBanner()) {
        // Said once, at start: About reads the file again but says nothing.
        ConError("veldrix: cannot open data file " + DatabasePath() +
                 "; processor and feature names will be empty");
    }
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
