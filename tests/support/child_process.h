// Real application processes for tests: a copy of a long-running system program installed
// as a bundle's executable, started, and always killed and reaped at the end.
//
//   installProgram(vol, "/Applications/Foo.app/Contents/MacOS/Foo");
//   Child foo(vol.host("/Applications/Foo.app/Contents/MacOS/Foo"));
#pragma once

#include <sys/types.h>

#include <chrono>
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

// A program run to its end with the environment of this process (a TempVolume's variables
// included), its output captured.
struct ProgramOutput {
    int exitCode = -1;  // -1 when it could not start or ended by a signal
    std::string out;    // standard output, and standard error when asked
};
ProgramOutput runProgram(const std::vector<std::string>& argv, bool withErrors = false);

}  // namespace vendrel::test
