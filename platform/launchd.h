// Control of the launchd stand-in (tools/launchd): what "/bin/launchctl" does on macOS.
//
// The stand-in serves a control socket on the volume at kControlSocket. load and unload name
// a job by the path of its launchd property list; the stand-in remembers that path for every
// job it loaded, so "unload P" works even after P was deleted (the daemon deletes its own
// property list before it unloads itself). Programs call these operations directly instead
// of starting a launchctl program; tools/launchd also builds vendrel-launchctl, a thin
// command-line wrapper over them for people and scripts.
#pragma once

#include <string>
#include <string_view>

namespace vendrel::platform::launchd {

inline constexpr std::string_view kControlSocket = "/private/var/run/vendrel-launchd/control.sock";

struct Reply {
    bool reached = false;  // the stand-in answered
    bool ok = false;
    std::string text;  // "ok", or why not; for list, one line per job
};

// Loads the job of a property list (replacing a loaded job with the same label) and starts it.
Reply load(std::string_view logicalPlistPath);
// Unloads a job by the property-list path it was loaded from, or by its label: the stand-in
// stops starting it and asks a running instance to end (SIGTERM).
Reply unload(std::string_view logicalPlistPathOrLabel);
// "label<TAB>pid or -<TAB>last exit status or -" per loaded job.
Reply list();

}  // namespace vendrel::platform::launchd
