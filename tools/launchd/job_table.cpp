#include "tools/launchd/job_table.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <limits.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/xpc.h"

namespace vendrel::launchd_standin {
namespace plist = platform::plist;

namespace {

void say(const std::string& line) {
    std::cerr << "vendrel-launchd: " << line << std::endl;
}

std::string describeExit(int status) {
    if (WIFEXITED(status))
        return "exit " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "signal " + std::to_string(WTERMSIG(status));
    return "ended";
}

// Waits up to `seconds` for pid to end; true when it has.
bool waitEnded(pid_t pid, double seconds) {
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until) {
        int status = 0;
        pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid || (r < 0 && errno == ECHILD))
            return true;
        ::usleep(10000);
    }
    return false;
}

// The job may change its working folder; a relative root would then name another place.
std::string absoluteRoot() {
    char buf[PATH_MAX];
    const std::string root = platform::volumeRoot();
    return ::realpath(root.c_str(), buf) ? std::string(buf) : root;
}

void terminate(pid_t pid) {
    ::kill(pid, SIGTERM);
    if (!waitEnded(pid, 10.0)) {
        ::kill(pid, SIGKILL);
        waitEnded(pid, 5.0);
    }
}

}  // namespace

JobTable::~JobTable() {
    shutdown();
}

void JobTable::loadFolder(const std::string& folder) {
    for (const auto& name : platform::fs::contentsOfDirectory(folder)) {
        if (platform::pathExtension(name) != "plist")
            continue;
        std::string why = load(platform::appendPathComponent(folder, name));
        if (!why.empty())
            say("not loaded: " + why);
    }
}

namespace {

std::chrono::steady_clock::duration throttle() {
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(kThrottleSeconds * platform::timeScale()));
}

// Why a file may not decide what runs as root: a link, a link among its parents, a file of
// another user than root (or the stand-in's own user), or one that group or others may write.
std::optional<std::string> rootOnlyRefusal(const std::string& logical) {
    if (auto link = platform::fs::linkAmongParents(logical))
        return "lies behind the symbolic link " + *link;
    struct stat st {};
    const std::string host = platform::toHost(logical);
    if (host.empty() || ::lstat(host.c_str(), &st) != 0)
        return std::string("is missing");
    if (!S_ISREG(st.st_mode))
        return std::string("is not a regular file");
    if (st.st_uid != 0 && st.st_uid != ::geteuid())
        return "is owned by user " + std::to_string(st.st_uid) + ", not by root";
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return std::string("may be changed by other users");
    return std::nullopt;
}

}  // namespace

std::string JobTable::load(const std::string& plistPath) {
    if (platform::deletingLastPathComponent(plistPath) != kJobFolder)
        return plistPath + ": jobs load only from " + std::string(kJobFolder);
    if (auto why = rootOnlyRefusal(plistPath))
        return plistPath + ": " + *why;
    auto dict = plist::readDictionary(plistPath);
    if (!dict)
        return plistPath + ": not a readable launchd property list";
    const std::string* label = plist::stringForKey(*dict, "Label");
    if (!label || label->empty())
        return plistPath + ": no Label";
    if (!allowed_.count(*label))
        return plistPath + ": label " + *label + " is not allowed here";

    Job job;
    job.label = *label;
    job.plistPath = plistPath;
    if (const std::string* program = plist::stringForKey(*dict, "Program"))
        job.program = *program;
    if (const plist::Value* args = plist::valueForKey(*dict, "ProgramArguments");
        args && args->array()) {
        for (const auto& a : *args->array())
            if (a.string())
                job.arguments.push_back(*a.string());
    }
    if (job.program.empty() && !job.arguments.empty())
        job.program = job.arguments.front();
    if (job.arguments.empty())
        job.arguments.push_back(job.program);
    if (job.program.empty() || job.program.front() != '/')
        return plistPath + ": no absolute Program";
    if (const plist::Value* keep = plist::valueForKey(*dict, "KeepAlive"); keep) {
        if (const auto* d = keep->dictionary()) {
            if (const plist::Value* s = plist::valueForKey(*d, "SuccessfulExit")) {
                const bool* b = std::get_if<bool>(&s->v);
                job.keepAliveUnlessSuccess = b && !*b;
            }
        } else if (const bool* b = std::get_if<bool>(&keep->v)) {
            job.keepAliveUnlessSuccess = *b;
        }
    }

    // Same label: the new job replaces the loaded one.
    unload(*label);
    if (const plist::Value* mach = plist::valueForKey(*dict, "MachServices");
        mach && mach->dictionary()) {
        for (const auto& [name, enabled] : *mach->dictionary()) {
            if (name.empty() || name.find('/') != std::string::npos)
                continue;
            std::string error;
            int fd = platform::xpc::listenAt(platform::xpc::serviceSocketPath(name), &error);
            if (fd < 0) {
                closeServices(job);
                return plistPath + ": cannot serve " + name + ": " + error;
            }
            job.services.push_back({name, fd});
        }
    }
    jobs_.push_back(std::move(job));
    say("loaded " + jobs_.back().label + " from " + plistPath);
    start(jobs_.back());
    return {};
}

