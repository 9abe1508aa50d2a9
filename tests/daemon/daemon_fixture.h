// A temporary volume with the application installed at "/Applications/Vendrel.app" and, on
// request, the launchd stand-in running on it: the real daemon runs as a real process, and
// requests come from the real application executable inside the volume (the only client the
// daemon serves).
//
// The daemon's log lines arrive in a file (VENDREL_LOG_FILE) that the fixture reads.
#pragma once

#include <stdlib.h>
#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/request_files.h"
#include "tests/support/child_process.h"
#include "tests/support/env.h"
#include "tests/support/volume.h"

namespace vendrel::test {

class DaemonVolume {
  public:
    DaemonVolume();
    ~DaemonVolume();
    DaemonVolume(const DaemonVolume&) = delete;
    DaemonVolume& operator=(const DaemonVolume&) = delete;

    TempVolume& vol() { return vol_; }
    std::string appExecutable() const;  // host path of the installed Vendrel

    void startLaunchd();
    void stopLaunchd();
    // The installed application's command line.
    ProgramOutput app(const std::vector<std::string>& args,
                      const std::vector<std::string>& env = {}) const;
    // Starts the stand-in, installs the daemon through the application, waits for it and
    // returns its pid.
    int installDaemon();

    std::string log() const;
    int logCount(std::string_view line) const;  // whole lines equal to `line`
    bool waitForLogCount(std::string_view line, int count, double seconds = 20) const;
    std::optional<int> daemonPid() const;  // the running instance, from the stand-in

    void writeRequest(
        const request_files::FolderList& folders,
        const std::optional<request_files::CommandList>& commands = std::nullopt) const;
    request_files::FolderList folderListFor(const std::string& bundle,
                                            const std::string& name) const;
    // Sends one message through the installed application; the reply, or "" without one.
    std::string send(std::string_view message, double timeout = 30) const;
    // The same from a stranger: a forked child that drops to `uid` (groups and all) and then
    // runs the installed application. Opens the volume's folders to others first, so that
    // the stranger can reach the program and the service's socket.
    std::string sendAs(uid_t uid, std::string_view message, double timeout = 30) const;

  private:
    TempVolume vol_;
    // The daemon's log lines come to a file in the volume; waits are scaled down unless the
    // caller chose a scale.
    ScopedEnv log_{"VENDREL_LOG_FILE", vol_.root() + "/daemon.log"};
    ScopedEnv scale_{
        "VENDREL_TIME_SCALE",
        std::string(::getenv("VENDREL_TIME_SCALE") ? ::getenv("VENDREL_TIME_SCALE") : "0.01")};
    pid_t launchd_ = 0;
};

// Polls `done` until it holds or `seconds` pass.
bool waitUntil(const std::function<bool()>& done, double seconds = 20);

}  // namespace vendrel::test
