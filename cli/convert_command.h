#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Exit statuses of kelvane-convert.
enum ExitStatus : int {
    kExitSuccess = 0,   // every file converted
    kExitFailures = 1,  // at least one file failed; the others were converted
    kExitUsage = 2,     // the command line was wrong; nothing was converted
};

// Runs `kelvane-convert [--area A] [--columns ORDER] FILE...` with `arguments` (without the program
// name), printing progress to `out` and errors to `err`; a FILE `-` reads its table from `in` and
// writes the converted table to `out`, and the progress then goes to `err`. Returns the exit
// status.
int RunConvertCommand(const std::vector<std::string>& arguments, std::FILE* in, std::FILE* out,
                      std::FILE* err);

// Parses an area argument: a number whose float lies from FLT_MIN to FLT_MAX; false otherwise.
bool ParseArea(const std::string& text, double& area);
