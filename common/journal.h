// The removal journal: one place that every removing action of the toolkit, the engine, the
// routines and the daemon reports to, so that a front end can show the user what was done
// (or, in a dry run, what would be done). The journal observes; it never changes what is
// removed, except that in a dry run the removing actions are recorded and not carried out.
//
// A journal is attached to the current thread with a JournalScope. Without one, actions are
// carried out and not recorded.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vendrel {

enum class JournalAction {
    RoutineSelected,      // subject: routine name
    MovedToTrash,         // subject: path; detail: where it went in the Trash
    TrashFailed,          // subject: path; detail: why
    RefusedByGuard,       // subject: path; detail: why the guard refused it
    ForceRemoved,         // subject: path
    ForceRemovalRefused,  // subject: path; detail: why
    ShellLineRun,         // subject: the command line
    PatternRemoved,       // subject: the pattern
    CommandListRun,       // subject: the command list text
    ProcessStopped,       // subject: bundle path; detail: pid
    Logged,               // subject: the log line
    Skipped,              // subject: what; detail: why (unusable name or identifier, ...)
};

std::string_view toString(JournalAction action);

struct JournalEntry {
    JournalAction action;
    std::string subject;
    std::string detail;
    bool dryRun = false;  // recorded, not carried out
};

class Journal {
  public:
    explicit Journal(bool dryRun = false) : dryRun_(dryRun) {}
    bool dryRun() const { return dryRun_; }
    void add(JournalEntry entry);
    std::vector<JournalEntry> entries() const;

  private:
    bool dryRun_;
    mutable std::mutex mutex_;
    std::vector<JournalEntry> entries_;
};

// Attaches a journal to the current thread for the scope's life (scopes nest).
class JournalScope {
  public:
    explicit JournalScope(Journal& journal);
    ~JournalScope();
    JournalScope(const JournalScope&) = delete;
    JournalScope& operator=(const JournalScope&) = delete;

  private:
    Journal* previous_;
};

Journal* currentJournal();
// True when the current thread's journal is a dry run: removing actions must not act.
bool journalDryRun();
void journalRecord(JournalAction action, std::string subject, std::string detail = {});

}  // namespace vendrel
