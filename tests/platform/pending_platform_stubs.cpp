// Temporary stand-ins for platform functions whose implementations have not landed on this
// branch yet. Weak, so the real definitions win as soon as they are linked; this file goes
// away when they are merged.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>

#include "platform/fs.h"
#include "platform/paths.h"

namespace vendrel::platform {

__attribute__((weak)) std::string volumeRoot() {
    const char* root = ::getenv("VENDREL_ROOT");
    std::string r = root && *root ? root : "/";
    while (r.size() > 1 && r.back() == '/') r.pop_back();
    return r;
}

__attribute__((weak)) std::string toHost(std::string_view logical) {
    if (logical.empty() || logical[0] != '/') return {};
    const std::string root = volumeRoot();
    return root == "/" ? std::string(logical) : root + std::string(logical);
}

__attribute__((weak)) std::optional<std::string> toLogical(std::string_view host) {
    const std::string root = volumeRoot();
    if (root == "/") return std::string(host);
    if (host.substr(0, root.size()) != root) return std::nullopt;
    std::string rest(host.substr(root.size()));
    if (rest.empty()) return "/";
    if (rest[0] != '/') return std::nullopt;
    return rest;
}

namespace fs {
__attribute__((weak)) bool writeFileAtomically(std::string_view logical, std::string_view bytes) {
    const std::string host = toHost(logical);
    std::string tmp = host + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) return false;
    bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(tmp.c_str(), host.c_str()) == 0;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}
}  // namespace fs

}  // namespace vendrel::platform
