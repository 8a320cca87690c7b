// The optional sections of the menu, one row each: what the menu offers,
// which key runs which screen, what the HTML report writes and what the
// probe decodes all follow this one table.
#pragma once

#include "probe/record.hpp"

struct MenuSection {
    char key;
    const char* menuLine;
    bool separatorBefore; // a separator line precedes the row when it is offered
    bool (*offered)(const ProcessorRecord& record);
    bool SectionFlagSet::*flag;                         // set once the menu has offered the section
    void (*show)(const ProcessorRecord& record);        // the screen of the key
    void (*writeReport)(const ProcessorRecord& record); // the section of the HTML report
};

// In menu order: I F C i f 1 2 P H T t S.
extern const MenuSection kMenuSections[12];

// The row of the key, or nullptr when the key is no optional section.
const MenuSection* FindMenuSection(char key);

// Whether the processor reports what the section of the key shows.
bool SectionOffered(const ProcessorRecord& record, char key);
