// Running applications from /proc.
//
// A process is an application when its executable, mapped back to a logical path, lies
// directly in the Contents/MacOS folder of an ".app" bundle on the volume. Everything else
// (background programs, processes of other volumes or of the host, processes whose /proc
// entries cannot be read) is invisible, as the platform's workspace hides processes that
// are not applications.
#include <dirent.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/process.h"

namespace vendrel::platform {
namespace {

std::string procPath(int pid, const char* entry) {
    return "/proc/" + std::to_string(pid) + "/" + entry;
}

// Field 22 of /proc/<pid>/stat: clock ticks after boot at which the process started. The
// command name in field 2 may hold blanks and parentheses, so fields are counted from the
// last ')'.
std::optional<uint64_t> startTimeOf(int pid) {
    std::ifstream in(procPath(pid, "stat"));
    std::string stat;
    if (!std::getline(in, stat))
        return std::nullopt;
    const size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return std::nullopt;
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    for (int index = 3; fields >> field; ++index) {
        if (index == 22) {
            uint64_t value = 0;
            const auto [end, ec] =
                std::from_chars(field.data(), field.data() + field.size(), value);
            if (ec != std::errc() || end != field.data() + field.size())
                return std::nullopt;
            return value;
        }
    }
    return std::nullopt;
}

std::optional<std::string> executableOf(int pid) {
    std::string target(4096, '\0');
    const ssize_t n = ::readlink(procPath(pid, "exe").c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) >= target.size())
        return std::nullopt;
    target.resize(static_cast<size_t>(n));
    // A running program whose file was removed still belongs to its bundle.
    constexpr std::string_view kDeleted = " (deleted)";
    if (target.size() > kDeleted.size() && target.ends_with(kDeleted))
        target.resize(target.size() - kDeleted.size());
    return target;
}

bool hasAppExtension(std::string_view path) {
    constexpr std::string_view kApp = ".app";
    if (path.size() <= kApp.size())
        return false;
    const std::string_view tail = path.substr(path.size() - kApp.size());
    return std::equal(tail.begin(), tail.end(), kApp.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

// "/X.app/Contents/MacOS/exe" -> "/X.app"; nullopt for any other shape.
std::optional<std::string> bundleOfExecutable(std::string_view logical) {
    constexpr std::string_view kMacOS = "/Contents/MacOS/";
    const size_t at = logical.rfind(kMacOS);
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::string_view exe = logical.substr(at + kMacOS.size());
    if (exe.empty() || exe.find('/') != std::string_view::npos)
        return std::nullopt;
    const std::string_view bundle = logical.substr(0, at);
    if (!hasAppExtension(bundle) || bundle.ends_with("/.app"))
        return std::nullopt;
    return std::string(bundle);
}

int pidFromName(const char* name) {
    int pid = 0;
    for (const char* p = name; *p; ++p) {
        if (*p < '0' || *p > '9' || pid > 100000000)
            return 0;
        pid = pid * 10 + (*p - '0');
    }
    return pid;
}

}  // namespace

std::vector<RunningApplication> runningApplications() {
    std::vector<RunningApplication> apps;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return apps;
    std::map<std::string, std::optional<std::string>> names;  // bundle -> CFBundleName
    while (const dirent* entry = ::readdir(proc)) {
        const int pid = pidFromName(entry->d_name);
        if (pid <= 0)
            continue;
        const auto exe = executableOf(pid);  // fails for kernel threads, zombies, others' pids
        if (!exe)
            continue;
        const auto logical = toLogical(*exe);
        if (!logical)
            continue;
        auto bundle = bundleOfExecutable(*logical);
        if (!bundle)
            continue;
        const auto start = startTimeOf(pid);
        if (!start)
            continue;  // exited meanwhile
        auto known = names.find(*bundle);
        if (known == names.end()) {
            std::optional<std::string> name;
            if (const auto info = plist::readDictionary(*bundle + "/Contents/Info.plist"))
                if (const std::string* n = plist::stringForKey(*info, "CFBundleName"))
                    name = *n;
            known = names.emplace(*bundle, std::move(name)).first;
        }
        apps.push_back({pid, *start, std::move(*bundle), known->second});
    }
    ::closedir(proc);
    std::sort(apps.begin(), apps.end(), [](const auto& a, const auto& b) {
        return a.startTime != b.startTime ? a.startTime < b.startTime : a.pid < b.pid;
    });
    return apps;
}

bool forceTerminate(const RunningApplication& app) {
    // kill() with 0 or a negative pid signals whole process groups.
    if (app.pid <= 0)
        return false;
    // A pidfd pins the process it was opened for: once the start time matches after the
    // open, the signal cannot reach a process that reused the pid.
    const long fd = ::syscall(SYS_pidfd_open, app.pid, 0);
    if (fd >= 0) {
        bool sent = false;
        if (startTimeOf(app.pid) == app.startTime)
            sent = ::syscall(SYS_pidfd_send_signal, static_cast<int>(fd), SIGKILL, nullptr, 0) == 0;
        ::close(static_cast<int>(fd));
        return sent;
    }
    if (errno != ENOSYS)
        return false;  // no such process (or not ours to signal)
    // Kernels before 5.3: a pid reused between the check and the signal cannot be excluded,
    // only made unlikely.
    if (startTimeOf(app.pid) != app.startTime)
        return false;
    return ::kill(app.pid, SIGKILL) == 0;
}

}  // namespace vendrel::platform
