// Running applications: processes whose executable lies in X.app/Contents/MacOS/ on the
// volume (plain background processes are never seen). The list is in a stable order:
// by process start time, then pid.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vendrel::platform {

struct RunningApplication {
    int pid = 0;
    uint64_t startTime = 0;                 // kernel start time, guards against pid reuse
    std::string bundlePath;                 // logical path of X.app
    std::optional<std::string> bundleName;  // CFBundleName of the bundle's Info.plist
};

std::vector<RunningApplication> runningApplications();
// forceTerminate: SIGKILL, only if the pid still names the same process. Does not wait.
bool forceTerminate(const RunningApplication& app);

}  // namespace vendrel::platform
