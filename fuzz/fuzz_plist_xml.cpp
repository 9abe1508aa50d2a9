// Arbitrary bytes as an XML property list.
#include <cstddef>
#include <cstdint>

#include "fuzz/plist_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vendrel::fuzz::checkRoundTrip({reinterpret_cast<const char*>(data), size});
    return 0;
}
