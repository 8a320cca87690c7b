// Console screens: the shared frame, the section views and the help.
#pragma once

#include <string>

struct ProcessorRecord;
struct TextWidths;

// An empty line, then the heading, then a line end.
void WriteHeading(const std::string& heading);

// Reads one line and throws it away; returns at end of input too.
void WaitForEnter();

// " ---- More ----" after an empty line, then a wait for Enter.
void PauseMore();

// " ---- End ----" after an empty line, then a wait for Enter.
void PauseEnd();

// Section views, one per menu key.
void ShowProcessorIdentity(const ProcessorRecord& record);                          // I
void ShowStandardFeatures(const ProcessorRecord& record, const TextWidths& widths); // F
void ShowConfigurationDescriptors(const ProcessorRecord& record);                   // C
void ShowExtendedIdentity(const ProcessorRecord& record);                           // i
void ShowExtendedFeatures(const ProcessorRecord& record, const TextWidths& widths); // f
void ShowL1Cache(const ProcessorRecord& record);                                    // 1
void ShowL2Cache(const ProcessorRecord& record);                                    // 2
void ShowPowerManagement(const ProcessorRecord& record, const TextWidths& widths);  // P
void ShowAddressSizes(const ProcessorRecord& record);                               // H
void ShowTransmetaIdentity(const ProcessorRecord& record);                          // T
void ShowTransmetaFeatures(const ProcessorRecord& record);                          // t
void ShowTransmetaStatus(const ProcessorRecord& record);                            // S

// The four help pages (key ? and option -?).
void ShowHelp();
