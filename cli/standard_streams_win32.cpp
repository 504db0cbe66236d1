#include <fcntl.h>
#include <io.h>

#include "cli/standard_streams.h"

void UseBinaryMode(std::FILE* stream) {
    std::fflush(stream);
    _setmode(_fileno(stream), _O_BINARY);
}

void KeepRunningWhenPipesClose() {}

void EndIfReaderGone(std::FILE*) {}
