// The fixture of real applications (tests/data/real_apps.json) as a volume: each
// application's bundle with its Info.plist, the folders and files it leaves in the library
// locations, its launchd jobs (real property lists naming their program), and the traps that
// must survive every removal (user documents named after an application, near-identical
// identifiers, other vendors' jobs, folders a vendor's products share, targets of links).
//
// Header-only and free of GoogleTest, so that bench/leftovers_bench.cpp builds the same
// volume. Paths in the JSON are logical; "~" is the volume's home folder.
#pragma once

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace vendrel::fixture {

struct RealApp {
    std::string name;                // the display name (CFBundleName unless bundleName says)
    std::string bundleName;          // CFBundleName
    std::string bundle;              // logical install path
    std::string identifier;          // CFBundleIdentifier
    std::vector<std::string> items;  // logical paths of everything it leaves, jobs included
};

struct RealApps {
    std::vector<RealApp> apps;
    std::vector<std::string> keep;  // logical paths that no removal may touch
};

namespace detail {

inline std::string expandHome(const std::string& path, const std::string& home) {
    if (path.rfind("~/", 0) == 0)
        return home + path.substr(1);
    return path;
}

inline std::string stripSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

inline std::string xmlEscape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

inline std::string plistXml(const std::vector<std::pair<std::string, std::string>>& keys) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n<dict>\n";
    for (const auto& [k, v] : keys)
        xml += "\t<key>" + xmlEscape(k) + "</key>\n\t<string>" + xmlEscape(v) + "</string>\n";
    return xml + "</dict>\n</plist>\n";
}

// What a volume holds, before it is written: files with their content, folders, links.
struct Layout {
    std::vector<std::pair<std::string, std::string>> files;  // logical path, content
    std::vector<std::string> folders;
    std::vector<std::pair<std::string, std::string>> links;  // logical link, logical target
};

inline void addItem(Layout& layout, const std::string& path, const std::string& what) {
    if (path.back() == '/') {
        layout.folders.push_back(stripSlash(path));
        layout.files.push_back({stripSlash(path) + "/data", what});
    } else {
        layout.files.push_back({path, what});
    }
}

}  // namespace detail

inline RealApps loadRealApps(const std::string& jsonPath, const std::string& home,
                             detail::Layout* layout = nullptr) {
    std::ifstream in(jsonPath);
    if (!in)
        throw std::runtime_error("cannot read " + jsonPath);
    const auto json = nlohmann::json::parse(in);
    RealApps out;
    detail::Layout local;
    detail::Layout& l = layout ? *layout : local;
    using detail::expandHome;
    for (const auto& a : json.at("apps")) {
        RealApp app;
        app.name = a.at("name");
        app.bundleName = a.value("bundleName", app.name);
        app.bundle = a.at("bundle");
        app.identifier = a.at("id");
        const std::string exe = app.bundleName;
        l.files.push_back({app.bundle + "/Contents/Info.plist",
                           detail::plistXml({{"CFBundleName", app.bundleName},
                                             {"CFBundleIdentifier", app.identifier},
                                             {"CFBundleExecutable", exe},
                                             {"CFBundleShortVersionString", "1.0"}})});
        l.files.push_back({app.bundle + "/Contents/MacOS/" + exe, "#!/bin/sh\n"});
        for (const auto& item : a.at("leftovers")) {
            const std::string path = expandHome(item.get<std::string>(), home);
            detail::addItem(l, path, app.name);
            app.items.push_back(detail::stripSlash(path));
        }
        for (const auto& job : a.at("jobs")) {
            const std::string path = expandHome(job.at("path"), home);
            l.files.push_back(
                {path, detail::plistXml({{"Label", app.identifier + ".job"},
                                         {"Program", expandHome(job.at("program"), home)}})});
            app.items.push_back(path);
        }
        for (const auto& link : a.at("links")) {
            const std::string path = expandHome(link.at("path"), home);
            const std::string target = expandHome(link.at("target"), home);
            l.links.push_back({path, target});
            app.items.push_back(path);
            l.folders.push_back(target);
            l.files.push_back({target + "/kept", "user data behind a link"});
            out.keep.push_back(target + "/kept");
        }
        out.apps.push_back(std::move(app));
    }
    for (const auto& k : json.at("keep")) {
        const std::string path = expandHome(k.get<std::string>(), home);
        detail::addItem(l, path, "trap");
        out.keep.push_back(detail::stripSlash(path));
    }
    for (const auto& job : json.at("keepJobs")) {
        const std::string path = expandHome(job.at("path"), home);
        l.files.push_back(
            {path, detail::plistXml(
                       {{"Label", "trap.job"}, {"Program", expandHome(job.at("program"), home)}})});
        out.keep.push_back(path);
    }
    return out;
}

// Writes the volume below `hostRoot` (the folder VENDREL_ROOT names).
inline RealApps buildRealAppsVolume(const std::string& jsonPath, const std::string& hostRoot,
                                    const std::string& home) {
    namespace stdfs = std::filesystem;
    detail::Layout layout;
    RealApps apps = loadRealApps(jsonPath, home, &layout);
    for (const auto& folder : layout.folders)
        stdfs::create_directories(hostRoot + folder);
    for (const auto& [path, content] : layout.files) {
        stdfs::create_directories(stdfs::path(hostRoot + path).parent_path());
        std::ofstream(hostRoot + path, std::ios::binary) << content;
    }
    for (const auto& [link, target] : layout.links) {
        stdfs::create_directories(stdfs::path(hostRoot + link).parent_path());
        stdfs::create_symlink(hostRoot + target, hostRoot + link);
    }
    stdfs::create_directories(hostRoot + home + "/.Trash");
    stdfs::create_directories(hostRoot + "/private/var/root/.Trash");
    return apps;
}

// The location an item is counted in: the folder below "Library" (or the system folder) it
// lies in, "~" for the home folder: "~/Library/Caches", "/Library/LaunchDaemons".
inline std::string locationOf(const std::string& path, const std::string& home) {
    std::string p = path;
    std::string prefix;
    if (p.rfind(home + "/", 0) == 0) {
        p = p.substr(home.size());
        prefix = "~";
    }
    // Two components below Library for the nested locations worth telling apart.
    for (const char* nested :
         {"/Library/Preferences/ByHost/", "/Library/Logs/DiagnosticReports/"}) {
        const std::string n = nested;
        if (p.rfind(n, 0) == 0)
            return prefix + n.substr(0, n.size() - 1);
    }
    const size_t depth = p.rfind("/private/", 0) == 0 ? 4 : 2;
    size_t pos = 0;
    for (size_t i = 0; i < depth && pos != std::string::npos; ++i)
        pos = p.find('/', pos + 1);
    return prefix + (pos == std::string::npos ? p : p.substr(0, pos));
}

}  // namespace vendrel::fixture
