// Time: the system's fixed waits and local-time dates.
#pragma once

#include <chrono>
#include <string>

namespace vendrel::platform {

// Sleeps seconds * VENDREL_TIME_SCALE (default 1). Every fixed wait of the system goes here.
void sleepSeconds(double seconds);
double timeScale();

// "yyyy-MM-dd HH:mm:ss" in the local time zone, 24-hour clock, zero-padded.
std::string formatLocalDateTime(std::chrono::system_clock::time_point t);

}  // namespace vendrel::platform
