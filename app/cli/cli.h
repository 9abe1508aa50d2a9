// The command-line front end: `Vendrel list`, `analyze`, `sweep`, `remove`, ...
#pragma once

namespace vendrel::cli {

// Returns the process exit code.
int run(int argc, char** argv);

}  // namespace vendrel::cli
