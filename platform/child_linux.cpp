#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <vector>

#include "platform/child.h"

extern char** environ;

namespace vendrel::platform {

ChildResult runAndWait(const std::vector<std::string>& argv) {
    ChildResult result;
    if (argv.empty())
        return result;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    int rc = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return result;
    result.started = true;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return result;
    }
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    return result;
}

}  // namespace vendrel::platform
