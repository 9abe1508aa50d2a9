// The extended delete engine: finishes the removal of one application in user mode (the
// application) or root mode (the daemon): dispatch to a per-product routine, root-mode force
// removal, the generic sweep of the library locations, and the removal command list.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/routines.h"

namespace vendrel {

class lib_funs_AppExtendDelete : public lib_funs_AppExtendDelete_Routines {
  public:
    lib_funs_AppExtendDelete() = delete;

    // The process-wide home directory setting (null until set). The daemon sets it before
    // each request; see the daemon for how requests are serialised around it.
    static void fun_Set_HomeDirectory(const std::optional<std::string>& home);
    static std::optional<std::string> fun_Get_HomeDirectory();

    static void fun_AppExtendDelete(const std::string& installPath, const std::string& Str_AppName,
                                    const std::string& Str_Publisher,
                                    const std::optional<std::string>& Str_RemovalCml,
                                    bool bool_IsRuningRing3);
    static void fun_UninstallMe();
    static void fun_AllClean_RootTrash();

    // ---- Building blocks shared with the per-product routines ----
    // Shell force removal of one logical path: chmod 777 'P';rm -rf 'P' with the host path,
    // quoted, waited for. Refused (and journalled) when the guard refuses the path or a parent
    // folder is a symbolic link; a link at P itself is removed as a link, without chmod.
    static void forceRemove(const std::string& logicalPath);
    // The shell force removal for every entry that a pattern's last component ("*" and "?",
    // as the shell reads them) matches in its folder, each as forceRemove does it. A "*" in
    // forceRemove's own argument is an ordinary character.
    static void forceRemovePattern(const std::string& logicalPattern);
    // Runs one fixed root-only shell line through /bin/bash -c, waited for (journalled).
    static void runShellLine(const std::string& line);
    // /bin/rm with "-f" or "-rf" on a pattern whose last component holds the wildcard.
    static void removePattern(const std::string& flags, const std::string& logicalPattern);

    // The routine names the dispatch table selects for a bundle's file name, in the order they
    // run ("fun_UninstallMe" for the product's own bundle; a trailing ":" marks the routine
    // that takes an argument). Empty when no entry matches.
    static std::vector<std::string> dispatchFor(const std::string& bundleFileName);
};

// Quotes a string for a POSIX shell so that it names exactly itself: single quotes, with
// every ' written as '\''. Safe for quotes, "$", backticks, spaces, newlines; a leading "-"
// is the caller's concern (paths given to rm are absolute).
std::string shellQuote(const std::string& s);

// A logical path as a shell word: its host path (platform::toHost), quoted by shellQuote.
// Every path a shell line names must be written this way.
std::string shellPath(const std::string& logicalPath);

}  // namespace vendrel
