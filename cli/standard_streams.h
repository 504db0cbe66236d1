#pragma once

#include <cstdio>

// Makes `stream` pass bytes unchanged, with no line ends translated (binary mode on Windows).
void UseBinaryMode(std::FILE* stream);

// Makes a write to a pipe whose reader has gone fail instead of ending the process at once, so
// that the files being written are removed first (POSIX; Windows sends no signal for it).
void KeepRunningWhenPipesClose();

// Ends the process as a closed pipe would have (SIGPIPE) when `stream` is a pipe whose reader has
// gone and KeepRunningWhenPipesClose held that back; returns otherwise.
void EndIfReaderGone(std::FILE* stream);
