#include "platform/launchd.h"

#include <memory>

#include "platform/xpc.h"

namespace vendrel::platform::launchd {
namespace {

// Each request is one frame "verb\nargument"; the answer one frame "ok\n..." or "error\n...".
Reply request(std::string_view verb, std::string_view argument) {
    Reply reply;
    int fd = xpc::connectTo(kControlSocket);
    if (fd < 0) {
        reply.text = "the launchd stand-in is not running on this volume";
        return reply;
    }
    xpc::Connection c(fd);
    std::string frame = std::string(verb) + "\n" + std::string(argument);
    if (!c.send(frame)) {
        reply.text = "the launchd stand-in closed the connection";
        return reply;
    }
    auto answer = c.receive(30.0);
    if (!answer) {
        reply.text = "the launchd stand-in did not answer";
        return reply;
    }
    reply.reached = true;
    size_t nl = answer->find('\n');
    std::string status = answer->substr(0, nl);
    reply.ok = status == "ok";
    reply.text = nl == std::string::npos ? std::string() : answer->substr(nl + 1);
    return reply;
}

}  // namespace

Reply load(std::string_view logicalPlistPath) {
    return request("load", logicalPlistPath);
}

Reply unload(std::string_view logicalPlistPathOrLabel) {
    return request("unload", logicalPlistPathOrLabel);
}

Reply list() {
    return request("list", "");
}

}  // namespace vendrel::platform::launchd
