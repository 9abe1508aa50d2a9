#include "tests/support/volume.h"

#include <plist/plist.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vendrel::test {
namespace stdfs = std::filesystem;

namespace {
std::optional<std::string> getEnv(const char* name) {
    const char* v = ::getenv(name);
    return v ? std::optional<std::string>(v) : std::nullopt;
}
void restoreEnv(const char* name, const std::optional<std::string>& v) {
    if (v)
        ::setenv(name, v->c_str(), 1);
    else
        ::unsetenv(name);
}

// Written with get_if rather than std::visit: GCC 12 with the sanitizers reports the
// visited alternatives as maybe-uninitialized.
plist_t toPlist(const platform::plist::Value& value) {
    using namespace platform::plist;
    if (auto* s = std::get_if<std::string>(&value.v))
        return plist_new_string(s->c_str());
    if (auto* i = std::get_if<int64_t>(&value.v))
        return plist_new_uint(static_cast<uint64_t>(*i));
    if (auto* r = std::get_if<double>(&value.v))
        return plist_new_real(*r);
    if (auto* b = std::get_if<bool>(&value.v))
        return plist_new_bool(*b ? 1 : 0);
    if (auto* d = std::get_if<Data>(&value.v))
        return plist_new_data(d->bytes.data(), d->bytes.size());
    if (std::get_if<Date>(&value.v))
        return plist_new_date(0, 0);
    if (auto* a = std::get_if<Array>(&value.v)) {
        plist_t out = plist_new_array();
        for (const auto& e : *a)
            plist_array_append_item(out, toPlist(e));
        return out;
    }
    plist_t out = plist_new_dict();
    if (auto* d = std::get_if<Dictionary>(&value.v))
        for (const auto& [k, e] : *d)
            plist_dict_set_item(out, k.c_str(), toPlist(e));
    return out;
}
}  // namespace

TempVolume::TempVolume(std::string home) : home_(std::move(home)) {
    std::string tmpl = (stdfs::temp_directory_path() / "vendrel-vol-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    root_ = tmpl;
    savedRoot_ = getEnv("VENDREL_ROOT");
    savedHome_ = getEnv("VENDREL_HOME");
    ::setenv("VENDREL_ROOT", root_.c_str(), 1);
    ::setenv("VENDREL_HOME", home_.c_str(), 1);
    mkdir(home_);
}

TempVolume::~TempVolume() {
    restoreEnv("VENDREL_ROOT", savedRoot_);
    restoreEnv("VENDREL_HOME", savedHome_);
    std::error_code ec;
    // Tests may leave read-only folders behind; make them writable before removing.
    for (auto it = stdfs::recursive_directory_iterator(root_, ec);
         !ec && it != stdfs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            stdfs::permissions(it->path(), stdfs::perms::owner_all, stdfs::perm_options::add, ec);
    }
    stdfs::remove_all(root_, ec);
}

std::string TempVolume::host(std::string_view logical) const {
    return root_ + std::string(logical);
}

void TempVolume::mkdir(std::string_view logical) const {
    stdfs::create_directories(host(logical));
}

void TempVolume::write(std::string_view logical, std::string_view content) const {
    stdfs::path p = host(logical);
    stdfs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string TempVolume::read(std::string_view logical) const {
    std::ifstream in(host(logical), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void TempVolume::symlink(std::string_view target, std::string_view logicalLink) const {
    stdfs::path p = host(logicalLink);
    stdfs::create_directories(p.parent_path());
    stdfs::create_symlink(std::string(target), p);
}

bool TempVolume::exists(std::string_view logical) const {
    std::error_code ec;
    return stdfs::exists(stdfs::symlink_status(host(logical), ec));
}

void TempVolume::makeBundle(std::string_view logical, const platform::plist::Dictionary& info,
                            bool binary) const {
    std::string plistPath = std::string(logical) + "/Contents/Info.plist";
    if (binary) {
        write(plistPath, binaryPlist(info));
    } else {
        write(plistPath, platform::plist::toXml(platform::plist::Value(info)));
    }
}

namespace {

// libplist's binary writer on a tree it owns; the tree is freed. Empty for no tree.
std::string toBinaryAndFree(plist_t root) {
    if (root == nullptr)
        return {};
    char* bin = nullptr;
    uint32_t len = 0;
    plist_to_bin(root, &bin, &len);
    plist_free(root);
    std::string out(bin != nullptr ? bin : "", len);
    free(bin);
    return out;
}

}  // namespace

std::string binaryPlist(const platform::plist::Dictionary& info) {
    return toBinaryAndFree(toPlist(platform::plist::Value(info)));
}

std::string binaryPlistFromXml(std::string_view xml) {
    plist_t root = nullptr;
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &root);
    return toBinaryAndFree(root);
}

std::string builtProgram(std::string_view name) {
    for (const char* sub : {"", "/daemon", "/tools/server", "/tools/launchd", "/tools/demo"}) {
        std::string p = std::string(VENDREL_BUILD_DIR) + sub + "/" + std::string(name);
        if (::access(p.c_str(), X_OK) == 0)
            return p;
    }
    return std::string(VENDREL_BUILD_DIR) + "/" + std::string(name);
}

}  // namespace vendrel::test
