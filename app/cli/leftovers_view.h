// How the command line shows the leftover finder's findings and what became of them.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "common/leftover_finder.h"

namespace vendrel::cli {

nlohmann::json findingsJson(const std::vector<leftovers::Finding>& findings);
nlohmann::json removedJson(const std::vector<leftovers::RemovedFinding>& removed);
// One line per finding: size, path, and the rule with what it matched on.
void printFindings(std::ostream& out, const std::vector<leftovers::Finding>& findings);
// "12 items (3.4 MB)".
std::string findingsSummary(const std::vector<leftovers::Finding>& findings);

}  // namespace vendrel::cli
