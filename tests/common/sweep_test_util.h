// Helpers shared by the scanner and engine tests: reading a removal journal.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "common/journal.h"

namespace vendrel::test {

inline std::vector<std::string> subjects(const Journal& journal, JournalAction action) {
    std::vector<std::string> out;
    for (const auto& e : journal.entries())
        if (e.action == action)
            out.push_back(e.subject);
    return out;
}

inline std::vector<std::string> movedToTrash(const Journal& journal) {
    return subjects(journal, JournalAction::MovedToTrash);
}

inline bool hasAction(const Journal& journal, JournalAction action) {
    const auto entries = journal.entries();
    return std::any_of(entries.begin(), entries.end(),
                       [&](const JournalEntry& e) { return e.action == action; });
}

}  // namespace vendrel::test
