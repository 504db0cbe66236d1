#include "support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::atomic<unsigned> g_counter{0};

}  // namespace

TempDir::TempDir() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        const fs::path candidate =
            fs::temp_directory_path() /
            ("kelvane-test-" + std::to_string(stamp) + "-" + std::to_string(g_counter++));
        if (fs::create_directory(candidate)) {
            m_path = candidate.string() + static_cast<char>(fs::path::preferred_separator);
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

bool Exists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(path, ignored);
}

std::string TestDataPath(const std::string& name) {
#ifdef _WIN32
    // The data folder is a Unix path; Wine shows the Unix root as drive Z:.
    return std::string("Z:") + KELVANE_TEST_DATA_DIR + "/" + name;
#else
    return std::string(KELVANE_TEST_DATA_DIR) + "/" + name;
#endif
}
