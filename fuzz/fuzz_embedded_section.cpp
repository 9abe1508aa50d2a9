// Arbitrary bytes as an executable image: the section reader must find a section or answer
// "none" without reading outside the image. The ELF magic and 64-bit little-endian class are
// supplied when missing, so that mutations reach the header tables.
#include <elf.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/embedded.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string image(reinterpret_cast<const char*>(data), size);
    if (image.size() >= EI_NIDENT && image.compare(0, SELFMAG, ELFMAG) != 0) {
        image.replace(0, SELFMAG, ELFMAG);
        image[EI_CLASS] = ELFCLASS64;
        image[EI_DATA] = ELFDATA2LSB;
    }
    for (const char* name : {"__info_plist", "__launchd_plist", ""}) {
        auto section = vendrel::platform::sectionFromImage(image, name);
        if (section && section->size() > image.size())
            std::abort();
    }
    return 0;
}
