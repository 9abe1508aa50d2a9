#include "platform/clock.h"

#include <time.h>

#include <cstdlib>
#include <thread>

namespace vendrel::platform {

double timeScale() {
    const char* v = std::getenv("VENDREL_TIME_SCALE");
    if (!v || !*v)
        return 1.0;
    char* end = nullptr;
    double d = std::strtod(v, &end);
    return (end != v && d >= 0.0 && d <= 100.0) ? d : 1.0;
}

void sleepSeconds(double seconds) {
    double s = seconds * timeScale();
    if (s > 0)
        std::this_thread::sleep_for(std::chrono::duration<double>(s));
}

std::string formatLocalDateTime(std::chrono::system_clock::time_point t) {
    time_t secs = std::chrono::system_clock::to_time_t(t);
    struct tm tm {};
    ::localtime_r(&secs, &tm);
    char buf[32];
    size_t n = ::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return std::string(buf, n);
}

}  // namespace vendrel::platform
