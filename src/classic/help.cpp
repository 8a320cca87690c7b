// The four help pages, shown for key "?" and for option "-?".
#include "classic/views.hpp"
#include "console/console_io.hpp"

namespace {

const char* const kPageOne[] = {
    "",
    "",
    " VELDRIX Help",
    " ============",
    "",
    "  This utility is used to display your processor features and its configuration.",
    "  As you must know, every processor generation has its own configuration and",
    "  features. The processor features are not just limited to how fast your",
    "  processor speed (MHz), but its more than you know.",
    "",
    "  You may ever asked these questions:",
    "   <> What does your processor can do ?",
    "   <> Does your processor support SSE2 technology ?",
    "   <> How much your L1 processor cache ?",
    "   <> How much your L2 processor cache ?",
    "   <> Does your processor support Bus Multiplier control ?",
    "   <> Bla .. bla .. bla .. etc ",
    "",
    "  Processor features are some built in specific features, instructions or",
    "  technologies supported by your processor. For example built in Floating Point",
    "  Unit (FPU), RDTSC support, MMX support, MTRR, SEP, CMOV, SSE, SSE-2, 3DNOW,",
    "  Ext. 3DNOW support, etc.",
};

const char* const kPageTwo[] = {
    "  Processor configuration include your processor vendor or manufacturer, its",
    "  generation, type, family, model, stepping, Brand ID, Serial Number, also L1",
    "  and L2 cache configuration.",
    "",
    "  But unfortunatelly, your BIOS and Windows OS does not provides you enough",
    "  informations about your processor configuration and its available features.",
    "  So you can not get so much informations.",
    "",
    "  Fortunatelly, I have made VELDRIX, a simple utility that can provides you",
    "  enough informations about your processor configuration and of course with",
    "  its available features supported.",
    "",
    "  VELDRIX provides you a simple menu which contain your processor informations",
    "  such as configuration and its features. To display the information you",
    "  wanted, just select it from the menu. VELDRIX has 14 (fourteen) information",
    "  sections about your processor configuration. They are:",
};

const char* const kPageThree[] = {
    "   [I] Processor Identity",
    "   [F] Standard Features",
    "   [C] Standard Configuration",
    "   [i] Extended Processor Identity",
    "   [f] Extended Features ",
    "   [1] Extended L1 Cache Configuration",
    "   [2] Extended L2 Cache Configuration",
    "   [P] Enhanced Power Management",
    "   [H] Physical Address and Linear Address Size",
    "   [T] Transmeta Processor Identity",
    "   [t] Transmeta Processor Features",
    "   [S] Transmeta Processor Status",
    "   [D] Dhrystone Benchmark",
    "   [W] Whetstone Benchmark",
    "",
    "  But all of fourteen menus above can not always be displayed together, however",
    "  they are depend on your processor configuration and features. For example,",
    "  some menus may not be displayed on your Pentium II processor, and others may",
    "  not be displayed on your Athlon processor.",
};

const char* const kPageFour[] = {
    "  To activate the command, just type the starting character for each command.",
    "  For example, to see how large your L2 cache is, type 2 and press Enter.",
};

template <size_t N> void WriteLines(const char* const (&lines)[N]) {
    for (const char* line : lines) {
        ConLine(line);
    }
}

void HelpStop(const char* prompt) {
    ConLine();
    ConWrite(prompt);
    ConFlush();
    WaitForEnter();
}

// A page stop; the next page starts with one empty line.
void PageStop() {
    HelpStop("  ---- More ----");
    ConLine();
}

} // namespace

void ShowHelp() {
    WriteLines(kPageOne);
    PageStop();
    WriteLines(kPageTwo);
    PageStop();
    WriteLines(kPageThree);
    PageStop();
    WriteLines(kPageFour);
    HelpStop("  ---- End ----");
}
