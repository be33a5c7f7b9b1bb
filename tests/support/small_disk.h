#pragma once
// A file system of 64 KiB mounted for a test and always unmounted after it: writes
// that do not fit fail as on a full disk. Linux only, and only for root.
#ifndef _WIN32
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "test_support.h"

namespace accise::testing {

class SmallDisk {
public:
    SmallDisk() {
        if (::geteuid() != 0) {
            reason_ = "a small file system can be mounted by root only";
            return;
        }
        if (::mount("tmpfs", dir_.path().c_str(), "tmpfs", 0, "size=64k") != 0) {
            reason_ = std::string("mounting a tmpfs failed: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(dir_.path().c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    const std::string& unavailable() const { return reason_; }
    const std::filesystem::path& path() const { return dir_.path(); }
    std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

private:
    TempDir dir_;
    bool mounted_ = false;
    std::string reason_;
};

} // namespace accise::testing
#endif
