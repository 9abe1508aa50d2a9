// Helpers shared by the Linux implementations of the platform layer. Not for code above it.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <string_view>

#include "platform/fs.h"

namespace vendrel::platform::posix {

// One record of the getdents64 system call's buffer (glibc 2.36 has no wrapper type).
struct linux_dirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];  // really as long as d_reclen says
};

// The file type a status mode names.
inline fs::FileType fileTypeOfMode(uint32_t m) {
    if (S_ISREG(m))
        return fs::FileType::Regular;
    if (S_ISDIR(m))
        return fs::FileType::Directory;
    if (S_ISLNK(m))
        return fs::FileType::SymbolicLink;
    return fs::FileType::Other;
}

// An owned file descriptor.
class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(Fd&& o) noexcept : fd_(o.release()) {}
    Fd& operator=(Fd&& o) noexcept {
        if (this != &o) {
            reset();
            fd_ = o.release();
        }
        return *this;
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() {
        int f = fd_;
        fd_ = -1;
        return f;
    }
    void reset() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_ = -1;
};

// Opens the folder that holds the logical path's last component, walking every component
// from the volume root with O_NOFOLLOW: a symbolic link anywhere among the parent folders
// makes the open fail (ELOOP/ENOTDIR), so nothing that acts through the returned descriptor
// can be redirected by a planted link. `leaf` receives the last component. Fails for "/" and
// for paths with ".", ".." or empty components.
Fd openParentNoFollow(std::string_view logical, std::string& leaf);

// Opens a folder by logical path, every component without following links.
Fd openDirNoFollow(std::string_view logical);

// Removes `name` inside `dirfd` and everything below it, never following links.
// True when nothing is left.
bool removeTreeAt(int dirfd, const std::string& name);

}  // namespace vendrel::platform::posix
