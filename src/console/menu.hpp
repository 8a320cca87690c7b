// The program's entry, command line, banner, menu loop, About and quit screens.
#pragma once

#include "database/ini_file.hpp"

#include <string>
#include <vector>

struct ProcessorRecord;

// Runs the whole program on the arguments (without the program name) and
// returns the exit status: kOutputFailedStatus, whatever the run gave, when
// standard output could not be written.
int RunVeldrix(const std::vector<std::string>& args);

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
