// vendrel-launchctl: "launchctl" for the launchd stand-in of the volume in VENDREL_ROOT.
//
//   vendrel-launchctl load <plist> | unload <plist or label> | list
#include <cstring>
#include <iostream>

#include "platform/launchd.h"

int main(int argc, char** argv) {
    namespace launchd = vendrel::platform::launchd;
    launchd::Reply reply;
    if (argc == 3 && std::strcmp(argv[1], "load") == 0) {
        reply = launchd::load(argv[2]);
    } else if (argc == 3 && std::strcmp(argv[1], "unload") == 0) {
        reply = launchd::unload(argv[2]);
    } else if (argc == 2 && std::strcmp(argv[1], "list") == 0) {
        reply = launchd::list();
    } else {
        std::cerr << "usage: vendrel-launchctl load <plist> | unload <plist or label> | list\n";
        return 2;
    }
    if (!reply.ok) {
        std::cerr << "vendrel-launchctl: " << reply.text << "\n";
        return 1;
    }
    std::cout << reply.text;
    return 0;
}
