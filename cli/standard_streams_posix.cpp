#include "cli/standard_streams.h"

// POSIX streams never translate line ends.
void UseBinaryMode(std::FILE* stream) {
    static_cast<void>(stream);
}
