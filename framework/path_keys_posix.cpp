#include <sys/stat.h>

#include "framework/path_keys.h"

namespace {

// The key of `folder`: its device and inode, or its text after a mark no path begins with.
std::string FolderKey(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        return std::to_string(info.st_dev) + ':' + std::to_string(info.st_ino) + '/';
    }
    return '\n' + folder;
}

}  // namespace

std::string PathKeys::Key(const std::string& path) {
    const std::size_t name = path.rfind('/') + 1;
    const std::string folder = name > 0 ? path.substr(0, name) : ".";
    auto [known, added] = m_folders.try_emplace(folder);
    if (added) {
        known->second = FolderKey(folder);
    }
    return known->second + path.substr(name);
}
