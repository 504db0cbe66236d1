#include "bench/baseline_converter.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr double kFrequencyConstant = 0.15915494580678602;

// Reads a whole line of any length (with its line feed) into `line`; false at end of file.
bool ReadWholeLine(std::FILE* file, std::string& line) {
    line.clear();
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, file) != nullptr) {
        line += chunk;
        if (!line.empty() && line.back() == '\n') {
            return true;
        }
    }
    return !line.empty();
}

bool IsBlank(const std::string& line) {
    return line.find_first_not_of(" \t\r\n\v\f") == std::string::npos;
}

// True when sscanf reads γ and τ from `line` and τ is whole: followed by nothing, white space,
// ';' or a comma that no digit follows.
bool ReadRow(const std::string& line, float& gamma, float& tau) {
    int end = 0;
    if (std::sscanf(line.c_str(), "%g %g%n", &gamma, &tau, &end) != 2) {
        return false;
    }
    const char* after = line.c_str() + end;
    return *after == '\0' || std::strchr(" \t\r\n\v\f;", *after) != nullptr ||
           (*after == ',' && (after[1] < '0' || after[1] > '9'));
}

}  // namespace

bool BaselineConvert(const std::string& inputPath, const std::string& outputPath, float area) {
    std::FILE* in = std::fopen(inputPath.c_str(), "rb");
    if (in == nullptr) {
        return false;
    }
    std::FILE* out = std::fopen(outputPath.c_str(), "wb");
    if (out == nullptr) {
        std::fclose(in);
        return false;
    }
    std::fseek(in, 0, SEEK_END);
    const long length = std::ftell(in);
    std::fseek(in, 0, SEEK_SET);

    std::string line;
    for (int i = 0; i < 3; ++i) {
        ReadWholeLine(in, line);
    }
    std::fputs("Freq(Hz), Gamma(tau)\r\n", out);
    char row[512];
    while (std::ftell(in) < length && ReadWholeLine(in, line)) {
        float gamma = 0.0f;
        float tau = 0.0f;
        if (IsBlank(line) || !ReadRow(line, gamma, tau)) {
            continue;
        }
        gamma = area * gamma;
        std::snprintf(row, sizeof row, "%f, %g\r\n", kFrequencyConstant / static_cast<double>(tau),
                      static_cast<double>(gamma));
        std::fputs(row, out);
    }
    std::fclose(in);
    return std::fclose(out) == 0;
}
