// The banner, the menu loop, About and the quit screen.
#pragma once

#include "names/ini_file.hpp"

#include <string>
#include <vector>

struct ProcessorRecord;

// The four banner lines, with the version of the data file read.
void ShowBanner(const IniFile& database);

// Draws the menu, setting the flags of the sections it offers.
void DrawMenu(ProcessorRecord& record);

// Menu loop on the record of the run until the quit screen has run.
void RunMenu(ProcessorRecord& record);

void ShowAbout(ProcessorRecord& record);
void ShowQuitScreen(ProcessorRecord& record);

// Applies one command-line option ("-c", "-v", "-?"); anything else does nothing.
void ApplyOption(ProcessorRecord& record, const std::string& option);
