#include "core/stream_mode.h"

#include "framework/file.h"

std::string StreamModeFor(unsigned flags) {
    char first = 'r';
    if ((flags & CFile::modeCreate) != 0) {
        first = (flags & CFile::modeNoTruncate) != 0 ? 'a' : 'w';
    } else if ((flags & CFile::modeWrite) != 0) {
        first = 'a';
    }
    std::string mode(1, first);
    const bool plus =
        first == 'r' ? (flags & CFile::modeReadWrite) != 0 : (flags & CFile::modeWrite) == 0;
    if (plus) {
        mode += '+';
    }
    mode += (flags & CFile::typeBinary) != 0 ? 'b' : 't';
    return mode;
}