std::string JobTable::unload(const std::string& plistPathOrLabel) {
    auto it = std::find_if(jobs_.begin(), jobs_.end(), [&](const Job& j) {
        return j.plistPath == plistPathOrLabel || j.label == plistPathOrLabel;
    });
    if (it == jobs_.end())
        return "no job " + plistPathOrLabel;
    say("unloading " + it->label);
    closeServices(*it);
    if (it->pid > 0) {
        ::kill(it->pid, SIGTERM);
        dying_.push_back(it->pid);
    }
    jobs_.erase(it);
    return {};
}

std::string JobTable::list() const {
    std::ostringstream out;
    for (const auto& j : jobs_) {
        out << j.label << '\t' << (j.pid > 0 ? std::to_string(j.pid) : "-") << '\t'
            << (j.lastExit ? std::to_string(*j.lastExit) : "-") << '\n';
    }
    return out.str();
}

std::vector<int> JobTable::idleServiceFds() const {
    std::vector<int> fds;
    for (const auto& j : jobs_)
        if (j.pid == 0)
            for (const auto& s : j.services)
                fds.push_back(s.fd);
    return fds;
}

void JobTable::onServiceReadable(int fd) {
    for (auto& j : jobs_)
        for (const auto& s : j.services)
            if (s.fd == fd && j.pid == 0) {
                say("client waiting on " + s.name + ": starting " + j.label);
                j.restartAt.reset();
                start(j);
                if (j.pid == 0)
                    refuseWaitingClients(fd);
                return;
            }
}

void JobTable::refuseWaitingClients(int fd) {
    // Nobody will serve them: close their connections rather than leave them waiting (and the
    // socket readable, which would retry the start at every turn of the loop).
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 0) <= 0)
            return;
        int c = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0)
            return;
        ::close(c);
    }
}

