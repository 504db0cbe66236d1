#include "framework/path_key.h"

std::string PathKey(const std::string& path) {
    return path;
}
