#pragma once

#include <string>

// The form of the UTF-8 `path` under which two paths naming the same file are equal, as far as
// their text tells: on Windows without regard to case or to '/' against '\'; elsewhere the path
// itself.
std::string PathKey(const std::string& path);
