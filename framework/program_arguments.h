#pragma once

#include <string>
#include <vector>

// The program's arguments after its name, in UTF-8. On Windows they are taken from the wide
// command line, so that every name arrives whatever the ANSI code page; elsewhere from `argv`.
std::vector<std::string> ProgramArguments(int argc, char** argv);
