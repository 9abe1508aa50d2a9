#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string_view>
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

namespace {

// This process's environment with `extra` ("NAME=value") put over it.
std::vector<std::string> environmentWith(const std::vector<std::string>& extra) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string_view entry = *e;
        const std::string_view name = entry.substr(0, entry.find('='));
        bool overridden = false;
        for (const auto& x : extra)
            overridden = overridden || std::string_view(x).substr(0, x.find('=')) == name;
        if (!overridden)
            env.emplace_back(entry);
    }
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (auto& s : strings)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

// Standard input from /dev/null, standard output to `outFd` (or /dev/null), standard error
// to `errFd` (or /dev/null), and no other open file of the test: a child that kept a pipe
// of the test open would keep its reader waiting forever. args[0] is looked up in PATH when
// it has no slash.
pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, int outFd,
            int errFd) {
    std::vector<std::string> argv = args;
    std::vector<std::string> envp = environmentWith(env);
    auto a = pointers(argv);
    auto e = pointers(envp);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (outFd >= 0)
        ::posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    else
        ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (errFd >= 0)
        ::posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    else
        ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, a[0], &actions, nullptr, a.data(), e.data());
    ::posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int exitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

pid_t startProcess(const std::vector<std::string>& args, const std::string& outputFile,
                   const std::vector<std::string>& env) {
    int fd = -1;
    if (!outputFile.empty()) {
        fd = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd < 0)
            return -1;
    }
    const pid_t pid = spawn(args, env, fd, fd);
    if (fd >= 0)
        ::close(fd);
    return pid;
}

std::optional<int> waitProcess(pid_t pid, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return status;
        if (r < 0)
            return -1;
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int waitProgram(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return exitCodeOf(status);
}

ProgramOutput runProgram(const std::vector<std::string>& argv, bool withErrors,
                         const std::vector<std::string>& env) {
    ProgramOutput result;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return result;
    const pid_t pid = spawn(argv, env, fds[1], withErrors ? fds[1] : -1);
    ::close(fds[1]);
    if (pid > 0) {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
            if (n > 0)
                result.out.append(buffer, static_cast<size_t>(n));
        result.exitCode = waitProgram(pid);
    }
    ::close(fds[0]);
    return result;
}

}  // namespace vendrel::test
