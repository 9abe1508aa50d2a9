#include <fcntl.h>
#include <syslog.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/syslog.h"

namespace vendrel::platform {

void logNotice(std::string_view text) {
    // Texts come from other programs' files and from requests: a line feed in a name would
    // start a forged line of its own. Control characters are written as \xNN.
    static constexpr char kHex[] = "0123456789abcdef";
    std::string line;
    line.reserve(text.size());
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) {
            line += "\\x";
            line += kHex[u >> 4];
            line += kHex[u & 15];
        } else {
            line += c;
        }
    }
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
