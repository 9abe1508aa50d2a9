#include "common/journal.h"

namespace vendrel {
namespace {
thread_local Journal* t_journal = nullptr;
}

std::string_view toString(JournalAction action) {
    switch (action) {
        case JournalAction::RoutineSelected:
            return "routine";
        case JournalAction::MovedToTrash:
            return "moved to Trash";
        case JournalAction::TrashFailed:
            return "not moved";
        case JournalAction::RefusedByGuard:
            return "refused";
        case JournalAction::ForceRemoved:
            return "force-removed";
        case JournalAction::ForceRemovalRefused:
            return "force removal refused";
        case JournalAction::ShellLineRun:
            return "shell line";
        case JournalAction::PatternRemoved:
            return "pattern removed";
        case JournalAction::CommandListRun:
            return "command list";
        case JournalAction::ProcessStopped:
            return "process stopped";
        case JournalAction::Logged:
            return "log";
        case JournalAction::Skipped:
            return "skipped";
    }
    return "?";
}

void Journal::add(JournalEntry entry) {
    entry.dryRun = dryRun_;
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
}

std::vector<JournalEntry> Journal::entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

JournalScope::JournalScope(Journal& journal) : previous_(t_journal) {
    t_journal = &journal;
}
JournalScope::~JournalScope() {
    t_journal = previous_;
}

Journal* currentJournal() {
    return t_journal;
}

bool journalDryRun() {
    return t_journal && t_journal->dryRun();
}

void journalRecord(JournalAction action, std::string subject, std::string detail) {
    if (t_journal)
        t_journal->add({action, std::move(subject), std::move(detail)});
}

}  // namespace vendrel
