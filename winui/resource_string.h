#pragma once

#include <windows.h>

#include <string>

// The string `id` of the program's string table in UTF-8, or empty when there is none.
std::string AfxLoadString(UINT id);
