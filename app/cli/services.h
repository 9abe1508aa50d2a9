// The application's real services as the command line wires them: the daemon request, the
// uninstall report.
#pragma once

#include <chrono>

#include "app/catalogue/catalogue.h"
#include "app/removal/removal_flow.h"

namespace vendrel::cli {

// The removal flow's services; the catalogue is rebuilt with Apple's applications hidden.
RemovalServices removalServices(Catalogue& catalogue);
// Gives fire-and-forget posts a bounded moment to leave before the process exits: they may
// run until one post time-out after `commandStart`, so that a command whose earlier network
// work already waited on a silent server does not wait a second full time-out for its report.
// Called after the command's results are out, so that the wait never holds them up.
void finishOnlineWork(std::chrono::steady_clock::time_point commandStart);

}  // namespace vendrel::cli
