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

}  // namespace zirared::test
