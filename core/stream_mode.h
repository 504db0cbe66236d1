#pragma once

#include <string>

// The fopen-style mode for CFile open flags: flags 0 give "rt", modeCreate | modeReadWrite "w+t",
// modeCreate | modeWrite "wt", modeWrite "at", modeReadWrite "r+t"; typeBinary gives "b".
std::string StreamModeFor(unsigned flags);
