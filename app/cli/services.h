// The application's real services as the command line wires them: the malware list, the
// daemon request, the uninstall report.
#pragma once

#include "app/catalogue/catalogue.h"
#include "app/removal/removal_flow.h"

namespace vendrel::cli {

// The process's malware-list hook for catalogue rebuilds (loaded once per process).
UntrustedAppsHook* untrustedAppsHook();
// The removal flow's services; the catalogue is rebuilt with Apple's applications hidden.
RemovalServices removalServices(Catalogue& catalogue);
// Gives fire-and-forget posts a bounded moment to leave before the process exits.
void finishOnlineWork();

}  // namespace vendrel::cli
