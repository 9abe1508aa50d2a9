#include <elf.h>

#include <cstring>

#include "platform/embedded.h"
#include "platform/fs.h"

namespace vendrel::platform {
namespace {

// Copies a T from image[offset, offset + sizeof(T)) when it lies inside the image.
template <typename T>
bool readAt(std::string_view image, uint64_t offset, T& out) {
    if (offset > image.size() || image.size() - offset < sizeof(T))
        return false;
    std::memcpy(&out, image.data() + offset, sizeof(T));
    return true;
}

// True when [offset, offset + size) lies inside the image (no overflow).
bool inside(std::string_view image, uint64_t offset, uint64_t size) {
    return offset <= image.size() && size <= image.size() - offset;
}

}  // namespace

std::optional<std::string> sectionFromImage(std::string_view image, std::string_view name) {
    Elf64_Ehdr eh{};
    if (!readAt(image, 0, eh))
        return std::nullopt;
    if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS64 ||
        eh.e_ident[EI_DATA] != ELFDATA2LSB || eh.e_shentsize != sizeof(Elf64_Shdr))
        return std::nullopt;
    uint64_t count = eh.e_shnum;
    uint64_t strIndex = eh.e_shstrndx;
    // Extended numbering: the real counts live in section 0.
    if (count == 0 || strIndex == SHN_XINDEX) {
        Elf64_Shdr first{};
        if (eh.e_shoff == 0 || !readAt(image, eh.e_shoff, first))
            return std::nullopt;
        if (count == 0)
            count = first.sh_size;
        if (strIndex == SHN_XINDEX)
            strIndex = first.sh_link;
    }
    if (count == 0 || count > 65536 || strIndex >= count ||
        !inside(image, eh.e_shoff, count * sizeof(Elf64_Shdr)))
        return std::nullopt;

    Elf64_Shdr names{};
    readAt(image, eh.e_shoff + strIndex * sizeof(Elf64_Shdr), names);
    if (names.sh_type != SHT_STRTAB || !inside(image, names.sh_offset, names.sh_size))
        return std::nullopt;
    std::string_view table = image.substr(names.sh_offset, names.sh_size);

    for (uint64_t i = 0; i < count; ++i) {
        Elf64_Shdr sh{};
        readAt(image, eh.e_shoff + i * sizeof(Elf64_Shdr), sh);
        if (sh.sh_name >= table.size())
            continue;
        std::string_view rest = table.substr(sh.sh_name);
        size_t end = rest.find('\0');
        if (end == std::string_view::npos || rest.substr(0, end) != name)
            continue;
        if (sh.sh_type == SHT_NOBITS || sh.sh_size > kMaxSectionBytes ||
            !inside(image, sh.sh_offset, sh.sh_size))
            return std::nullopt;
        return std::string(image.substr(sh.sh_offset, sh.sh_size));
    }
    return std::nullopt;
}

std::optional<std::string> embeddedSection(std::string_view logicalPath, std::string_view name) {
    auto image = fs::readFile(logicalPath, kMaxExecutableBytes);
    if (!image)
        return std::nullopt;
    return sectionFromImage(*image, name);
}

}  // namespace vendrel::platform
