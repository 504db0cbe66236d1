#include "batch/split_path.h"

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

PathSplit SplitPath(std::string_view path, LeadBytePredicate isLeadByte) {
    PathSplit split;
    if (path.size() >= 2 && path[1] == ':' && IsAsciiLetter(path[0])) {
        split.drive = path.substr(0, 2);
        path.remove_prefix(2);
    }

    // Offsets just past the last separator and of the last dot, stepping over the trail byte of
    // every two-byte character so that it is never taken for '\', '/' or '.'.
    std::size_t componentStart = 0;
    std::size_t lastDot = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (isLeadByte(static_cast<unsigned char>(c)) && i + 1 < path.size()) {
            ++i;
        } else if (c == '\\' || c == '/') {
            componentStart = i + 1;
            lastDot = std::string_view::npos;
        } else if (c == '.') {
            lastDot = i;
        }
    }

    split.dir = path.substr(0, componentStart);
    if (lastDot == std::string_view::npos) {
        split.name = path.substr(componentStart);
    } else {
        split.name = path.substr(componentStart, lastDot - componentStart);
        split.ext = path.substr(lastDot);
    }
    return split;
}
