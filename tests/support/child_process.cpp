#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>

extern char** environ;

namespace vendrel::test {
namespace stdfs = std::filesystem;

void installProgram(const TempVolume& vol, const std::string& logicalExecutable) {
    const stdfs::path host = vol.host(logicalExecutable);
    stdfs::create_directories(host.parent_path());
    stdfs::copy_file("/bin/sleep", host, stdfs::copy_options::overwrite_existing);
    stdfs::permissions(host, stdfs::perms::owner_all | stdfs::perms::group_read |
                                 stdfs::perms::group_exec | stdfs::perms::others_read |
                                 stdfs::perms::others_exec);
}

Child::Child(const std::string& hostExecutable) {
    std::string arg0 = hostExecutable, arg1 = "60";
    char* argv[] = {arg0.data(), arg1.data(), nullptr};
    if (::posix_spawn(&pid_, hostExecutable.c_str(), nullptr, nullptr, argv, environ) != 0)
        pid_ = -1;
}

Child::~Child() {
    // Only a child not yet reaped may be signalled: a reaped pid may name another process.
    if (pid_ > 0 && !reaped_) {
        ::kill(pid_, SIGKILL);
        wait();
    }
}

int Child::wait() {
    if (reaped_ || pid_ <= 0)
        return status_;
    while (::waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
    return status_;
}

bool Child::running() {
    if (reaped_ || pid_ <= 0)
        return false;
    const pid_t r = ::waitpid(pid_, &status_, WNOHANG);
    if (r == pid_)
        reaped_ = true;
    return r == 0;
}

bool Child::killedWithin(std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (running() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return reaped_ && WIFSIGNALED(status_) && WTERMSIG(status_) == SIGKILL;
}

ProgramOutput runProgram(const std::vector<std::string>& argv, bool withErrors) {
    ProgramOutput result;
    int fds[2];
    if (::pipe(fds) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addclose(&actions, fds[0]);
    ::posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    if (withErrors)
        ::posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    else
        ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_addclose(&actions, fds[1]);
    std::vector<std::string> args = argv;
    std::vector<char*> cargs;
    for (auto& a : args)
        cargs.push_back(a.data());
    cargs.push_back(nullptr);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, args[0].c_str(), &actions, nullptr, cargs.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc == 0) {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
            if (n > 0)
                result.out.append(buffer, static_cast<size_t>(n));
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (WIFEXITED(status))
            result.exitCode = WEXITSTATUS(status);
    }
    ::close(fds[0]);
    return result;
}

}  // namespace vendrel::test
