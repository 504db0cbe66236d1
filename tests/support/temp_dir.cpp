#include "support/temp_dir.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::atomic<unsigned> g_counter{0};

std::string Utf8String(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

fs::path Utf8Path(const std::string& path) {
    return fs::path(std::u8string(path.begin(), path.end()));
}

std::string OnDisk(const std::string& path) {
#ifdef _WIN32
    const bool absolute = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    if (!absolute) {
        return path;
    }
    std::string prefixed = "\\\\?\\" + path;
    std::replace(prefixed.begin(), prefixed.end(), '/', '\\');
    return prefixed;
#else
    return path;
#endif
}

TempDir::TempDir() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        const fs::path candidate =
            fs::temp_directory_path() /
            ("kelvane-test-" + std::to_string(stamp) + "-" + std::to_string(g_counter++));
        if (fs::create_directory(candidate)) {
            m_path = Utf8String(candidate) + static_cast<char>(fs::path::preferred_separator);
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(Utf8Path(OnDisk(m_path)), ignored);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(Utf8Path(OnDisk(path)), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(Utf8Path(OnDisk(path)), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

bool Exists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(Utf8Path(OnDisk(path)), ignored);
}

std::string TestDataPath(const std::string& name) {
#ifdef _WIN32
    // The data folder is a Unix path; Wine shows the Unix root as drive Z:.
    return std::string("Z:") + KELVANE_TEST_DATA_DIR + "/" + name;
#else
    return std::string(KELVANE_TEST_DATA_DIR) + "/" + name;
#endif
}
