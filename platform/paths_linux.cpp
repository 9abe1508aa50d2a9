#include <limits.h>
#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "platform/paths.h"

namespace vendrel::platform {
namespace {

std::string envOr(const char* name, std::string fallback) {
    const char* v = ::getenv(name);
    return (v && *v) ? std::string(v) : fallback;
}

std::string stripTrailingSlashes(std::string s) {
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

// The root as the kernel spells it (/proc/<pid>/exe gives resolved paths).
std::string canonicalRoot(const std::string& root) {
    char buf[PATH_MAX];
    if (::realpath(root.c_str(), buf))
        return buf;
    return root;
}

std::optional<std::string> stripRoot(std::string_view host, const std::string& root) {
    if (root == "/")
        return std::string(host);
    if (host == root)
        return std::string("/");
    if (host.size() > root.size() && host.compare(0, root.size(), root) == 0 &&
        host[root.size()] == '/')
        return std::string(host.substr(root.size()));
    return std::nullopt;
}

}  // namespace

std::string volumeRoot() {
    std::string root = envOr("VENDREL_ROOT", "/");
    if (root.front() != '/') {
        // A relative root is taken from the working folder once, here, so that every host
        // path is absolute and matches what /proc reports.
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd))
            root = std::string(cwd) + "/" + root;
    }
    return stripTrailingSlashes(root);
}

std::string toHost(std::string_view logical) {
    if (logical.empty() || logical.front() != '/')
        return {};
    std::string root = volumeRoot();
    if (root == "/")
        return std::string(logical);
    return root + std::string(logical);
}

std::optional<std::string> toLogical(std::string_view host) {
    std::string root = volumeRoot();
    if (auto l = stripRoot(host, root))
        return l;
    return stripRoot(host, canonicalRoot(root));
}

std::string homeDirectory() {
    std::string home = envOr("VENDREL_HOME", "");
    if (!home.empty())
        return stripTrailingSlashes(home);
    if (volumeRoot() != "/") {
        if (::geteuid() == 0)
            return "/private/var/root";
    }
    std::string h = envOr("HOME", "");
    if (h.empty()) {
        if (const passwd* pw = ::getpwuid(::geteuid()))
            h = pw->pw_dir;
    }
    return h.empty() ? std::string("/") : stripTrailingSlashes(h);
}

std::string desktopDirectory() {
    return appendPathComponent(homeDirectory(), "Desktop");
}

std::string runningBundlePath() {
    std::string override = envOr("VENDREL_APP_BUNDLE", "");
    if (!override.empty())
        return stripTrailingSlashes(override);
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) {
        buf[n] = '\0';
        if (auto logical = toLogical(buf)) {
            static constexpr std::string_view kMarker = ".app/Contents/MacOS/";
            size_t pos = logical->rfind(kMarker);
            if (pos != std::string::npos)
                return logical->substr(0, pos + 4);
        }
    }
    return "/Applications/Vendrel.app";
}

}  // namespace vendrel::platform
