#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zirared::test {

// A fresh directory per test, removed with everything in it afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }
    // The names in the directory, sorted.
    std::vector<std::string> Names() const;
    static std::vector<std::string> NamesIn(const std::string& folder);

private:
    std::string m_path;
};

// Bytes that differ from block to block, so a misplaced block shows.
std::string PatternBytes(std::size_t size, unsigned seed = 1);
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool PathExists(const std::string& path);
long long FileSize(const std::string& path);

// A folder made inside base (base's path and more than one byte longer) whose path is exactly
// length bytes long: nested folders whose names fit any file system.
std::string FolderOfLength(const std::string& base, std::size_t length);

// text with each "{dir}" replaced by dir: expected texts that name a test's folder.
std::string Placed(std::string text, const std::string& dir);

// "Errore n° " and this platform's code for a folder where a file was expected.
std::string DirectoryErrorLine();

}  // namespace zirared::test
