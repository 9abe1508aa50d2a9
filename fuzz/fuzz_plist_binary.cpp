// Arbitrary bytes as a binary property list: the magic is supplied when missing, so that
// mutations are spent on the structure rather than on rediscovering the header.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/plist_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.substr(0, 8) == "bplist00") {
        vendrel::fuzz::checkRoundTrip(bytes);
    } else {
        vendrel::fuzz::checkRoundTrip("bplist00" + std::string(bytes));
    }
    return 0;
}
