// com.Vendrel.Ostrand.DaemonServer: the privileged removal daemon, started by launchd as
// root. No arguments are used. SIGTERM (launchd's stop) and SIGINT end the run loop: the
// daemon stops accepting, finishes the requests it is serving, logs its exit line and
// returns 0, so that launchd does not start it again.
#include "daemon/removal_service.h"
#include "platform/system.h"

namespace {
vendrel::RemovalService* gService = nullptr;

void stopService() {
    if (gService)
        gService->stop();
}
}  // namespace

int main() {
    vendrel::RemovalService service;
    gService = &service;
    vendrel::platform::installStopHandler(stopService);
    const bool ran = service.run();
    gService = nullptr;
    return ran ? 0 : 1;
}
