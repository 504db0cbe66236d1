#include <charconv>
#include <cstdio>
#include <exception>
#include <string_view>

#include "bench/bench_data.h"

// Writes FILE with LINES data lines of the large benchmark file's kind, or with "comma" of the
// comma-separated τ-first file's, and prints "<data lines> <bytes>"; exit status 2 on a wrong
// command line, 1 on a failure.
int main(int argc, char** argv) {
    const bool comma = argc == 4 && std::string_view(argv[3]) == "comma";
    if (argc != 3 && !comma) {
        std::fprintf(stderr, "usage: %s FILE LINES [comma]\n", argv[0]);
        return 2;
    }
    const std::string_view count(argv[2]);
    long lines = 0;
    const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), lines);
    if (error != std::errc() || end != count.data() + count.size() || lines < 0) {
        std::fprintf(stderr, "%s: LINES must be a count, got '%s'\n", argv[0], argv[2]);
        return 2;
    }
    try {
        const DrtFileSize size =
            WriteDrtFile(argv[1], comma ? CommaShape(lines) : MixedShape(lines));
        std::printf("%ld %llu\n", size.dataLines, static_cast<unsigned long long>(size.bytes));
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: %s\n", argv[0], failure.what());
        return 1;
    }
    return 0;
}
