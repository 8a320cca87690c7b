// The whole program: the command-line outputs, or else the menu program on
// this machine's processor.
#pragma once

#include <string>
#include <vector>

// Runs the program on the arguments (without the program name) and returns
// the exit status: kOutputFailedStatus, whatever the run gave, when standard
// output could not be written.
int RunVeldrix(const std::vector<std::string>& args);
