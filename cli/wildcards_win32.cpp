#include <windows.h>

#include <algorithm>

#include "cli/wildcards.h"
#include "framework/windows_text.h"

namespace {

// The files (not folders) that `pattern` matches, with the pattern's folder in front.
std::vector<std::string> Matches(const std::string& pattern) {
    const std::size_t cut = pattern.find_last_of("\\/:");
    const std::string folder =
        cut == std::string::npos ? std::string() : pattern.substr(0, cut + 1);
    std::vector<std::string> found;
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileExW(FileSystemPath(pattern).c_str(), FindExInfoBasic, &entry,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return found;
    }
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            found.push_back(folder + Narrow(entry.cFileName));
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

ExpandedArguments ExpandWildcards(const std::vector<std::string>& arguments) {
    ExpandedArguments expanded;
    for (const std::string& argument : arguments) {
        if (argument.find_first_of("*?") == std::string::npos) {
            expanded.files.push_back(argument);
            continue;
        }
        std::vector<std::string> found = Matches(argument);
        if (found.empty()) {
            expanded.unmatched.push_back(argument);
        } else {
            expanded.files.insert(expanded.files.end(), found.begin(), found.end());
        }
    }
    return expanded;
}
