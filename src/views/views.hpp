// Console screens: the shared frame, the section views and the help.
#pragma once

#include <string>

// An empty line, then the heading, then a line end.
void WriteHeading(const std::string& heading);

// Reads one line and throws it away; returns at end of input too.
void WaitForEnter();

// " ---- More ----" after an empty line, then a wait for Enter.
void PauseMore();

// " ---- End ----" after an empty line, then a wait for Enter.
void PauseEnd();

// Section views, one per menu key.
void ShowProcessorIdentity();        // I
void ShowStandardFeatures();         // F
void ShowConfigurationDescriptors(); // C
void ShowExtendedIdentity();         // i
void ShowExtendedFeatures();         // f
void ShowL1Cache();                  // 1
void ShowL2Cache();                  // 2
void ShowPowerManagement();          // P
void ShowAddressSizes();             // H
void ShowTransmetaIdentity();        // T
void ShowTransmetaFeatures();        // t
void ShowTransmetaStatus();          // S

// The four help pages (key ? and option -?).
void ShowHelp();
