#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <memory>

#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/posix_util_linux.h"

namespace vendrel::platform {

namespace posix {

namespace {
bool badComponent(const std::string& c) {
    return c.empty() || c == "." || c == "..";
}
}  // namespace

Fd openDirNoFollow(std::string_view logical) {
    std::vector<std::string> parts = pathComponents(logical);
    if (parts.empty() || parts.front() != "/")
        return Fd();
    std::string root = volumeRoot();
    Fd dir(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    for (size_t i = 1; i < parts.size() && dir.valid(); ++i) {
        if (badComponent(parts[i]))
            return Fd();
        dir = Fd(
            ::openat(dir.get(), parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    }
    return dir;
}

Fd openParentNoFollow(std::string_view logical, std::string& leaf) {
    std::vector<std::string> parts = pathComponents(logical);
    if (parts.size() < 2 || parts.front() != "/" || badComponent(parts.back()))
        return Fd();
    leaf = parts.back();
    std::string parent = "/";
    for (size_t i = 1; i + 1 < parts.size(); ++i) {
        parent += parts[i];
        parent += '/';
    }
    return openDirNoFollow(parent);
}

bool removeTreeAt(int dirfd, const std::string& name) {
    struct stat st {};
    if (::fstatat(dirfd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(st.st_mode))
        return ::unlinkat(dirfd, name.c_str(), 0) == 0 || errno == ENOENT;
    {
        Fd sub(::openat(dirfd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!sub.valid())
            return false;
        std::unique_ptr<DIR, int (*)(DIR*)> d(::fdopendir(::dup(sub.get())), ::closedir);
        if (!d)
            return false;
        std::vector<std::string> names;
        while (dirent* e = ::readdir(d.get())) {
            if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
                continue;
            names.emplace_back(e->d_name);
        }
        for (const auto& n : names)
            removeTreeAt(sub.get(), n);
    }
    return ::unlinkat(dirfd, name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT;
}

}  // namespace posix

namespace fs {
namespace {

struct RawEntry {
    std::string name;
    unsigned char type;
};

// Reads a whole folder listing with getdents64: the listing is taken once, in the file
// system's order, before any entry is processed.
bool readEntries(int fd, std::vector<RawEntry>& out) {
    alignas(8) static thread_local char buf[64 * 1024];
    for (;;) {
        long n = ::syscall(SYS_getdents64, fd, buf, sizeof buf);
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        for (long off = 0; off < n;) {
            auto* e = reinterpret_cast<posix::linux_dirent64*>(buf + off);
            off += e->d_reclen;
            const char* nm = e->d_name;
            if (nm[0] == '.' && (nm[1] == '\0' || (nm[1] == '.' && nm[2] == '\0')))
                continue;
            out.push_back({nm, e->d_type});
        }
    }
}

}  // namespace

bool fileExists(std::string_view logical) {
    std::string h = toHost(logical);
    struct stat st {};
    return !h.empty() && ::stat(h.c_str(), &st) == 0;
}

bool isDirectory(std::string_view logical) {
    std::string h = toHost(logical);
    struct stat st {};
    return !h.empty() && ::stat(h.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::string> linkAmongParents(std::string_view logical) {
    const std::vector<std::string> parts = pathComponents(logical);
    std::string cur;
    for (size_t i = 1; i + 1 < parts.size(); ++i) {
        cur += "/" + parts[i];
        struct stat st {};
        if (::lstat(toHost(cur).c_str(), &st) != 0)
            return std::nullopt;
        if (S_ISLNK(st.st_mode))
            return cur;
        if (!S_ISDIR(st.st_mode))
            return std::nullopt;
    }
    return std::nullopt;
}

bool hasOtherHardLinks(std::string_view logical) {
    struct stat st {};
    return ::lstat(toHost(logical).c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink > 1;
}

bool isSymbolicLink(std::string_view logical) {
    std::string h = toHost(logical);
    struct stat st {};
    return !h.empty() && ::lstat(h.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::optional<Attributes> attributesOfItem(std::string_view logical) {
    std::string h = toHost(logical);
    struct stat st {};
    if (h.empty() || ::lstat(h.c_str(), &st) != 0)
        return std::nullopt;
    Attributes a;
    a.type = posix::fileTypeOfMode(st.st_mode);
    a.size = static_cast<uint64_t>(st.st_size);
    a.modificationDate = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(st.st_mtim.tv_sec) +
            std::chrono::nanoseconds(st.st_mtim.tv_nsec)));
    a.mode = st.st_mode;
    a.uid = st.st_uid;
    return a;
}

std::vector<std::string> contentsOfDirectory(std::string_view logical) {
    std::vector<std::string> names;
    std::string h = toHost(logical);
    if (h.empty())
        return names;
    posix::Fd fd(::open(h.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid())
        return names;
    std::vector<RawEntry> raw;
    if (!readEntries(fd.get(), raw))
        raw.clear();
    names.reserve(raw.size());
    for (auto& r : raw)
        names.push_back(std::move(r.name));
    return names;
}

void enumerate(std::string_view logical,
               const std::function<WalkControl(const WalkEntry&)>& visit) {
    std::string h = toHost(logical);
    if (h.empty())
        return;

    // Past this depth a folder's descriptor is closed once its listing is read and its
    // children are reached by path, so a hostile deep tree cannot exhaust descriptors.
    constexpr size_t kFdDepth = 96;
    struct Frame {
        posix::Fd fd;
        std::string hostPath;
        std::string logicalPath;
        std::vector<RawEntry> entries;
        size_t next = 0;
    };
    std::vector<Frame> stack;
    auto push = [&](posix::Fd fd, std::string hostPath, std::string logicalPath) {
        Frame f{std::move(fd), std::move(hostPath), std::move(logicalPath), {}, 0};
        if (!readEntries(f.fd.get(), f.entries))
            f.entries.clear();
        if (stack.size() >= kFdDepth)
            f.fd.reset();
        stack.push_back(std::move(f));
    };
    {
        posix::Fd root(::open(h.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!root.valid())
            return;
        std::string lp(logical);
        while (lp.size() > 1 && lp.back() == '/')
            lp.pop_back();
        push(std::move(root), h, lp == "/" ? std::string() : lp);
    }

    WalkEntry entry;
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.entries.size()) {
            stack.pop_back();
            continue;
        }
        const RawEntry& raw = top.entries[top.next++];
        entry.path.assign(top.logicalPath).append("/").append(raw.name);
        entry.typeKnown = true;
        entry.size = 0;
        const bool byFd = top.fd.valid();
        std::string childHost;
        if (!byFd)
            childHost = top.hostPath + "/" + raw.name;
        if (raw.type == DT_DIR) {
            entry.type = FileType::Directory;
        } else {
            struct stat st {};
            int rc = byFd ? ::fstatat(top.fd.get(), raw.name.c_str(), &st, AT_SYMLINK_NOFOLLOW)
                          : ::lstat(childHost.c_str(), &st);
            if (rc != 0) {
                entry.typeKnown = false;
                entry.type = FileType::Other;
            } else {
                entry.type = posix::fileTypeOfMode(st.st_mode);
                if (entry.type != FileType::Directory)
                    entry.size = static_cast<uint64_t>(st.st_size);
            }
        }
        WalkControl c = visit(entry);
        if (c == WalkControl::Stop)
            return;
        if (c == WalkControl::SkipDescendants || entry.type != FileType::Directory)
            continue;
        // The callback may have moved the folder away: the failed open is skipped like any
        // unreadable folder.
        posix::Fd sub(
            byFd ? ::openat(top.fd.get(), raw.name.c_str(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)
                 : ::open(childHost.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!sub.valid())
            continue;
        std::string subHost = top.hostPath + "/" + raw.name;
        push(std::move(sub), std::move(subHost), entry.path);
    }
}

bool removeItem(std::string_view logical) {
    std::string leaf;
    posix::Fd parent = posix::openParentNoFollow(logical, leaf);
    if (!parent.valid())
        return false;
    return posix::removeTreeAt(parent.get(), leaf);
}

bool forceRemoveItem(std::string_view logical) {
    std::string leaf;
    posix::Fd parent = posix::openParentNoFollow(logical, leaf);
    if (!parent.valid())
        return false;
    struct stat st {};
    if (::fstatat(parent.get(), leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (S_ISDIR(st.st_mode) || (S_ISREG(st.st_mode) && st.st_nlink == 1)) {
        // O_NOFOLLOW: a link swapped in since the fstatat fails the open, and the descriptor is
        // checked to be the item just examined before its mode changes.
        const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC |
                          (S_ISDIR(st.st_mode) ? O_DIRECTORY : 0);
        posix::Fd item(::openat(parent.get(), leaf.c_str(), flags));
        struct stat now {};
        if (item.valid() && ::fstat(item.get(), &now) == 0 && now.st_ino == st.st_ino &&
            now.st_dev == st.st_dev && (S_ISDIR(now.st_mode) || now.st_nlink == 1))
            ::fchmod(item.get(), 0777);
    }
    return posix::removeTreeAt(parent.get(), leaf);
}

bool createDirectories(std::string_view logical) {
    // A "." or ".." component could lead the walk out of the volume ("/Users/../.." from a
    // setting): nothing built from a setting or a file may leave VENDREL_ROOT.
    for (const auto& part : pathComponents(logical))
        if (part == "." || part == "..")
            return false;
    std::string h = toHost(logical);
    if (h.empty())
        return false;
    std::string cur;
    for (size_t i = 0; i <= h.size(); ++i) {
        if (i == h.size() || (h[i] == '/' && i > 0)) {
            cur = h.substr(0, i);
            if (::mkdir(cur.c_str(), 0755) != 0 && errno != EEXIST)
                return false;
        }
    }
    struct stat st {};
    return ::stat(h.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool createDirectoriesNoFollow(std::string_view logical) {
    std::vector<std::string> parts = pathComponents(logical);
    if (parts.empty() || parts.front() != "/")
        return false;
    posix::Fd dir(::open(volumeRoot().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    for (size_t i = 1; i < parts.size() && dir.valid(); ++i) {
        if (parts[i].empty() || parts[i] == "." || parts[i] == "..")
            return false;
        if (::mkdirat(dir.get(), parts[i].c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        dir = posix::Fd(
            ::openat(dir.get(), parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    }
    return dir.valid();
}

std::optional<std::string> readFile(std::string_view logical, uint64_t maxBytes) {
    std::string h = toHost(logical);
    if (h.empty())
        return std::nullopt;
    // Non-blocking open: a FIFO planted where a file is expected must not hang the reader
    // (the type check below then refuses it).
    posix::Fd fd(::open(h.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid())
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    if (static_cast<uint64_t>(st.st_size) > maxBytes)
        return std::nullopt;
    // Read straight into the result, asking for one byte more than the size: a regular file
    // that gives fewer bytes than asked is at its end, which saves the read that would only
    // return 0 (the catalogue reads hundreds of small lists). A file that grew since the
    // fstat is read on until its end or the cap.
    std::string out;
    size_t used = 0;
    size_t want = static_cast<size_t>(st.st_size) + 1;
    for (;;) {
        out.resize(used + want);
        const ssize_t n = ::read(fd.get(), out.data() + used, want);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        used += static_cast<size_t>(n);
        if (used > maxBytes)
            return std::nullopt;
        if (static_cast<size_t>(n) < want)
            break;
        want = 65536;
    }
    out.resize(used);
    return out;
}

bool writeFileAtomically(std::string_view logical, std::string_view bytes) {
    std::string h = toHost(logical);
    if (h.empty())
        return false;
    static std::atomic<unsigned> counter{0};
    std::string tmp = h + ".vendrel-tmp-" + std::to_string(::getpid()) + "-" +
                      std::to_string(counter.fetch_add(1));
    posix::Fd fd(::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (!fd.valid())
        return false;
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd.get(), p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::unlink(tmp.c_str());
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd.get()) != 0 || ::close(fd.release()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    if (::rename(tmp.c_str(), h.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

}  // namespace fs
}  // namespace vendrel::platform
