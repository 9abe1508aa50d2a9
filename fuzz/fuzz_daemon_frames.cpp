// Arbitrary bytes from a client, as the daemon reads them: frames through a real local socket,
// each payload through the closed message parser. Nothing may crash, hang or allocate beyond
// the frame cap.
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/daemon_messages.h"
#include "platform/xpc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        return 0;
    // Inputs beyond the socket buffer would block the writer; the cap is what matters.
    if (size > 32 * 1024)
        size = 32 * 1024;
    if (size > 0 && ::write(pair[1], data, size) != static_cast<ssize_t>(size))
        std::abort();
    ::close(pair[1]);
    vendrel::platform::xpc::Connection reader(pair[0]);
    while (auto payload = reader.receive(1.0)) {
        if (payload->size() > vendrel::platform::xpc::kMaxFramePayload)
            std::abort();
        (void)vendrel::daemon_messages::parseMessage(*payload);
    }
    return 0;
}
