// The system log, priority notice. Texts are passed as data, never as a format.
// VENDREL_LOG_FILE, when set, receives a copy of every line (tests and the demo read it).
#pragma once

#include <string_view>

namespace vendrel::platform {

void logNotice(std::string_view text);

}  // namespace vendrel::platform
