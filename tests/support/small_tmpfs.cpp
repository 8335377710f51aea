#include "small_tmpfs.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace zirared::test {

SmallTmpfs::SmallTmpfs(const std::string& mountPoint, const std::string& size)
    : m_mountPoint(mountPoint), m_size("size=" + size) {
    std::filesystem::create_directories(m_mountPoint);
    m_mounted = ::mount("tmpfs", m_mountPoint.c_str(), "tmpfs", 0, m_size.c_str()) == 0;
    if (!m_mounted) {
        m_failure = std::strerror(errno);
    }
}

void SmallTmpfs::Remount(unsigned long flags) {
    ::mount("tmpfs", m_mountPoint.c_str(), nullptr, MS_REMOUNT | flags, m_size.c_str());
}

void SmallTmpfs::Unmount() {
    if (m_mounted) {
        ::umount2(m_mountPoint.c_str(), MNT_DETACH);
        m_mounted = false;
    }
}

std::uint64_t SmallTmpfs::FreeBytes() const {
    struct statvfs status {};
    ::statvfs(m_mountPoint.c_str(), &status);
    return static_cast<std::uint64_t>(status.f_bavail) * status.f_frsize;
}

void SmallTmpfs::LeaveFree(std::uint64_t bytes) {
    const std::uint64_t free = FreeBytes();
    ASSERT_GE(free, bytes) << "the file system is too small for this case";
    std::ofstream(m_mountPoint + "/ballast", std::ios::binary) << std::string(free - bytes, '\0');
    ASSERT_EQ(FreeBytes(), bytes);
}

}  // namespace zirared::test
