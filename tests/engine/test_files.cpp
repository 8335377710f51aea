#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "file_error.h"

namespace zirared::test {
namespace {

// Test paths are UTF-8, as the engine's are; a plain std::string would be read in the ANSI
// code page on Windows.
std::filesystem::path Native(const std::string& path) {
    return std::u8string(path.begin(), path.end());
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

}  // namespace

TempDir::TempDir() {
#ifdef _WIN32
    // No mkdtemp: try fresh random names until one is created.
    std::random_device random;
    std::error_code error;
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
        const auto candidate =
            std::filesystem::temp_directory_path() / ("zirared-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate, error)) {
            m_path = Utf8(candidate);
        }
    }
    if (m_path.empty()) {
        ADD_FAILURE() << "no temporary directory";
    }
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "zirared-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "mkdtemp failed";
    }
    m_path = pattern;
#endif
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(Native(m_path), ignored);
}

std::vector<std::string> TempDir::Names() const {
    return NamesIn(m_path);
}

std::vector<std::string> TempDir::NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Native(folder))) {
        names.push_back(Utf8(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string PatternBytes(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761U + 12345U;
    for (auto& byte : bytes) {
        state = state * 1103515245U + 12345U;
        byte = static_cast<char>(state >> 23);
    }
    return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(Native(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(Native(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool PathExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(Native(path), ignored));
}

long long FileSize(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(Native(path), error);
    return error ? -1 : static_cast<long long>(size);
}

std::string FolderOfLength(const std::string& base, std::size_t length) {
    std::string path = base;
    while (path.size() < length) {
        const std::size_t left = length - path.size() - 1;  // after the separator
        // Never 200 exactly when more follows: each later step needs two bytes.
        path += "/" + std::string(left <= 200 ? left : std::min<std::size_t>(200, left - 2), 'd');
        std::filesystem::create_directory(Native(path));
    }
    return path;
}

std::string Placed(std::string text, const std::string& dir) {
    for (std::size_t at; (at = text.find("{dir}")) != std::string::npos;) {
        text.replace(at, 5, dir);
    }
    return text;
}

std::string DirectoryErrorLine() {
    return "Errore n° " + std::to_string(kIsADirectoryNumber);
}

}  // namespace zirared::test
