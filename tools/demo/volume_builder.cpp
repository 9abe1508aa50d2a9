#include "tools/demo/volume_builder.h"

#include <plist/plist.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>

#include "platform/paths.h"
#include "tools/demo/icns.h"

namespace vendrel::demo {
namespace stdfs = std::filesystem;
using nlohmann::json;

namespace {

[[noreturn]] void fail(const std::string& message) {
    throw ContentError(message);
}

// A content path made logical: "~" becomes the demo home. Content files may only name
// absolute paths without "." or ".." components, so nothing lands outside the volume.
std::string logicalPath(const std::string& path) {
    std::string p = path;
    if (p == "~" || p.rfind("~/", 0) == 0)
        p = VolumeBuilder::kHome + p.substr(1);
    if (p.empty() || p[0] != '/')
        fail("\"" + path + "\" is not an absolute path or ~/...");
    for (const auto& part : platform::pathComponents(p)) {
        if (part == "." || part == "..")
            fail("\"" + path + "\" holds a \".\" or \"..\" part");
    }
    if (p.find("//") != std::string::npos)
        fail("\"" + path + "\" holds an empty part");
    return p;
}

// A path inside a bundle, relative to the bundle's folder.
std::string bundleRelative(const std::string& bundle, const std::string& relative) {
    if (relative.empty() || relative[0] == '/')
        fail("\"" + relative + "\" must be relative");
    return logicalPath(bundle + "/" + relative);
}

stdfs::path host(const std::string& logical) {
    return platform::toHost(logical);
}

void makeParents(const std::string& logical) {
    stdfs::create_directories(host(logical).parent_path());
}

void writeBytes(const std::string& logical, std::string_view bytes) {
    makeParents(logical);
    std::ofstream out(host(logical), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        fail("cannot write " + logical);
}

// A file of the given logical size. Left sparse: sizes are what the system measures, and a
// demo of a 2 GB application should not cost 2 GB of disk.
void writeSized(const std::string& logical, uint64_t size) {
    writeBytes(logical, {});
    stdfs::resize_file(host(logical), size);
}

plist_t toPlist(const json& value) {
    switch (value.type()) {
        case json::value_t::string:
            return plist_new_string(value.get_ref<const std::string&>().c_str());
        case json::value_t::boolean:
            return plist_new_bool(value.get<bool>() ? 1 : 0);
        case json::value_t::number_unsigned:
            return plist_new_uint(value.get<uint64_t>());
        case json::value_t::number_integer: {
            auto v = value.get<int64_t>();
            if (v < 0)
                fail("negative integers are not supported in property lists");
            return plist_new_uint(static_cast<uint64_t>(v));
        }
        case json::value_t::number_float:
            return plist_new_real(value.get<double>());
        case json::value_t::array: {
            plist_t array = plist_new_array();
            for (const auto& item : value)
                plist_array_append_item(array, toPlist(item));
            return array;
        }
        case json::value_t::object: {
            plist_t dict = plist_new_dict();
            for (const auto& [key, item] : value.items())
                plist_dict_set_item(dict, key.c_str(), toPlist(item));
            return dict;
        }
        default:
            fail("property lists cannot hold " + std::string(value.type_name()));
    }
}

std::string plistBytes(const json& value, bool binary) {
    plist_t root = toPlist(value);
    char* bytes = nullptr;
    uint32_t length = 0;
    if (binary)
        plist_to_bin(root, &bytes, &length);
    else
        plist_to_xml(root, &bytes, &length);
    plist_free(root);
    if (!bytes)
        fail("cannot encode property list");
    std::string out(bytes, length);
    std::free(bytes);
    return out;
}

// The start of a 64-bit x86 Mach-O executable, padded: what a file manager or a size
// measure sees of a real one.
std::string machOStub(size_t size) {
    std::string out = std::string("\xcf\xfa\xed\xfe", 4)     // MH_MAGIC_64
                      + std::string("\x07\x00\x00\x01", 4)   // CPU_TYPE_X86_64
                      + std::string("\x03\x00\x00\x00", 4)   // CPU_SUBTYPE_X86_64_ALL
                      + std::string("\x02\x00\x00\x00", 4);  // MH_EXECUTE
    out.resize(size, '\0');
    return out;
}

// Finder alias (bookmark) data: the "book" header, then "mark" after a zero length word.
std::string aliasBytes() {
    std::string out("book\0\0\0\0mark\0\0\0\0", 16);
    out += std::string("\x30\x00\x00\x00", 4);  // header length
    out += std::string("\x00\x00\x04\x10", 4);  // version
    out.resize(512, '\0');
    return out;
}

std::chrono::system_clock::time_point parseLocalTime(const std::string& text) {
    std::tm tm{};
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d%c", &tm.tm_year, &tm.tm_mon, &tm.tm_mday,
                    &tm.tm_hour, &tm.tm_min, &tm.tm_sec, &tail) != 6)
        fail("\"" + text + "\" is not a date of the form yyyy-MM-dd HH:mm:ss");
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

void checkKeys(const json& object, const std::set<std::string>& allowed, const char* what) {
    if (!object.is_object())
        fail(std::string(what) + " must be an object");
    for (const auto& [key, value] : object.items()) {
        (void)value;
        if (!allowed.count(key))
            fail(std::string(what) + ": unknown key \"" + key + "\"");
    }
}

template <typename Add>
void eachEntry(const json& content, const char* key, const std::string& source, Add add) {
    if (!content.contains(key))
        return;
    const json& list = content.at(key);
    if (!list.is_array())
        fail(source + ": \"" + key + "\" must be an array");
    for (size_t i = 0; i < list.size(); ++i) {
        try {
            add(list[i]);
        } catch (const std::exception& e) {
            fail(source + ": " + key + "[" + std::to_string(i) + "]: " + e.what());
        }
    }
}

}  // namespace

void VolumeBuilder::apply(const json& content, const std::string& source) {
    checkKeys(content, {"apps", "files", "dirs", "plists", "symlinks", "aliases"}, source.c_str());
    eachEntry(content, "dirs", source, [](const json& d) {
        stdfs::create_directories(host(logicalPath(d.get<std::string>())));
    });
    eachEntry(content, "apps", source, [this](const json& a) { addApp(a); });
    eachEntry(content, "files", source, [this](const json& f) { addFile(f); });
    eachEntry(content, "plists", source, [this](const json& p) { addPlist(p); });
    eachEntry(content, "symlinks", source, [this](const json& s) { addSymlink(s); });
    eachEntry(content, "aliases", source,
              [this](const json& a) { addAlias(a.get<std::string>()); });
}

void VolumeBuilder::addApp(const json& app) {
    checkKeys(app, {"path", "info", "binary", "noInfo", "icon", "executable", "files", "modified"},
              "app");
    const std::string bundle = logicalPath(app.at("path").get<std::string>());
    const json info = app.value("info", json::object());
    if (!info.is_object())
        fail("\"info\" must be an object");
    stdfs::create_directories(host(bundle + "/Contents"));

    if (!app.value("noInfo", false))
        writeBytes(bundle + "/Contents/Info.plist", plistBytes(info, app.value("binary", false)));

    std::string executable = app.value("executable", std::string());
    if (executable.empty() && info.contains("CFBundleExecutable") &&
        info["CFBundleExecutable"].is_string())
        executable = info["CFBundleExecutable"].get<std::string>();
    if (!executable.empty()) {
        const std::string exe = bundleRelative(bundle, "Contents/MacOS/" + executable);
        writeBytes(exe, machOStub(48 * 1024));
        stdfs::permissions(host(exe), stdfs::perms::owner_all | stdfs::perms::group_read |
                                          stdfs::perms::group_exec | stdfs::perms::others_read |
                                          stdfs::perms::others_exec);
    }
    if (app.contains("icon")) {
        const std::string icon = app.at("icon").get<std::string>();
        writeBytes(bundleRelative(bundle, "Contents/Resources/" + icon), makeIcns(bundle));
    }
    const json files = app.value("files", json::object());
    for (const auto& [relative, size] : files.items())
        writeSized(bundleRelative(bundle, relative), size.get<uint64_t>());
    if (app.contains("modified"))
        bundleDates_.emplace_back(bundle, parseLocalTime(app.at("modified").get<std::string>()));
}

void VolumeBuilder::addFile(const json& file) {
    checkKeys(file, {"path", "size", "content"}, "file");
    const std::string path = logicalPath(file.at("path").get<std::string>());
    if (file.contains("size") == file.contains("content"))
        fail("a file needs exactly one of \"size\" and \"content\"");
    if (file.contains("content"))
        writeBytes(path, file.at("content").get<std::string>());
    else
        writeSized(path, file.at("size").get<uint64_t>());
}

void VolumeBuilder::addPlist(const json& entry) {
    checkKeys(entry, {"path", "value", "binary"}, "plist");
    writeBytes(logicalPath(entry.at("path").get<std::string>()),
               plistBytes(entry.at("value"), entry.value("binary", false)));
}

void VolumeBuilder::addSymlink(const json& entry) {
    checkKeys(entry, {"path", "target"}, "symlink");
    const std::string link = logicalPath(entry.at("path").get<std::string>());
    std::string target = entry.at("target").get<std::string>();
    // An absolute target is written relative to the link's folder, so that it resolves
    // inside the volume wherever the volume's folder lies on the host.
    if (target == "~" || target.rfind("~/", 0) == 0 || target.rfind('/', 0) == 0) {
        const stdfs::path from = stdfs::path(link).parent_path();
        target = stdfs::path(logicalPath(target)).lexically_relative(from).string();
    }
    makeParents(link);
    std::error_code ec;
    stdfs::remove(host(link), ec);
    stdfs::create_symlink(target, host(link));
}

void VolumeBuilder::addAlias(const std::string& path) {
    writeBytes(logicalPath(path), aliasBytes());
}

void VolumeBuilder::finish() {
    for (const auto& [bundle, date] : bundleDates_) {
        std::error_code ec;
        stdfs::last_write_time(host(bundle), stdfs::file_time_type::clock::from_sys(date), ec);
        if (ec)
            fail("cannot set the date of " + bundle + ": " + ec.message());
    }
}

}  // namespace vendrel::demo
