// The banner, the menu loop, About and the quit screen.
#pragma once

#include "names/ini_file.hpp"

#include <string>
#include <vector>

struct ProcessorRecord;
struct RunState;

// The four banner lines, with the version of the data file read.
void ShowBanner(const IniFile& database);

// Draws the menu, setting the flags of the sections it offers.
void DrawMenu(const ProcessorRecord& record, RunState& run);

// Menu loop on the record of the run until the quit screen has run.
void RunMenu(const ProcessorRecord& record, RunState& run);

void ShowAbout(RunState& run);
void ShowQuitScreen(RunState& run);

// Applies one command-line option ("-c", "-v", "-?"); anything else does nothing.
void ApplyOption(RunState& run, const std::string& option);
