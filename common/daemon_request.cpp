#include "common/daemon_request.h"

#include "common/guard.h"
#include "common/removal_location.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/strings.h"

namespace vendrel::daemon_request {
namespace {

// Absolute, and every component between slashes non-empty and not "." or "..".
bool isCleanAbsolute(std::string_view path) {
    if (path.size() < 2 || path.front() != '/' || path.back() == '/')
        return false;
    if (path.find('\0') != std::string_view::npos)
        return false;
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        std::string_view part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

// Whether `path` lies below `folder`, component by component and ignoring case: a volume's
// file system usually ignores case, so "/users/x" is the same place as "/Users/x".
bool isInside(std::string_view path, std::string_view folder) {
    const auto p = platform::pathComponents(path);
    const auto f = platform::pathComponents(folder);
    if (p.size() <= f.size())
        return false;
    for (size_t i = 0; i < f.size(); ++i)
        if (platform::compareOptions65(p[i], f[i]) != 0 || p[i].size() != f[i].size())
            return false;
    return true;
}

// Why a request file may not act for the caller, or nullopt.
std::optional<std::string> staleOrForeign(const std::string& path, uint32_t callerUid) {
    const auto attrs = platform::fs::attributesOfItem(path);
    if (!attrs)
        return "cannot be read";
    if (attrs->type != platform::fs::FileType::Regular)
        return "is not a regular file";
    if (attrs->uid != callerUid && attrs->uid != 0)
        return "belongs to user " + std::to_string(attrs->uid) + ", not to the caller";
    const auto age = std::chrono::system_clock::now() - attrs->modificationDate;
    if (age > kMaxRequestAge || age < -kMaxRequestAge)
        return "was not written just before this request";
    return std::nullopt;
}

}  // namespace

std::optional<std::string> homeRefusal(std::string_view home) {
    if (!isCleanAbsolute(home) || platform::pathComponents(home).size() < 3)
        return "the home folder \"" + std::string(home) + "\" is not an absolute path of a home";
    return std::nullopt;
}

std::optional<std::string> filePathRefusal(std::string_view filePath, std::string_view home) {
    const std::string path(filePath);
    auto refuse = [&](std::string_view why) {
        return std::optional<std::string>("\"" + path + "\" " + std::string(why));
    };
    if (!isCleanAbsolute(filePath))
        return refuse("is not a plain absolute path");
    if (!removal_location::isCanSafeDeletePath(filePath))
        return refuse("lies outside the places applications are removed from");
    const std::string ext = platform::pathExtension(filePath);
    if (!platform::equals65(ext, "app") && !platform::equals65(ext, "prefPane"))
        return refuse("is not an application or preference pane bundle");
    if (auto why = guard::forceRemovalRefusal(filePath))
        return refuse(*why);
    if (isInside(filePath, "/Users") && !isInside(filePath, home))
        return refuse("lies in another user's home folder");
    if (auto attrs = platform::fs::attributesOfItem(filePath)) {
        if (attrs->type != platform::fs::FileType::Directory ||
            !platform::fs::isDirectory(platform::appendPathComponent(path, "Contents")))
            return refuse("is not a bundle folder");
    }
    return std::nullopt;
}

Request read(std::string_view contentsFolder, uint32_t callerUid) {
    Request r;
    const std::string folderList = request_files::folderListPath(contentsFolder);
    const std::string commandList = request_files::commandListPath(contentsFolder);
    if (!platform::fs::fileExists(folderList))
        return r;
    const auto folderProblem = staleOrForeign(folderList, callerUid);
    const auto commandProblem = staleOrForeign(commandList, callerUid);
    const auto status = request_files::readFolderList(contentsFolder, r.folders);
    auto commands = request_files::readCommandList(contentsFolder);
    // Consumed: whatever follows, these files never act again.
    request_files::removeFolderList(contentsFolder);
    request_files::removeCommandList(contentsFolder);
    if (folderProblem) {
        r.verdict = Verdict::Refused;
        r.refusal = "the folder list " + *folderProblem;
        return r;
    }
    if (status != request_files::ReadStatus::Ok) {
        r.verdict = Verdict::Ignored;
        return r;
    }
    const auto& f = r.folders;
    std::optional<std::string> why = homeRefusal(f.userHome);
    if (!why)
        why = filePathRefusal(f.installPath, f.userHome);
    if (why) {
        r.verdict = Verdict::Refused;
        r.refusal = *why;
        return r;
    }
    r.verdict = Verdict::Act;

    if (!commands)
        return r;
    if (commandProblem) {
        r.notes.push_back("the command list " + *commandProblem + ": not run");
        return r;
    }
    if (commands->installPath != f.installPath) {
        r.notes.push_back("the command list was fetched for \"" + commands->installPath +
                          "\", not for this application: not run");
        return r;
    }
    r.commandList = commands->commands;
    return r;
}

}  // namespace vendrel::daemon_request
