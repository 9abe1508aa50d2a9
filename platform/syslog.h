// The system log, priority notice. Texts are passed as data, never as a format, and one text
// is one line: control characters in it (a line feed in an application name) are written as
// \xNN, so no text can forge a line of its own.
// VENDREL_LOG_FILE, when set, receives a copy of every line (tests and the demo read it).
#pragma once

#include <string_view>

namespace vendrel::platform {

void logNotice(std::string_view text);

}  // namespace vendrel::platform
