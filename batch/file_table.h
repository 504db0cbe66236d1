#pragma once

#include <string>
#include <vector>

#include "batch/file_name_parts.h"

// Rows in each file table.
inline constexpr int kMaxFiles = 1000;

// The chosen input files, one row each.
extern FileNameParts g_inputFiles[kMaxFiles];
// Row i names the output file of input row i.
extern FileNameParts g_outputFiles[kMaxFiles];
// Rows in use in both tables.
extern int g_fileCount;
// The file list text last built by RebuildFileListText.
extern std::string g_fileListText;

// Derives the row of the output file written beside `input`: "<dir><name>+PDRT.txt".
FileNameParts OutputFileFor(const FileNameParts& input);

// Breaks `path` into its parts, with the system's code page.
FileNameParts InputFileFor(const std::string& path);

// Appends an input and an output row for each path, in order, while the tables have room;
// returns how many paths did not fit.
int AppendFiles(const std::vector<std::string>& paths);

// What AppendNewFiles did with the paths it was given.
struct AppendedFiles {
    int added = 0;
    int alreadyListed = 0;  // paths naming a file listed already, or given before among them
    int leftOut = 0;        // paths of new files past the tables' room
    std::string firstLeftOut;
};

// Appends an input and an output row for each path, in order, that names a file not listed yet,
// however it is spelled (PathKeys), while the tables have room.
AppendedFiles AppendNewFiles(const std::vector<std::string>& paths);

// Empties the tables (the count drops to 0; the rows are reused later).
void ClearFileTable();

// Rebuilds g_fileListText: each input's base name followed by CR LF, in table order.
const std::string& RebuildFileListText();
