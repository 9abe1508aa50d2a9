#include "app/ui/leftover_findings.h"

#include "common/leftover_match.h"

namespace vendrel::ui {

std::vector<LeftoverFinding> finderLeftovers(const InstalledApp& app) {
    std::vector<LeftoverFinding> rows;
    const auto ownership =
        leftovers::Ownership::forRemoval(app.installPath.get(), app.name.get(), app.bundleId.get());
    if (!ownership)
        return rows;
    for (auto& f : leftovers::findLeftovers(*ownership)) {
        LeftoverFinding row;
        row.path = f.path;
        row.rule = std::string(leftovers::toString(f.rule));
        row.evidence = f.evidence;
        row.sizeBytes = f.size.value_or(0);
        row.finding = std::move(f);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace vendrel::ui
