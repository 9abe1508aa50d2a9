#include "app/cli/leftovers_view.h"

#include "app/cli/printable.h"
#include "common/files.h"

namespace vendrel::cli {

nlohmann::json findingsJson(const std::vector<leftovers::Finding>& findings) {
    nlohmann::json out = nlohmann::json::array();
    for (const auto& f : findings) {
        out.push_back({{"path", f.path},
                       {"location", f.location},
                       {"rule", std::string(leftovers::toString(f.rule))},
                       {"evidence", f.evidence},
                       {"sizeBytes", f.size ? nlohmann::json(*f.size) : nlohmann::json()},
                       {"system", f.system}});
    }
    return out;
}

nlohmann::json removedJson(const std::vector<leftovers::RemovedFinding>& removed) {
    nlohmann::json out = nlohmann::json::array();
    for (const auto& r : removed)
        out.push_back({{"path", r.path}, {"went", r.destination}, {"trashedPath", r.trashedPath}});
    return out;
}

void printFindings(std::ostream& out, const std::vector<leftovers::Finding>& findings) {
    for (const auto& f : findings) {
        out << "  " << files::sizeText(f.size) << "  " << printable(f.path) << "  ("
            << leftovers::toString(f.rule) << ": " << printable(f.evidence)
            << (f.system ? ", needs administrator rights" : "") << ")\n";
    }
}

std::string findingsSummary(const std::vector<leftovers::Finding>& findings) {
    return std::to_string(findings.size()) + (findings.size() == 1 ? " item (" : " items (") +
           files::sizeText(leftovers::totalSize(findings)) + ")";
}

}  // namespace vendrel::cli
