#pragma once

#include <string>
#include <string_view>

#include "framework/file.h"

// A file that appears at its path only once complete: written beside it as the path with ".tmp"
// added (an earlier run's leftover there, recognised by beginning with the signature, is cleared),
// committed to the device, then moved over any earlier file. Until Commit, an interruption or the
// object's end removes the temporary and leaves an earlier file untouched.
class WholeFile {
  public:
    // Creates the temporary for `path`; raises CFileException naming `path`.
    WholeFile(std::string path, std::string_view signature);
    ~WholeFile();
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    // Appends `text`; raises CFileException.
    void Write(std::string_view text);
    // Puts the file in place; raises CFileException.
    void Commit();

  private:
    std::string m_path;
    std::string m_temporary;
    CFile m_file;
    int m_cleanup = 0;
    bool m_committed = false;
};

// Writes `text` as the whole of the file `path` through WholeFile; raises CFileException.
void WriteWholeFile(const std::string& path, std::string_view text, std::string_view signature);
