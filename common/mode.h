// Who runs a removal: the application as the user, or the daemon as root. Root-only steps
// (force removals, shell lines, patterns) run in Mode::Root alone.
#pragma once

namespace vendrel {

enum class Mode { User, Root };

}  // namespace vendrel
