#include "core/stream_mode.h"

#include "framework/file.h"

std::string StreamModeFor(unsigned flags) {
    std::string mode;
    if ((flags & CFile::modeCreate) != 0) {
        mode = (flags & CFile::modeNoTruncate) != 0 ? "a" : "w";
    } else {
        mode = (flags & CFile::modeWrite) != 0 ? "a" : "r";
    }
    const bool plus =
        mode == "r" ? (flags & CFile::modeReadWrite) != 0 : (flags & CFile::modeWrite) == 0;
    if (plus) {
        mode += '+';
    }
    mode += (flags & CFile::typeBinary) != 0 ? 'b' : 't';
    return mode;
}
