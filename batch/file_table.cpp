#include "batch/file_table.h"

#include <unordered_set>

#include "batch/split_path.h"
#include "framework/path_keys.h"

FileNameParts g_inputFiles[kMaxFiles];
FileNameParts g_outputFiles[kMaxFiles];
int g_fileCount = 0;
std::string g_fileListText;

namespace {

// Paths are UTF-8 on every platform, whose multibyte characters hold no byte below 0x80: none of
// their bytes can be taken for a backslash, '/' or '.'.
bool IsUtf8LeadByte(unsigned char) {
    return false;
}

}  // namespace

FileNameParts InputFileFor(const std::string& path) {
    PathSplit split = SplitPath(path, IsUtf8LeadByte);
    FileNameParts input;
    input.path = path;
    input.drive = std::move(split.drive);
    input.ext = std::move(split.ext);
    input.name = std::move(split.name);
    // The directory is taken from the path itself, so it keeps the drive.
    input.dir = path.substr(0, path.size() - input.name.size() - input.ext.size());
    return input;
}

FileNameParts OutputFileFor(const FileNameParts& input) {
    FileNameParts output;
    output.name = input.name + "+PDRT";
    output.drive = input.drive;
    output.ext = ".txt";
    output.dir = input.dir;
    output.path = output.dir + output.name + output.ext;
    return output;
}

int AppendFiles(const std::vector<std::string>& paths) {
    int refused = 0;
    for (const std::string& path : paths) {
        if (g_fileCount >= kMaxFiles) {
            ++refused;
            continue;
        }
        const int row = g_fileCount;
        g_inputFiles[row] = InputFileFor(path);
        g_outputFiles[row] = OutputFileFor(g_inputFiles[row]);
        g_fileCount = row + 1;
    }
    return refused;
}

AppendedFiles AppendNewFiles(const std::vector<std::string>& paths) {
    PathKeys keys;
    std::unordered_set<std::string> listed;
    for (int i = 0; i < g_fileCount; ++i) {
        listed.insert(keys.Key(g_inputFiles[i].path));
    }
    AppendedFiles appended;
    for (const std::string& path : paths) {
        if (!listed.insert(keys.Key(path)).second) {
            ++appended.alreadyListed;
        } else if (g_fileCount >= kMaxFiles) {
            if (appended.leftOut++ == 0) {
                appended.firstLeftOut = path;
            }
        } else {
            AppendFiles({path});
            ++appended.added;
        }
    }
    return appended;
}

void ClearFileTable() {
    g_fileCount = 0;
}

const std::string& RebuildFileListText() {
    g_fileListText.clear();
    for (int i = 0; i < g_fileCount; ++i) {
        g_fileListText += g_inputFiles[i].name;
        g_fileListText += "\r\n";
    }
    return g_fileListText;
}
