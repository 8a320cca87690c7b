// The optional sections of the menu, one row each: what the menu offers,
// which key runs which screen and what the HTML report writes all follow
// this one table.
#pragma once

#include "classic/html_report.hpp"
#include "classic/record.hpp"
#include "classic/run_state.hpp"

#include <vector>

struct MenuSection {
    char key;
    const char* menuLine;
    bool separatorBefore; // a separator line precedes the row when it is offered
    bool (*offered)(const ProcessorRecord& record);
    bool SectionFlagSet::*flag; // set once the menu has offered the section
    void (*show)(const ProcessorRecord& record, const RunState& run);   // the screen of the key
    void (*writeReport)(TextFile& page, const ProcessorRecord& record); // the section of the HTML report
};

// In menu order: I F C i f 1 2 P H T t S.
extern const MenuSection kMenuSections[12];

// The row of the key, or nullptr when the key is no optional section.
const MenuSection* FindMenuSection(char key);

// The report's sections, in menu order.
std::vector<ReportSection> MenuReportSections();
