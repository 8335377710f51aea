#pragma once

#include <cstdint>
#include <string>

namespace zirared::test {

// A tmpfs of its own at mountPoint (made if missing), for a disk that fills or turns
// read-only; unmounted when this goes, whatever happened in it. Needs root.
class SmallTmpfs {
public:
    SmallTmpfs(const std::string& mountPoint, const std::string& size);  // size: "200k", "16m"
    ~SmallTmpfs() { Unmount(); }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool Mounted() const { return m_mounted; }
    const std::string& Failure() const { return m_failure; }  // why it could not be mounted

    void Remount(unsigned long flags);  // MS_RDONLY, say; 0 leaves it as it is
    void Unmount();

    std::uint64_t FreeBytes() const;
    // A ballast file at the top takes all but `bytes` (whole pages).
    void LeaveFree(std::uint64_t bytes);

private:
    std::string m_mountPoint;
    std::string m_size;
    bool m_mounted = false;
    std::string m_failure;
};

}  // namespace zirared::test
