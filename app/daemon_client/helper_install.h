// The application delegate's start-up work without windows: make sure the privileged daemon
// is installed and is the version this build carries, and install it when not.
#pragma once

#include <optional>
#include <string>

#include "platform/service_management.h"

namespace vendrel {

class HelperInstaller {
  public:
    enum class Outcome {
        DaemonCurrent,    // nothing to do
        DaemonInstalled,  // installed or replaced
        Cancelled,        // the user cancelled the authorization: the application quits
        Failed,           // any other failure: the "Helper Tool" alert is shown
    };
    struct LaunchResult {
        Outcome outcome = Outcome::DaemonCurrent;
        // Whether an installation was attempted: true after any failed attempt,
        // the cancelled one included.
        bool attempted = false;
        bool terminate = false;  // ask the application to quit
        platform::Error error;   // when the installation failed
    };

    // installAtLaunch:.
    LaunchResult installAtLaunch();
    bool needsInstall();
    bool blessHelper(const std::string& label, platform::Error* error);
    static bool sendSelfRemoval();

  private:
    std::optional<platform::Authorization> authorization_;
};

}  // namespace vendrel
