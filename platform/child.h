// Child programs (NSTask): run with an argument vector, wait for the end.
#pragma once

#include <string>
#include <vector>

namespace vendrel::platform {

struct ChildResult {
    bool started = false;
    int exitCode = -1;  // -1 when killed by a signal or not started
};

// argv[0] is a host path to the program. Standard input is /dev/null; output is inherited.
ChildResult runAndWait(const std::vector<std::string>& argv);

}  // namespace vendrel::platform
