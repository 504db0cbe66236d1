#pragma once

#include <string>

// A file path and its parts.
struct FileNameParts {
    std::string path;   // the full path
    std::string name;   // the base name, without directory and extension
    std::string ext;    // the extension with its leading dot, or empty
    std::string dir;    // the directory with the drive and the trailing separator
    std::string drive;  // the drive letter and colon, or empty
};
