#pragma once

#include <string>
#include <string_view>

// The four parts _splitpath yields: drive, directory, base name and extension.
struct PathSplit {
    std::string drive;
    std::string dir;
    std::string name;
    std::string ext;
};

// Tells whether a byte opens a two-byte character of the path's code page.
using LeadBytePredicate = bool (*)(unsigned char byte);

// Splits `path` as the C runtime's _splitpath does, accepting '\' and '/' as separators on every
// platform and stepping over two-byte characters whose first byte `isLeadByte` recognises.
PathSplit SplitPath(std::string_view path, LeadBytePredicate isLeadByte);
