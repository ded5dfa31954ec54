// Running barterbox-server.exe on Windows for the scenario runner: standard output and standard
// error in one pipe, standard input empty, as an operator's console shows them.
#pragma once

#include <string>
#include <vector>

namespace scenarios {

// Runs the program (the first word) with the other words as its arguments, all UTF-8; returns
// everything it printed and sets `status` to its exit code.
std::string RunProgramWindows(const std::vector<std::string>& command, int& status);

// The system's own words for "the module file does not exist", as the server reports it.
std::string ModuleNotFoundText();

} // namespace scenarios
