#pragma once

#include <cstdio>

// Makes `stream` pass bytes unchanged, with no line ends translated (binary mode on Windows).
void UseBinaryMode(std::FILE* stream);
