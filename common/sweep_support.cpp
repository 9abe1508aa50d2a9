#include "common/sweep_support.h"

#include "common/files.h"
#include "common/journal.h"
#include "common/leftover_match.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/strings.h"

namespace vendrel::sweep {

bool isUsableHome(std::string_view home) {
    if (home.empty() || home.front() != '/')
        return false;
    const auto parts = platform::pathComponents(home);
    if (parts.size() < 2)
        return false;  // "/" alone
    for (const auto& part : parts) {
        if (part == "." || part == "..")
            return false;
    }
    return true;
}

std::optional<std::string> homeJoin(std::string_view literal) {
    const std::string home = platform::homeDirectory();
    if (!isUsableHome(home))
        return std::nullopt;
    return platform::appendPathComponent(home, literal);
}

bool isUsableFragment(std::string_view fragment) {
    const auto strip = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '.';
    };
    while (!fragment.empty() && strip(fragment.front()))
        fragment.remove_prefix(1);
    while (!fragment.empty() && strip(fragment.back()))
        fragment.remove_suffix(1);
    return !fragment.empty();
}

bool isSpecificProgramPath(std::string_view programPath) {
    return platform::pathComponents(programPath).size() >= 3;
}

bool movedAway(const std::string& path) {
    if (!platform::fs::attributesOfItem(path))
        return true;
    if (!journalDryRun())
        return false;
    const auto entries = currentJournal()->entries();
    return !entries.empty() && entries.back().action == JournalAction::MovedToTrash &&
           entries.back().subject == path;
}

namespace {

// The text a job is judged on. "Program" wins whenever it is present, even when it is not a
// string (then the job matches nothing); a "ProgramArguments" that is not a list counts as
// absent, and a first element that is not a string matches nothing.
std::optional<std::string> programText(const platform::plist::Dictionary& job) {
    if (const auto* program = platform::plist::valueForKey(job, "Program")) {
        if (const auto* s = program->string())
            return *s;
        return std::nullopt;
    }
    if (const auto* args = platform::plist::valueForKey(job, "ProgramArguments")) {
        const auto* list = args->array();
        if (list && !list->empty()) {
            if (const auto* s = list->front().string())
                return *s;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> launchJobProgram(const std::string& jobPath) {
    if (auto dict = platform::plist::readDictionary(jobPath))
        return programText(*dict);
    return std::nullopt;
}

LaunchJobFolder::LaunchJobFolder(std::string folder) {
    exists_ = platform::fs::fileExists(folder);
    if (!exists_)
        return;
    for (const auto& name : platform::fs::contentsOfDirectory(folder)) {
        Job job;
        job.path = platform::appendPathComponent(folder, name);
        if (auto dict = platform::plist::readDictionary(job.path))
            job.program = programText(*dict);
        if (job.program)
            jobs_.push_back(std::move(job));
    }
}

void LaunchJobFolder::trashMatching(std::string_view programPath) {
    if (programPath.empty())
        return;
    for (auto& job : jobs_) {
        if (job.gone || !leftovers::programLiesIn(*job.program, programPath))
            continue;
        files::moveToTrash(job.path);
        job.gone = movedAway(job.path);
    }
}

}  // namespace vendrel::sweep
