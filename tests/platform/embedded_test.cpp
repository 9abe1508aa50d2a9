// Reading the property lists embedded in the daemon's executable, and surviving hostile files.
#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/embedded.h"
#include "platform/plist.h"
#include "tests/support/volume.h"

namespace vendrel::platform {
namespace {

std::string daemonImage() {
    std::ifstream in(test::builtProgram("com.Vendrel.Ostrand.DaemonServer"), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(EmbeddedSections, TheDaemonCarriesItsTwoPropertyLists) {
    test::TempVolume vol;
    vol.write("/daemon", daemonImage());
    auto info = embeddedSection("/daemon", "__info_plist");
    auto job = embeddedSection("/daemon", "__launchd_plist");
    ASSERT_TRUE(info && job);
    const plist::Dictionary expectedInfo{
        {"CFBundleInfoDictionaryVersion", "6.0"},
        {"CFBundleVersion", "1"},
        {"CFBundleName", "com.Vendrel.Ostrand.DaemonServer"},
        {"CFBundleIdentifier", "com.Vendrel.Ostrand.DaemonServer"},
        {"SMAuthorizedClients", plist::Array{"identifier com.Vendrel.Ostrand"}},
    };
    const plist::Dictionary expectedJob{
        {"DaemonServer Version", "1.189"},
        {"Label", "com.Vendrel.Ostrand.DaemonServer"},
        {"MachServices", plist::Dictionary{{"com.Vendrel.Ostrand.DaemonServer", true}}},
        {"KeepAlive", plist::Dictionary{{"SuccessfulExit", false}}},
    };
    EXPECT_EQ(plist::parse(*info), plist::Value(expectedInfo));
    EXPECT_EQ(plist::parse(*job), plist::Value(expectedJob));
    EXPECT_EQ(embeddedSection("/daemon", "__no_such_section"), std::nullopt);
    EXPECT_EQ(embeddedSection("/missing", "__info_plist"), std::nullopt);
}

// Each row damages one field of a real image; the reader must answer "no section" without
// reading outside the image (the sanitizers watch).
TEST(EmbeddedSections, DamagedImagesHaveNoSections) {
    const std::string good = daemonImage();
    ASSERT_TRUE(sectionFromImage(good, "__launchd_plist"));
    Elf64_Ehdr eh;
    std::memcpy(&eh, good.data(), sizeof eh);
    // Offset of the __launchd_plist section header, found by name.
    auto headerOf = [&](const std::string& image, std::string_view name) -> size_t {
        Elf64_Shdr names;
        std::memcpy(&names, image.data() + eh.e_shoff + eh.e_shstrndx * sizeof(Elf64_Shdr),
                    sizeof names);
        for (size_t i = 0; i < eh.e_shnum; ++i) {
            size_t at = eh.e_shoff + i * sizeof(Elf64_Shdr);
            Elf64_Shdr sh;
            std::memcpy(&sh, image.data() + at, sizeof sh);
            if (name == image.c_str() + names.sh_offset + sh.sh_name)
                return at;
        }
        return 0;
    };
    const size_t job = headerOf(good, "__launchd_plist");
    ASSERT_NE(job, 0u);
    const size_t names = eh.e_shoff + eh.e_shstrndx * sizeof(Elf64_Shdr);

    struct Case {
        const char* name;
        std::function<void(std::string&)> damage;
    };
    auto put = [](std::string& img, size_t at, auto value) {
        std::memcpy(img.data() + at, &value, sizeof value);
    };
    const Case cases[] = {
        {"empty", [](std::string& i) { i.clear(); }},
        {"only the magic", [](std::string& i) { i.resize(4); }},
        {"cut before the section headers", [&](std::string& i) { i.resize(eh.e_shoff + 10); }},
        {"not ELF", [](std::string& i) { i[1] = 'X'; }},
        {"32-bit class", [](std::string& i) { i[EI_CLASS] = ELFCLASS32; }},
        {"section headers past the end",
         [&](std::string& i) { put(i, offsetof(Elf64_Ehdr, e_shoff), uint64_t{1} << 62); }},
        {"header offset that wraps around",
         [&](std::string& i) { put(i, offsetof(Elf64_Ehdr, e_shoff), ~uint64_t{0} - 8); }},
        {"string table index out of range",
         [&](std::string& i) { put(i, offsetof(Elf64_Ehdr, e_shstrndx), uint16_t{0xfffe}); }},
        {"huge section count through extended numbering",
         [&](std::string& i) {
             put(i, offsetof(Elf64_Ehdr, e_shnum), uint16_t{0});
             put(i, eh.e_shoff + offsetof(Elf64_Shdr, sh_size), ~uint64_t{0});
         }},
        {"names table past the end",
         [&](std::string& i) {
             put(i, names + offsetof(Elf64_Shdr, sh_offset), ~uint64_t{0} - 1);
         }},
        {"section data past the end",
         [&](std::string& i) {
             put(i, job + offsetof(Elf64_Shdr, sh_offset), uint64_t{i.size()});
         }},
        {"section size that wraps around",
         [&](std::string& i) { put(i, job + offsetof(Elf64_Shdr, sh_size), ~uint64_t{0}); }},
        {"section larger than the cap",
         [&](std::string& i) {
             i.resize(i.size() + kMaxSectionBytes + 1);
             put(i, job + offsetof(Elf64_Shdr, sh_size), uint64_t{kMaxSectionBytes + 1});
         }},
        {"section without contents",
         [&](std::string& i) {
             put(i, job + offsetof(Elf64_Shdr, sh_type), uint32_t{SHT_NOBITS});
         }},
        {"name offset past the names table",
         [&](std::string& i) {
             put(i, job + offsetof(Elf64_Shdr, sh_name), uint32_t{0xffffffff});
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string image = good;
        c.damage(image);
        EXPECT_EQ(sectionFromImage(image, "__launchd_plist"), std::nullopt);
    }
}

}  // namespace
}  // namespace vendrel::platform
