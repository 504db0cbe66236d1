#pragma once

#include <string>
#include <unordered_map>

// Keys under which paths naming one file are equal however they spell it: "dir/a.txt",
// "dir/./a.txt", "other/../dir/a.txt", an absolute path and one through a linked folder all give
// one key, as does, on Windows, a name in another case or with '/' for '\'. The folder of a path
// is known by its identity on its volume, looked up once per spelling; its last name is compared
// as the file system compares names. A folder that cannot be looked up is known by its text.
class PathKeys {
  public:
    // The key of the file the UTF-8 `path` names, which need not exist.
    std::string Key(const std::string& path);

  private:
    // The key of each folder looked up, by its spelling.
    std::unordered_map<std::string, std::string> m_folders;
};
