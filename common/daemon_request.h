// How the daemon reads and checks a removal request before it acts on it as root.
//
// The request files lie in a folder a user may be able to write, so everything in them is
// untrusted. On top of the layout rules of common/request_files.h the daemon requires:
//   - "FilePath" passes the removal flow's location check (common/removal_location.h), is a
//     plain absolute path (no empty, "." or ".." component), names a bundle (".app" or
//     ".prefPane") and passes the guard for root force removal (no protected folder, no
//     symbolic link among its parent folders). When something is still there (the
//     application has usually moved the bundle to the user's Trash already) it must be a
//     folder, not a link, with a Contents folder. A path inside "/Users" must lie inside the
//     requesting user's home ("CurrentUserHomeDirPath"): one user's request never reaches
//     another user's applications;
//   - "CurrentUserHomeDirPath" is an absolute path with at least two components below "/"
//     and no "." or ".." component;
//   - the command list runs only when its "FilePath" equals the folder list's (both files
//     then come from one analysis), and "~" in it is replaced only when the home's host
//     path is plain: every character a letter, digit or one of "/._-@+". The command list
//     is opaque shell text, so a home with a space, quote or "$" would change what the
//     shell runs; such a request goes on without its command list.
// A request that fails a FilePath or home rule is refused as a whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/request_files.h"

namespace vendrel::daemon_request {

enum class Verdict {
    Missing,  // no folder list file: reply Failed
    Ignored,  // unreadable, not three entries, or "IsDirPath" not "YES": no action, Success
    Refused,  // fails a rule above: no action, Failed
    Act,
};

struct Request {
    Verdict verdict = Verdict::Missing;
    request_files::FolderList folders;
    // The command list to run, "~" already replaced by the host path of the user's home.
    std::optional<std::string> commandList;
    std::string refusal;             // why, when Refused
    std::vector<std::string> notes;  // why the command list was dropped, for the log
};

// Reads and checks the request files in a Contents folder (logical path).
Request read(std::string_view contentsFolder);

// Why the daemon must not act on this "FilePath" for this home, or nullopt.
std::optional<std::string> filePathRefusal(std::string_view filePath, std::string_view home);
std::optional<std::string> homeRefusal(std::string_view home);
// Every character a letter, digit or one of "/._-@+", absolute, no "." or ".." component.
bool isPlainPath(std::string_view path);
std::string replaceTilde(std::string_view text, std::string_view home);

}  // namespace vendrel::daemon_request
