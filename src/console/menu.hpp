// The program's entry, command line, banner, menu loop, About and quit screens.
#pragma once

#include <string>
#include <vector>

// Runs the whole program on the arguments (without the program name) and
// returns the exit status.
int RunVeldrix(const std::vector<std::string>& args);

// Reads the data file and shows the banner with its version; false when the
// data file could not be read.
bool ShowBanner();

// Draws the menu, setting the flags of the sections it offers.
void DrawMenu();

// Menu loop until the quit screen has run.
void RunMenu();

void ShowAbout();
void ShowQuitScreen();

// Applies one command-line option ("-c", "-v", "-?"); anything else does nothing.
void ApplyOption(const std::string& option);
