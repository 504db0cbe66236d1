#pragma once

#include <string>
#include <vector>

#include "batch/file_spectrum.h"

// Writes as the file `path` (through WholeFile) one comma-separated table of the outputs of
// `spectra`, read back from disk a row at a time, for a spreadsheet. When every output has the same
// frequencies (the same number of rows, each within 1e-6 of the first output's, relatively): a
// first column "Freq(Hz)" and one column of γ·A per file, headed by the file's name; otherwise a
// pair of columns per file,
// "<name> Freq(Hz)" and "<name>", shorter columns ending in empty cells. Names are quoted where
// they hold a comma, a quote or a line end. Of two files of the run with one output, only the later
// one, whose table the output holds, is in it; returns the files left out, each with why. Raises
// CFileException, also when an output no longer holds as many rows as were converted into it.
std::vector<std::string> WriteMergedTable(const std::vector<FileSpectrum>& spectra,
                                          const std::string& path);
