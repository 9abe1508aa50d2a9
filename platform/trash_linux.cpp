// The Trash by rename. Items move from a parent folder opened without following links into
// the account's Trash folder; renameat2(RENAME_NOREPLACE) keeps two movers from taking the
// same name. Across devices the item is copied (links as links, modes kept) and then the
// original removed, only once the copy is complete.
//
// Put-back records live in "<Trash>/.Vendrel-PutBack/", one property list per trashed item
// (its name in the Trash + ".plist"), holding "OriginalPath", "TrashedPath", "Date" and
// "Timestamp" (seconds since 1970 with the fraction, to order moves within one second).
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/posix_util_linux.h"
#include "platform/trash.h"

namespace vendrel::platform::trash {
namespace {

constexpr const char* kRecordFolder = ".Vendrel-PutBack";

int renameNoReplace(int olddir, const char* oldname, int newdir, const char* newname) {
    int rc = static_cast<int>(
        ::syscall(SYS_renameat2, olddir, oldname, newdir, newname, RENAME_NOREPLACE));
    if (rc == 0 || errno != EINVAL)
        return rc;
    // A file system without RENAME_NOREPLACE: check, then rename (a small race, no worse).
    struct stat st {};
    if (::fstatat(newdir, newname, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::renameat(olddir, oldname, newdir, newname);
}

// Copies `name` in `from` to `name2` in `to`, never following links. False on any failure.
bool copyTreeAt(int from, const std::string& name, int to, const std::string& name2) {
    struct stat st {};
    if (::fstatat(from, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (S_ISLNK(st.st_mode)) {
        std::string target(static_cast<size_t>(st.st_size) + 1, '\0');
        ssize_t n = ::readlinkat(from, name.c_str(), target.data(), target.size());
        if (n < 0)
            return false;
        target.resize(static_cast<size_t>(n));
        return ::symlinkat(target.c_str(), to, name2.c_str()) == 0;
    }
    if (S_ISDIR(st.st_mode)) {
        if (::mkdirat(to, name2.c_str(), 0700) != 0)
            return false;
        posix::Fd src(
            ::openat(from, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        posix::Fd dst(::openat(to, name2.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!src.valid() || !dst.valid())
            return false;
        std::unique_ptr<DIR, int (*)(DIR*)> d(::fdopendir(::dup(src.get())), ::closedir);
        if (!d)
            return false;
        while (dirent* e = ::readdir(d.get())) {
            if (!std::strcmp(e->d_name, ".") || !std::strcmp(e->d_name, ".."))
                continue;
            if (!copyTreeAt(src.get(), e->d_name, dst.get(), e->d_name))
                return false;
        }
        ::fchmod(dst.get(), st.st_mode & 07777);
        return true;
    }
    if (!S_ISREG(st.st_mode))
        return false;
    posix::Fd in(::openat(from, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    posix::Fd out(
        ::openat(to, name2.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777));
    if (!in.valid() || !out.valid())
        return false;
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(in.get(), buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        for (ssize_t off = 0; off < n;) {
            ssize_t w = ::write(out.get(), buf + off, static_cast<size_t>(n - off));
            if (w < 0 && errno == EINTR)
                continue;
            if (w < 0)
                return false;
            off += w;
        }
    }
    return true;
}

// "Foo.app" -> "Foo 14-03-22.app", then "Foo 14-03-22 2.app", ...
std::string candidateName(const std::string& name, int attempt) {
    if (attempt == 0)
        return name;
    std::string ext = pathExtension(name);
    std::string stem = ext.empty() ? name : name.substr(0, name.size() - ext.size() - 1);
    time_t now = ::time(nullptr);
    struct tm tm {};
    ::localtime_r(&now, &tm);
    char stamp[16];
    ::strftime(stamp, sizeof stamp, "%H-%M-%S", &tm);
    std::string out = stem + " " + stamp;
    if (attempt > 1)
        out += " " + std::to_string(attempt);
    if (!ext.empty())
        out += "." + ext;
    return out;
}

void writeRecord(const std::string& trash, const std::string& trashedName,
                 std::string_view original) {
    std::string folder = appendPathComponent(trash, kRecordFolder);
    fs::createDirectories(folder);
    plist::Dictionary d;
    d["OriginalPath"] = std::string(original);
    d["TrashedPath"] = appendPathComponent(trash, trashedName);
    const auto now = std::chrono::system_clock::now();
    d["Date"] = plist::Date{now};
    // XML dates keep whole seconds; the fraction orders two moves within one second.
    d["Timestamp"] = std::chrono::duration<double>(now.time_since_epoch()).count();
    plist::writeXmlFile(appendPathComponent(folder, trashedName + ".plist"), plist::Value(d));
}

// Absolute, with no empty, "." or ".." component.
bool isPlainAbsolute(std::string_view path) {
    if (path.size() < 2 || path.front() != '/' || path.find('\0') != std::string_view::npos)
        return false;
    const auto parts = pathComponents(path);
    for (size_t i = 1; i < parts.size(); ++i)
        if (parts[i].empty() || parts[i] == "." || parts[i] == "..")
            return false;
    return path.find("//") == std::string_view::npos;
}

}  // namespace

std::string trashFolder() {
    return appendPathComponent(homeDirectory(), ".Trash");
}

MoveResult moveToTrash(std::string_view logicalPath) {
    MoveResult r;
    std::string leaf;
    posix::Fd parent = posix::openParentNoFollow(logicalPath, leaf);
    if (!parent.valid()) {
        r.error = errno == ENOENT ? "missing"
                                  : "a parent folder cannot be opened without following links";
        return r;
    }
    struct stat st {};
    if (::fstatat(parent.get(), leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        r.error = "missing";
        return r;
    }
    std::string trash = trashFolder();
    if (standardizePath(logicalPath) == trash ||
        standardizePath(logicalPath).rfind(trash + "/", 0) == 0) {
        r.error = "already in the Trash";
        return r;
    }
    fs::createDirectories(trash);
    posix::Fd trashFd = posix::openDirNoFollow(trash);
    if (!trashFd.valid()) {
        r.error = "the Trash cannot be opened";
        return r;
    }
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string name = candidateName(leaf, attempt);
        if (renameNoReplace(parent.get(), leaf.c_str(), trashFd.get(), name.c_str()) == 0) {
            r.moved = true;
            r.trashedPath = appendPathComponent(trash, name);
            writeRecord(trash, name, logicalPath);
            return r;
        }
        if (errno == EEXIST)
            continue;
        if (errno == EXDEV) {
            struct stat exists {};
            if (::fstatat(trashFd.get(), name.c_str(), &exists, AT_SYMLINK_NOFOLLOW) == 0)
                continue;
            if (!copyTreeAt(parent.get(), leaf, trashFd.get(), name)) {
                posix::removeTreeAt(trashFd.get(), name);
                r.error = "the item could not be copied to the Trash";
                return r;
            }
            if (!posix::removeTreeAt(parent.get(), leaf)) {
                // Keep the original in place rather than leave two copies half-removed.
                posix::removeTreeAt(trashFd.get(), name);
                r.error = "the item could not be removed from its place";
                return r;
            }
            r.moved = true;
            r.trashedPath = appendPathComponent(trash, name);
            writeRecord(trash, name, logicalPath);
            return r;
        }
        r.error = std::strerror(errno);
        return r;
    }
    r.error = "no free name in the Trash";
    return r;
}

std::vector<Record> records(std::string_view trashFolderLogical) {
    std::string trash =
        trashFolderLogical.empty() ? trashFolder() : std::string(trashFolderLogical);
    std::string folder = appendPathComponent(trash, kRecordFolder);
    std::vector<Record> out;
    for (const std::string& name : fs::contentsOfDirectory(folder)) {
        auto d = plist::readDictionary(appendPathComponent(folder, name));
        if (!d)
            continue;
        const std::string* original = plist::stringForKey(*d, "OriginalPath");
        const std::string* trashed = plist::stringForKey(*d, "TrashedPath");
        const plist::Value* date = plist::valueForKey(*d, "Date");
        if (!original || !trashed)
            continue;
        // A user may write the records: one counts only when its item lies directly in the
        // Trash it was read from (not "/Library/Preferences/..." to be moved out as this
        // user), and its original place is a plain absolute path.
        if (standardizePath(deletingLastPathComponent(*trashed)) != standardizePath(trash) ||
            lastPathComponent(*trashed) == kRecordFolder || !isPlainAbsolute(*trashed) ||
            !isPlainAbsolute(*original))
            continue;
        // A record whose item has left the Trash (emptied, or put back by hand) is stale.
        if (!fs::attributesOfItem(*trashed))
            continue;
        Record rec{*original, *trashed, {}};
        if (date)
            if (auto* dt = std::get_if<plist::Date>(&date->v))
                rec.when = dt->time;
        if (const plist::Value* ts = plist::valueForKey(*d, "Timestamp"))
            if (auto* secs = std::get_if<double>(&ts->v))
                rec.when = std::chrono::system_clock::time_point(
                    std::chrono::duration_cast<std::chrono::system_clock::duration>(
                        std::chrono::duration<double>(*secs)));
        out.push_back(std::move(rec));
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Record& a, const Record& b) { return a.when < b.when; });
    return out;
}

MoveResult putBack(const Record& record) {
    MoveResult r;
    if (!isPlainAbsolute(record.trashedPath) ||
        lastPathComponent(deletingLastPathComponent(record.trashedPath)) != ".Trash") {
        r.error = "the record's item does not lie in a Trash";
        return r;
    }
    std::string fromLeaf, toLeaf;
    posix::Fd from = posix::openParentNoFollow(record.trashedPath, fromLeaf);
    if (!from.valid()) {
        r.error = "the Trash cannot be opened";
        return r;
    }
    // Every existing parent is opened without following a link before anything is created.
    if (!isPlainAbsolute(record.originalPath) ||
        !fs::createDirectoriesNoFollow(deletingLastPathComponent(record.originalPath))) {
        r.error = "the original folder cannot be reached without following links";
        return r;
    }
    posix::Fd to = posix::openParentNoFollow(record.originalPath, toLeaf);
    if (!to.valid()) {
        r.error = "the original folder cannot be opened without following links";
        return r;
    }
    if (renameNoReplace(from.get(), fromLeaf.c_str(), to.get(), toLeaf.c_str()) != 0) {
        r.error = errno == EEXIST ? "something already exists at the original place"
                                  : std::strerror(errno);
        return r;
    }
    r.moved = true;
    r.trashedPath = record.trashedPath;
    std::string trash = deletingLastPathComponent(record.trashedPath);
    fs::removeItem(
        appendPathComponent(appendPathComponent(trash, kRecordFolder), fromLeaf + ".plist"));
    return r;
}

}  // namespace vendrel::platform::trash
