// NSString's path helpers. OS-neutral.
#include "platform/paths.h"

namespace vendrel::platform {

std::string standardizePath(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '/' && !out.empty() && out.back() == '/')
            continue;
        out.push_back(c);
    }
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

std::string appendPathComponent(std::string_view base, std::string_view component) {
    if (base.empty())
        return standardizePath(component);
    if (component.empty())
        return standardizePath(base);
    std::string joined(base);
    joined.push_back('/');
    joined.append(component);
    return standardizePath(joined);
}

std::string lastPathComponent(std::string_view path) {
    std::string p = standardizePath(path);
    if (p == "/")
        return p;
    size_t slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string deletingLastPathComponent(std::string_view path) {
    std::string p = standardizePath(path);
    if (p == "/")
        return p;
    size_t slash = p.rfind('/');
    if (slash == std::string::npos)
        return {};
    if (slash == 0)
        return "/";
    return p.substr(0, slash);
}

namespace {
// Position of the extension's dot in the last component, or npos. A leading dot (".bashrc")
// starts a name, not an extension.
size_t extensionDot(const std::string& p) {
    size_t start = p.rfind('/');
    start = start == std::string::npos ? 0 : start + 1;
    size_t dot = p.rfind('.');
    if (dot == std::string::npos || dot <= start || dot + 1 == p.size())
        return std::string::npos;
    return dot;
}
}  // namespace

std::string pathExtension(std::string_view path) {
    std::string p = standardizePath(path);
    size_t dot = extensionDot(p);
    return dot == std::string::npos ? std::string() : p.substr(dot + 1);
}

std::string deletingPathExtension(std::string_view path) {
    std::string p = standardizePath(path);
    size_t dot = extensionDot(p);
    return dot == std::string::npos ? p : p.substr(0, dot);
}

std::vector<std::string> pathComponents(std::string_view path) {
    std::vector<std::string> out;
    if (path.empty())
        return out;
    if (path.front() == '/')
        out.emplace_back("/");
    size_t i = 0;
    while (i < path.size()) {
        while (i < path.size() && path[i] == '/')
            ++i;
        size_t j = i;
        while (j < path.size() && path[j] != '/')
            ++j;
        if (j > i)
            out.emplace_back(path.substr(i, j - i));
        i = j;
    }
    return out;
}

}  // namespace vendrel::platform
