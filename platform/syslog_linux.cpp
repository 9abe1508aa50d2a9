#include <fcntl.h>
#include <syslog.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/syslog.h"

namespace vendrel::platform {

void logNotice(std::string_view text) {
    std::string line(text);
    ::syslog(LOG_NOTICE, "%s", line.c_str());
    const char* file = std::getenv("VENDREL_LOG_FILE");
    if (!file || !*file)
        return;
    // One write per line with O_APPEND: lines from several threads or processes never
    // interleave.
    line.push_back('\n');
    int fd = ::open(file, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    ssize_t ignored = ::write(fd, line.data(), line.size());
    (void)ignored;
    ::close(fd);
}

}  // namespace vendrel::platform
