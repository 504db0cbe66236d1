#pragma once

#include <cstdio>
#include <vector>

#include "batch/batch_run.h"

// The name under which progress lines and failures tell of standard input.
inline constexpr const char* kStandardInputName = "standard input";

// Converts the table read from `in` and writes to `out` exactly the bytes ConvertFile would write
// to an output file, reporting on `console` as a run reports a file. Nothing reaches `out` unless
// the whole table was converted. Both are read and written through private temporary files, so
// memory stays bounded whatever the input's size. A failure is reported and added to `failures`.
// Returns what became of it.
FileOutcome ConvertStandardInput(std::FILE* in, std::FILE* out, ProgressConsole& console,
                                 std::vector<FileFailure>& failures);
