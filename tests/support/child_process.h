// Real processes for tests: programs run to their end with their output captured, servers
// and daemons started and reaped, and a copy of a long-running system program installed as
// a bundle's executable, started, and always killed and reaped at the end.
//
//   installProgram(vol, "/Applications/Foo.app/Contents/MacOS/Foo");
//   Child foo(vol.host("/Applications/Foo.app/Contents/MacOS/Foo"));
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/volume.h"

namespace vendrel::test {

// Installs a copy of /bin/sleep as `logicalExecutable` on the volume.
void installProgram(const TempVolume& vol, const std::string& logicalExecutable);

// A program started from a host path (it sleeps 60 seconds); killed and reaped when it goes
// out of scope, so that no test leaves a process or a zombie behind.
class Child {
  public:
    explicit Child(const std::string& hostExecutable);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    int pid() const { return pid_; }
    // Blocks until the child ends; its wait status.
    int wait();
    // True while the child has not ended. Reaps it when it has.
    bool running();
    // Waits up to `limit` for the child to end; true when it ended by SIGKILL.
    bool killedWithin(std::chrono::milliseconds limit);

  private:
    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = 0;
};

// Starts a program (args[0] is looked up in PATH when it has no slash) with this process's
// environment plus `env` ("NAME=value" entries, which win), standard input from /dev/null,
// standard output and error appended to `outputFile` (discarded when it is empty), and no
// other open file of the test. -1 when it cannot start.
pid_t startProcess(const std::vector<std::string>& args, const std::string& outputFile = {},
                   const std::vector<std::string>& env = {});
// Waits at most `seconds` for the process to end and reaps it: its wait status, or nullopt
// when it is still running.
std::optional<int> waitProcess(pid_t pid, double seconds);
// Waits for the process to end and reaps it: its exit code, 128 + the signal when killed.
int waitProgram(pid_t pid);

// A program run to its end, its output captured.
struct ProgramOutput {
    int exitCode = -1;  // 128 + the signal when killed; -1 when it could not start
    std::string out;    // standard output, and standard error when asked
};
ProgramOutput runProgram(const std::vector<std::string>& argv, bool withErrors = false,
                         const std::vector<std::string>& env = {});

}  // namespace vendrel::test
