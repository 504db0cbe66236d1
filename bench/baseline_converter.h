#pragma once

#include <string>

// The straightforward conversion through the C library: fgets, sscanf "%g %g" (a line whose τ is
// followed directly by text that cannot end a number is no row), snprintf
// "%f, %g", fputs and an ftell per line. The reference for speed, and on glibc for the bytes.
// Returns false when a file cannot be opened.
bool BaselineConvert(const std::string& inputPath, const std::string& outputPath, float area);