void JobTable::start(Job& job) {
    const auto now = std::chrono::steady_clock::now();
    job.lastStart = now;
    // A start that fails is retried after the throttle, not at every turn of the loop.
    auto fail = [&](const std::string& why) {
        say("cannot start " + job.label + ": " + why);
        job.lastExit = 127;
        if (job.keepAliveUnlessSuccess)
            job.restartAt = now + throttle();
        else
            job.restartAt.reset();
    };
    const std::string program = platform::toHost(job.program);
    struct stat st {};
    if (program.empty() || ::stat(program.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        ::access(program.c_str(), X_OK) != 0)
        return fail("no program at " + job.program);
    // The program runs as root: only a file that only root may change, reached without a
    // link, may be it.
    if (auto why = rootOnlyRefusal(job.program))
        return fail("the program " + job.program + " " + *why);
    std::string fdList;
    for (size_t i = 0; i < job.services.size(); ++i) {
        if (i)
            fdList += ',';
        fdList += job.services[i].name + "=" + std::to_string(3 + i);
    }
    std::vector<std::string> env = {"PATH=/usr/sbin:/usr/bin:/sbin:/bin",
                                    "VENDREL_ROOT=" + absoluteRoot(), "VENDREL_XPC_FDS=" + fdList};
    for (const char* name : {"VENDREL_TIME_SCALE", "VENDREL_LOG_FILE"})
        if (const char* v = ::getenv(name))
            env.push_back(std::string(name) + "=" + v);
    std::vector<char*> envp, argv;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    for (auto& a : job.arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    // Above every descriptor the job will get, so that placing them cannot clobber another.
    std::vector<int> high;
    for (const auto& s : job.services)
        high.push_back(::fcntl(s.fd, F_DUPFD_CLOEXEC, 100));

    pid_t pid = ::fork();
    if (pid == 0) {
        ::setsid();
        int devnull = ::open("/dev/null", O_RDONLY);
        if (devnull >= 0)
            ::dup2(devnull, 0);
        for (size_t i = 0; i < high.size(); ++i)
            ::dup2(high[i], static_cast<int>(3 + i));
        ::close_range(static_cast<unsigned>(3 + high.size()), ~0u, 0);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    for (int fd : high)
        ::close(fd);
    if (pid < 0) {
        say("cannot start " + job.label + ": fork failed");
        return;
    }
    job.pid = pid;
    job.restartAt.reset();
    say("started " + job.label + " as pid " + std::to_string(pid));
}

void JobTable::reap() {
    for (;;) {
        int status = 0;
        pid_t pid = ::waitpid(-1, &status, WNOHANG);
        if (pid <= 0)
            return;
        dying_.erase(std::remove(dying_.begin(), dying_.end(), pid), dying_.end());
        for (auto& j : jobs_) {
            if (j.pid != pid)
                continue;
            j.pid = 0;
            j.lastExit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            const bool success = WIFEXITED(status) && WEXITSTATUS(status) == 0;
            say(j.label + " ended: " + describeExit(status));
            if (j.keepAliveUnlessSuccess && !success) {
                auto at = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double>(platform::timeScale()));
                if (j.lastStart)
                    at = std::max(at, *j.lastStart + throttle());
                j.restartAt = at;
            }
        }
    }
}

void JobTable::tick() {
    reap();
    auto now = std::chrono::steady_clock::now();
    for (auto& j : jobs_) {
        if (j.pid == 0 && j.restartAt && *j.restartAt <= now) {
            say("restarting " + j.label);
            start(j);
        }
    }
}

int JobTable::msUntilNextRestart() const {
    int best = -1;
    auto now = std::chrono::steady_clock::now();
    for (const auto& j : jobs_) {
        if (j.pid != 0 || !j.restartAt)
            continue;
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(*j.restartAt - now).count();
        int v = ms < 0 ? 0 : static_cast<int>(std::min<long long>(ms, 60000));
        if (best < 0 || v < best)
            best = v;
    }
    return best;
}

void JobTable::closeServices(Job& job) {
    for (auto& s : job.services) {
        if (s.fd >= 0)
            ::close(s.fd);
        ::unlink(platform::toHost(platform::xpc::serviceSocketPath(s.name)).c_str());
        s.fd = -1;
    }
    job.services.clear();
}

void JobTable::stopJob(Job& job) {
    closeServices(job);
    if (job.pid > 0)
        terminate(job.pid);
    job.pid = 0;
}

void JobTable::shutdown() {
    for (auto& j : jobs_)
        stopJob(j);
    jobs_.clear();
    for (pid_t pid : dying_)
        terminate(pid);
    dying_.clear();
}

}  // namespace vendrel::launchd_standin
