#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/paths.h"
#include "platform/plist.h"
#include "platform/posix_util_linux.h"
#include "platform/system.h"

namespace vendrel::platform {

double appKitVersionNumber() {
    // NSAppKitVersionNumber of each release's first version, newest last.
    struct Row {
        int major, minor;
        double appKit;
    };
    static constexpr Row kTable[] = {
        {10, 7, 1138},  {10, 8, 1187},  {10, 9, 1265},  {10, 10, 1343}, {10, 11, 1404},
        {10, 12, 1504}, {10, 13, 1561}, {10, 14, 1671}, {10, 15, 1894}, {11, 0, 2022},
        {12, 0, 2113},  {13, 0, 2299},  {14, 0, 2487},
    };
    constexpr double kNewest = 2487;
    auto info = plist::readDictionary("/System/Library/CoreServices/SystemVersion.plist");
    if (!info)
        return kNewest;
    const std::string* v = plist::stringForKey(*info, "ProductVersion");
    if (!v)
        return kNewest;
    char* end = nullptr;
    long major = std::strtol(v->c_str(), &end, 10);
    long minor = (end && *end == '.') ? std::strtol(end + 1, nullptr, 10) : 0;
    if (major <= 0)
        return kNewest;
    if (major > 10)
        minor = 0;
    double found = kTable[0].appKit;
    for (const Row& r : kTable) {
        if (major > r.major || (major == r.major && minor >= r.minor))
            found = r.appKit;
    }
    return found;
}

bool isAliasFile(std::string_view logicalPath) {
    std::string h = toHost(logicalPath);
    if (h.empty())
        return false;
    posix::Fd fd(::open(h.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid())
        return false;
    char head[16];
    ssize_t n = ::read(fd.get(), head, sizeof head);
    return n >= 12 && std::memcmp(head, "book\0\0\0\0mark", 12) == 0;
}

bool standardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

bool runsAsRoot() {
    return ::geteuid() == 0;
}

namespace {
void (*g_onStop)() = nullptr;
void stopSignal(int) {
    if (g_onStop)
        g_onStop();
}
}  // namespace

void installStopHandler(void (*onStop)()) {
    g_onStop = onStop;
    struct sigaction sa {};
    sa.sa_handler = stopSignal;
    sa.sa_flags = SA_RESTART;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
}

std::optional<std::string> volumeRootProblem() {
    const char* root = std::getenv("VENDREL_ROOT");
    if (!root || !*root)
        return std::nullopt;
    struct stat st {};
    if (::stat(root, &st) != 0 || !S_ISDIR(st.st_mode))
        return "VENDREL_ROOT \"" + std::string(root) + "\" is not a folder";
    if (::access(root, R_OK | X_OK) != 0)
        return "VENDREL_ROOT \"" + std::string(root) + "\" cannot be read";
    return std::nullopt;
}

}  // namespace vendrel::platform
