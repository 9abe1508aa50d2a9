// Pieces shared by the library scanners and the extended delete engine.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vendrel::sweep {

// The running process's home folder (platform::homeDirectory()) joined with a
// library-relative literal, or nullopt when the home folder is not a usable absolute folder
// (empty, relative, "/" itself, or holding "." or ".." parts). An unset or broken home must
// never turn "<home>/Library/Caches" into the system's "/Library/Caches" or a relative path.
std::optional<std::string> homeJoin(std::string_view literal);
bool isUsableHome(std::string_view home);

// A match fragment that can name something: not empty once white space and dots are
// stripped from its ends. Blank or dots-only fragments would match (nearly) every entry, so
// they match nothing. Identifiers from another program's Info.plist must in addition pass
// guard::isUsableIdentifier before they become fragments (the engine checks that).
bool isUsableFragment(std::string_view fragment);

// The launchd jobs of one folder, read once: each entry with the program text it is judged
// on ("Program", else the first "ProgramArguments" element; absent when neither is a string).
// Several program paths can then be matched against one reading of the folder, in the order
// the caller gives, with the same outcome as listing the folder once per path.
class LaunchJobFolder {
  public:
    explicit LaunchJobFolder(std::string folder);
    bool exists() const { return exists_; }
    // Moves to the Trash every job whose program lies inside the folder programPath
    // (case-insensitive; "/Foo" never takes a program in "/Foo Tools/"). Jobs moved by an
    // earlier call are not tried again.
    void trashMatching(std::string_view programPath);

  private:
    struct Job {
        std::string path;
        std::optional<std::string> program;
        bool gone = false;
    };
    std::vector<Job> jobs_;
    bool exists_ = false;
};

// The program text a launchd job at `jobPath` is judged on ("Program", else the first
// "ProgramArguments" element), or nullopt when the job is unreadable or names none.
std::optional<std::string> launchJobProgram(const std::string& jobPath);

// After files::moveToTrash(path): whether the item left its place (or, in a dry run,
// whether the move was recorded as done). Walks use it to decide whether to descend.
bool movedAway(const std::string& path);

// A program path that names something below a top-level folder: at least three path
// components ("/", "Applications", "Foo.app"). Shorter paths would match every job that runs
// a program below a top-level folder.
bool isSpecificProgramPath(std::string_view programPath);

}  // namespace vendrel::sweep
