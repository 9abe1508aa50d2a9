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
//   - the command list is passed on only when its "FilePath" equals the folder list's (both
//     files then come from one analysis). It is data, never shell text: common/command_list.h
//     parses it and checks every path it names against the requesting user's home.
//   - each request file counts only when it is owned by the caller or by root and was written
//     at most kMaxRequestAge before the request (a file left by an earlier analysis, above all
//     another user's, acts for nobody), and the daemon consumes the files: after reading, both
//     are removed, whatever the verdict.
// A request that fails a FilePath or home rule is refused as a whole.
#pragma once

#include <chrono>
#include <cstdint>
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
    // The command list's text as it came ("~" is resolved by common/command_list.h).
    std::optional<std::string> commandList;
    std::string refusal;             // why, when Refused
    std::vector<std::string> notes;  // why the command list was dropped, for the log
};

inline constexpr std::chrono::seconds kMaxRequestAge{120};

// Reads, checks and removes the request files in a Contents folder (logical path) for a
// request made by the user `callerUid`. A folder list that is stale or owned by someone else
// is Refused; such a command list is dropped with a note.
Request read(std::string_view contentsFolder, uint32_t callerUid);

// Why the daemon must not act on this "FilePath" for this home, or nullopt.
std::optional<std::string> filePathRefusal(std::string_view filePath, std::string_view home);
std::optional<std::string> homeRefusal(std::string_view home);

}  // namespace vendrel::daemon_request
