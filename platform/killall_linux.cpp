#include <dirent.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cctype>
#include <string>

#include "platform/killall.h"
#include "platform/paths.h"
#include "platform/posix_util_linux.h"

namespace vendrel::platform {

int killAllNamed(std::string_view executableName) {
    int count = 0;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return 0;
    while (const dirent* e = ::readdir(proc)) {
        if (!std::isdigit(static_cast<unsigned char>(e->d_name[0])))
            continue;
        const int pid = std::atoi(e->d_name);
        // The pidfd pins the process: the signal cannot reach a later holder of the pid.
        posix::Fd pidfd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
        if (!pidfd.valid())
            continue;
        char buf[4096];
        const std::string exeLink = "/proc/" + std::to_string(pid) + "/exe";
        ssize_t n = ::readlink(exeLink.c_str(), buf, sizeof buf - 1);
        if (n <= 0)
            continue;
        std::string exe(buf, static_cast<size_t>(n));
        constexpr std::string_view kDeleted = " (deleted)";
        if (exe.size() > kDeleted.size() &&
            exe.compare(exe.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0)
            exe.resize(exe.size() - kDeleted.size());
        auto logical = toLogical(exe);
        if (!logical || lastPathComponent(*logical) != executableName)
            continue;
        if (::syscall(SYS_pidfd_send_signal, pidfd.get(), SIGKILL, nullptr, 0) == 0)
            ++count;
    }
    ::closedir(proc);
    return count;
}

}  // namespace vendrel::platform
