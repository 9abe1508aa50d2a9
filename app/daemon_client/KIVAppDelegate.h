// The application delegate's start-up work without windows: make sure the privileged daemon
// is installed and is the version this build carries, and install it when not.
#pragma once

#include <optional>
#include <string>

#include "platform/service_management.h"

namespace vendrel {

class KIVAppDelegate {
  public:
    enum class Outcome {
        DaemonCurrent,    // nothing to do
        DaemonInstalled,  // installed or replaced
        Cancelled,        // the user cancelled the authorization: the application quits
        Failed,           // any other failure: the "Helper Tool" alert is shown
    };
    struct LaunchResult {
        Outcome outcome = Outcome::DaemonCurrent;
        // Form_KIV_Controller's mpu_bool_HelperTool_Init: true after any failed attempt,
        // the cancelled one included.
        bool mpu_bool_HelperTool_Init = false;
        bool terminate = false;  // ask the application to quit
        platform::Error error;   // when the installation failed
    };

    // applicationDidFinishLaunching:.
    LaunchResult applicationDidFinishLaunching();
    bool mpu_IsNeedInstallDaemonServer();
    bool mpu_BlessHelperWithLabel(const std::string& label, platform::Error* error);
    static bool mpu_SendMsgToDaemonServer_KillSelf();

  private:
    std::optional<platform::Authorization> mpr_AuthRef;
};

}  // namespace vendrel
