// killall for the volume: ends every process whose executable has the given file name and
// lies on the volume (VENDREL_ROOT), and no other. On a volume root other than "/" this keeps
// one volume's programs from ending another's, or the host's. The processes end at once
// (SIGKILL), as a program without a handler of its own ends on killall's signal; an
// executable that was deleted while running still counts by its name.
#pragma once

#include <string_view>

namespace vendrel::platform {

// Returns how many processes were signalled.
int killAllNamed(std::string_view executableName);

}  // namespace vendrel::platform
