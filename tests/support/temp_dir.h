#pragma once

#include <filesystem>
#include <string>

// A fresh folder under the system's temporary folder, deleted with everything in it at the end.
class TempDir {
  public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    // The folder's path with a trailing separator.
    const std::string& Path() const { return m_path; }
    // The path of `name` inside the folder.
    std::string File(const std::string& name) const { return m_path + name; }

  private:
    std::string m_path;
};

// The path that the UTF-8 `path` names, on Windows too (where a narrow string would be read in the
// ANSI code page).
std::filesystem::path Utf8Path(const std::string& path);

// The form of the UTF-8 `path` under which the tests reach the file on disk: on Windows an
// absolute path gets the "\\?\" prefix and backslashes only, past MAX_PATH and device names.
std::string OnDisk(const std::string& path);

// Writes `bytes` to `path` unchanged, replacing the file.
void WriteBytes(const std::string& path, const std::string& bytes);

// Returns the bytes of `path`, or an empty string when it cannot be read.
std::string ReadBytes(const std::string& path);

// True when `path` names an existing file or folder.
bool Exists(const std::string& path);

// The path of a file in the test data folder.
std::string TestDataPath(const std::string& name);
