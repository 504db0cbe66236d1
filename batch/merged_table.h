#pragma once

#include <string>
#include <vector>

#include "batch/file_spectrum.h"

// Writes as the file `path` (through WholeFile) one comma-separated table of the outputs of `spectra`, read back from disk a
// row at a time, for a spreadsheet. When every output has the same frequencies (the same number
// of rows, each within 1e-6 of the first output's, relatively): a first column "Freq(Hz)" and one
// column of γ·A per file, headed by the file's name; otherwise a pair of columns per file,
// "<name> Freq(Hz)" and "<name>", shorter columns ending in empty cells. Names are quoted where
// they hold a comma, a quote or a line end. Raises CFileException.
void WriteMergedTable(const std::vector<FileSpectrum>& spectra, const std::string& path);
