// The built Vendrel command line as tests run it, and its output read back: one place that
// knows how a command's JSON output is found and parsed.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace vendrel::test {

// Runs the build's Vendrel with `args` and this process's environment (a TempVolume's
// variables included).
ProgramOutput runVendrel(const std::vector<std::string>& args, bool withErrors = false);

// The JSON document in a command's output: from its first "{" or "[" to the end, so that
// lines a command prints before it (a confirmation question) are passed over. Throws
// nlohmann::json::parse_error when there is none.
nlohmann::json jsonOutput(const std::string& out);

}  // namespace vendrel::test
