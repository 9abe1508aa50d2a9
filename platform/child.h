// Child programs (NSTask): run with an argument vector, wait for the end.
#pragma once

#include <string>
#include <vector>

namespace vendrel::platform {

struct ChildResult {
    bool started = false;
    bool timedOut = false;  // it ran out of time and was killed
    int exitCode = -1;      // -1 when killed by a signal or not started
};

// No child runs unbounded: a program still running after this long is killed (SIGKILL) and
// reaped. The daemon serves one request at a time, so one stuck child would stall everyone.
inline constexpr double kChildTimeoutSeconds = 60.0;

// argv[0] is a host path to the program. Standard input is /dev/null; output is inherited.
ChildResult runAndWait(const std::vector<std::string>& argv,
                       double timeoutSeconds = kChildTimeoutSeconds);

}  // namespace vendrel::platform
