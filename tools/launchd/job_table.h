// The launchd stand-in's jobs: loading launchd property lists, starting jobs with their
// service sockets, restarting and unloading them.
//
// Behaviour (what the system's launchd does for a job of the system domain):
//   - A loaded job is started at once (a job with KeepAlive runs after loading).
//   - Its MachServices get listening sockets (platform/xpc.h) owned by the stand-in, so a
//     client may connect while the job is not running; the stand-in then starts the job
//     (on demand) and the job accepts the waiting connection. The sockets are handed to the
//     job as inherited descriptors named in VENDREL_XPC_FDS.
//   - After an exit, KeepAlive { SuccessfulExit = false } restarts the job when the exit
//     status is not 0 or the job died of a signal, 1 second after the exit and at least
//     kThrottleSeconds after its last start, as launchd throttles (both scaled by
//     VENDREL_TIME_SCALE); a start that fails (no program) is retried after the throttle;
//     after exit 0 it waits for the next client.
//   - Jobs run as root, so only root decides what they are: a job file loads only from
//     kJobFolder, owned by root and not writable by group or others, reached without a link;
//     its program must be the same kind of file, checked at every start. (The control
//     socket answers root alone: see launchd_main.cpp.)
//   - Loading a job whose label is loaded replaces the loaded one; unloading stops starting
//     it, removes its sockets and sends the running instance SIGTERM (SIGKILL after 10 s).
//   - Only labels on the allow list are loaded. A volume carries other programs' launch
//     daemons (the leftovers Vendrel removes); the stand-in runs as root and must never run
//     them.
//   - A job runs as the stand-in's user with a clean environment: PATH, VENDREL_ROOT,
//     VENDREL_TIME_SCALE and VENDREL_LOG_FILE (when set) and VENDREL_XPC_FDS. Its program is
//     "Program" (or the first of "ProgramArguments"), a logical path on the volume.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vendrel::launchd_standin {

inline constexpr std::string_view kJobFolder = "/Library/LaunchDaemons";
inline constexpr double kThrottleSeconds = 10.0;

struct Service {
    std::string name;
    int fd = -1;
};

struct Job {
    std::string label;
    std::string plistPath;  // logical, as loaded
    std::string program;    // logical
    std::vector<std::string> arguments;
    std::vector<Service> services;
    bool keepAliveUnlessSuccess = false;
    pid_t pid = 0;
    std::optional<int> lastExit;  // exit status, or 128 + signal
    std::optional<std::chrono::steady_clock::time_point> restartAt;
    std::optional<std::chrono::steady_clock::time_point> lastStart;
};

class JobTable {
  public:
    explicit JobTable(std::set<std::string> allowedLabels) : allowed_(std::move(allowedLabels)) {}
    ~JobTable();

    // Returns "" on success or why not.
    std::string load(const std::string& plistPath);
    std::string unload(const std::string& plistPathOrLabel);
    std::string list() const;
    void loadFolder(const std::string& folder);

    // Descriptors to watch: the sockets of jobs that are not running.
    std::vector<int> idleServiceFds() const;
    // A client waits on `fd`: start its job.
    void onServiceReadable(int fd);
    // Reaps ended children and starts jobs whose restart is due.
    void tick();
    // Milliseconds until the next due restart, or -1.
    int msUntilNextRestart() const;
    // Stops every job (SIGTERM, then SIGKILL) and removes the sockets.
    void shutdown();

  private:
    void start(Job& job);
    void stopJob(Job& job);
    void closeServices(Job& job);
    void reap();
    void refuseWaitingClients(int fd);

    std::set<std::string> allowed_;
    std::vector<Job> jobs_;
    std::vector<pid_t> dying_;  // unloaded jobs still running
};

}  // namespace vendrel::launchd_standin
