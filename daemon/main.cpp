// com.Vendrel.Ostrand.DaemonServer: the privileged removal daemon, started by launchd as
// root. No arguments are used. SIGTERM (launchd's stop) and SIGINT end the run loop: the
// daemon stops accepting, finishes the requests it is serving, logs its exit line and
// returns 0, so that launchd does not start it again.
#include <signal.h>

#include "daemon/removal_service.h"

namespace {
vendrel::RemovalService* gListener = nullptr;

void onStopSignal(int) {
    if (gListener)
        gListener->stop();
}
}  // namespace

int main() {
    vendrel::RemovalService listener;
    gListener = &listener;
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sa.sa_flags = SA_RESTART;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
    bool ran = listener.run();
    gListener = nullptr;
    return ran ? 0 : 1;
}
