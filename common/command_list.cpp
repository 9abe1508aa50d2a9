// The command list as data. See command_list.h for the grammar and the path rules.
#include "common/command_list.h"

#include "common/daemon_messages.h"
#include "common/files.h"
#include "common/force_removal.h"
#include "common/guard.h"
#include "common/journal.h"
#include "platform/fs.h"
#include "platform/killall.h"
#include "platform/launchd.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "platform/syslog.h"

namespace vendrel::command_list {
namespace {

// Places a list may remove from, besides the requesting user's home.
constexpr std::string_view kRemovableRoots[] = {
    "/Applications", "/Library",   "/Users/Shared",        "/private/var/db/receipts",
    "/private/tmp",  "/usr/local", "/private/var/folders",
};
// Folders whose job files launchctl unload may name (and the home's LaunchAgents).
constexpr std::string_view kJobFolders[] = {"/Library/LaunchDaemons", "/Library/LaunchAgents"};

struct Word {
    std::string text;
    bool tilde = false;  // an unquoted "~" began the word (it is not in text)
};

bool isControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f;
}

// Splits a line into words; nullopt with `why` when the line is more than words to a shell.
std::optional<std::vector<Word>> splitWords(std::string_view line, std::string& why) {
    std::vector<Word> words;
    std::optional<Word> word;
    enum { Plain, Single, Double } state = Plain;
    auto current = [&]() -> Word& {
        if (!word)
            word.emplace();
        return *word;
    };
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (isControl(c) && c != '\t') {
            why = "holds a control character";
            return std::nullopt;
        }
        if (state == Single) {
            if (c == '\'')
                state = Plain;
            else
                current().text += c;
            continue;
        }
        if (state == Double) {
            if (c == '"') {
                state = Plain;
            } else if (c == '$' || c == '`') {
                why = "asks the shell to substitute something";
                return std::nullopt;
            } else if (c == '\\' && i + 1 < line.size() &&
                       std::string_view("\"\\").find(line[i + 1]) != std::string_view::npos) {
                current().text += line[++i];
            } else {
                current().text += c;
            }
            continue;
        }
        if (c == ' ' || c == '\t') {
            if (word)
                words.push_back(std::move(*word));
            word.reset();
        } else if (std::string_view("&|`$()<>{}!;").find(c) != std::string_view::npos) {
            why = std::string("holds the shell character \"") + c + "\"";
            return std::nullopt;
        } else if (c == '\'') {
            current();
            state = Single;
        } else if (c == '"') {
            current();
            state = Double;
        } else if (c == '\\') {
            if (i + 1 >= line.size()) {
                why = "ends with a backslash";
                return std::nullopt;
            }
            current().text += line[++i];
        } else if (c == '~' && !word) {
            const bool alone = i + 1 == line.size() || line[i + 1] == '/' || line[i + 1] == ' ' ||
                               line[i + 1] == '\t';
            if (!alone) {
                why = "names another user's home (\"~name\")";
                return std::nullopt;
            }
            current().tilde = true;
        } else {
            current().text += c;
        }
    }
    if (state != Plain) {
        why = "has an unterminated quote";
        return std::nullopt;
    }
    if (word)
        words.push_back(std::move(*word));
    return words;
}

bool sameComponent(std::string_view a, std::string_view b) {
    // A volume's file system usually ignores case: "/library" is "/Library".
    return a.size() == b.size() && platform::compareOptions65(a, b) == 0;
}

// Whether `path` is `folder` or lies below it (`orBelowOnly`: strictly below).
bool within(std::string_view path, std::string_view folder, bool strictlyBelow) {
    const auto p = platform::pathComponents(path);
    const auto f = platform::pathComponents(folder);
    if (p.size() < f.size() || (strictlyBelow && p.size() == f.size()))
        return false;
    for (size_t i = 0; i < f.size(); ++i)
        if (!sameComponent(p[i], f[i]))
            return false;
    return true;
}

bool hasWildcard(std::string_view s) {
    return s.find_first_of("*?[") != std::string_view::npos;
}

std::optional<std::string> cleanAbsoluteRefusal(std::string_view path) {
    if (path.size() < 2 || path.front() != '/')
        return "is not an absolute path";
    if (path.find('\0') != std::string_view::npos)
        return "holds a NUL character";
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view part = path.substr(start, end - start);
        if (part == "." || part == "..")
            return "has a \".\" or \"..\" component";
        if (part.empty() && end != path.size())
            return "has an empty component";
        if (hasWildcard(part) && end != path.size())
            return "has a wildcard before its last component";
        start = end + 1;
    }
    return std::nullopt;
}

std::string resolveWord(const Word& w, std::string_view home) {
    return w.tilde ? std::string(home) + w.text : w.text;
}

bool isLabelOrIdentifier(std::string_view s) {
    if (s.empty() || s.size() > 255 || !guard::isUsableIdentifier(s))
        return false;
    for (char c : s) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        if (!ok)
            return false;
    }
    return true;
}

std::optional<std::string> jobFileRefusal(std::string_view path, std::string_view home) {
    if (auto why = pathRefusal(path, home))
        return why;
    const std::string folder = platform::deletingLastPathComponent(path);
    const std::string homeAgents = std::string(home) + "/Library/LaunchAgents";
    bool known =
        within(folder, homeAgents, false) &&
        platform::pathComponents(folder).size() == platform::pathComponents(homeAgents).size();
    for (auto f : kJobFolders)
        known = known || (within(folder, f, false) && platform::pathComponents(folder).size() ==
                                                          platform::pathComponents(f).size());
    if (!known || !platform::equals65(platform::pathExtension(path), "plist"))
        return "is not a job file in a launchd folder";
    return std::nullopt;
}

std::optional<std::string> labelRefusal(std::string_view label) {
    if (!isLabelOrIdentifier(label))
        return "\"" + std::string(label) + "\" is not a job label";
    if (label == daemon_messages::kLabel)
        return "the daemon does not unload itself for a command list";
    return std::nullopt;
}

// Parses one non-blank line; the command, or the reason it is refused.
std::optional<Command> parseLine(std::string_view line, std::string_view home, std::string& why) {
    const auto words = splitWords(line, why);
    if (!words)
        return std::nullopt;
    Command cmd;
    cmd.line = std::string(line);
    const auto& w = *words;
    auto plain = [&](size_t i) { return i < w.size() && !w[i].tilde; };
    if (w.empty()) {
        why = "is empty";
        return std::nullopt;
    }
    const std::string& verb = w[0].text;
    if (w[0].tilde) {
        why = "is not a command of a removal list";
        return std::nullopt;
    }
    if (verb == "rm" || verb == "/bin/rm") {
        size_t i = 1;
        for (; plain(i) && w[i].text.size() > 1 && w[i].text.front() == '-'; ++i) {
            if (w[i].text == "--") {
                ++i;
                break;
            }
            for (char f : std::string_view(w[i].text).substr(1)) {
                if (f == 'r' || f == 'R')
                    cmd.recursive = true;
                else if (f != 'f') {
                    why = "gives rm the option \"" + w[i].text + "\"";
                    return std::nullopt;
                }
            }
        }
        if (i >= w.size()) {
            why = "names no path";
            return std::nullopt;
        }
        for (; i < w.size(); ++i) {
            std::string path = resolveWord(w[i], home);
            if (auto r = pathRefusal(path, home)) {
                why = "\"" + path + "\" " + *r;
                return std::nullopt;
            }
            cmd.args.push_back(std::move(path));
        }
        cmd.kind = Kind::Remove;
        return cmd;
    }
    if (verb == "launchctl" || verb == "/bin/launchctl") {
        const std::string sub = w.size() > 1 ? w[1].text : "";
        size_t i = 2;
        if (sub == "unload" && plain(i) && w[i].text == "-w")
            ++i;
        if (w.size() != i + 1 || !plain(1)) {
            why = "is not \"launchctl unload|remove|bootout\" of one job";
            return std::nullopt;
        }
        const std::string operand = resolveWord(w[i], home);
        if (sub == "unload") {
            if (auto r = jobFileRefusal(operand, home)) {
                why = "\"" + operand + "\" " + *r;
                return std::nullopt;
            }
            cmd.kind = Kind::LaunchctlUnload;
        } else if (sub == "remove" || sub == "bootout") {
            std::string label = operand;
            if (sub == "bootout") {
                // "system/LABEL" or "gui/UID/LABEL": the label is the last part.
                const auto slash = label.rfind('/');
                const std::string domain = label.substr(0, slash == std::string::npos ? 0 : slash);
                if (slash == std::string::npos ||
                    !(domain == "system" || domain.rfind("gui/", 0) == 0)) {
                    why = "does not name a job as \"system/LABEL\" or \"gui/UID/LABEL\"";
                    return std::nullopt;
                }
                label = label.substr(slash + 1);
            }
            if (auto r = labelRefusal(label)) {
                why = *r;
                return std::nullopt;
            }
            cmd.kind = Kind::LaunchctlRemove;
            cmd.args.push_back(label);
            return cmd;
        } else {
            why = "is not \"launchctl unload|remove|bootout\" of one job";
            return std::nullopt;
        }
        cmd.args.push_back(operand);
        return cmd;
    }
    if (verb == "killall" || verb == "/usr/bin/killall") {
        size_t i = 1;
        if (plain(i) && (w[i].text == "-9" || w[i].text == "-KILL"))
            ++i;
        if (w.size() != i + 1 || !plain(i) || !guard::isUsableName(w[i].text) ||
            w[i].text.front() == '-') {
            why = "is not \"killall\" of one process name";
            return std::nullopt;
        }
        if (w[i].text == daemon_messages::kLabel) {
            why = "the daemon does not end itself for a command list";
            return std::nullopt;
        }
        cmd.kind = Kind::Killall;
        cmd.args.push_back(w[i].text);
        return cmd;
    }
    if (verb == "pkgutil" || verb == "/usr/sbin/pkgutil") {
        if (w.size() != 3 || !plain(1) || !plain(2) || w[1].text != "--forget" ||
            !isLabelOrIdentifier(w[2].text)) {
            why = "is not \"pkgutil --forget\" of one package identifier";
            return std::nullopt;
        }
        cmd.kind = Kind::PkgutilForget;
        cmd.args.push_back(w[2].text);
        return cmd;
    }
    why = "is not a command of a removal list";
    return std::nullopt;
}

void refuse(const std::string& line, const std::string& why) {
    journalRecord(JournalAction::Skipped, line, "command list line refused: " + why);
    if (!journalDryRun())
        platform::logNotice("Command list: refused line \"" + line + "\": " + why);
}

void removePath(const std::string& path, bool recursive, std::string_view home,
                const std::string& line) {
    std::vector<std::string> targets{path};
    if (hasWildcard(platform::lastPathComponent(path))) {
        auto matches = patternMatches(path);
        if (!matches)
            return;
        targets = std::move(*matches);
    }
    for (const auto& target : targets) {
        // A match is a new path: it passes the same rules as a path written in the list.
        if (auto why = pathRefusal(target, home)) {
            refuse(line, "\"" + target + "\" " + *why);
            continue;
        }
        const auto attrs = platform::fs::attributesOfItem(target);
        if (!attrs)
            continue;
        if (!recursive && attrs->type == platform::fs::FileType::Directory) {
            refuse(line, "\"" + target + "\" is a folder and the line has no -r");
            continue;
        }
        files::moveToTrash(target);
    }
}

void carryOut(const Command& cmd, std::string_view home) {
    if (guard::isConfined() && cmd.kind != Kind::Remove) {
        refuse(cmd.line, "acts outside the user's own places and needs an administrator");
        return;
    }
    journalRecord(JournalAction::ShellLineRun, cmd.line, "command list, as data");
    switch (cmd.kind) {
        case Kind::Remove:
            for (const auto& path : cmd.args)
                removePath(path, cmd.recursive, home, cmd.line);
            return;
        case Kind::PkgutilForget:
            for (const char* ext : {".bom", ".plist"})
                removePath("/private/var/db/receipts/" + cmd.args[0] + ext, false, home, cmd.line);
            return;
        case Kind::LaunchctlUnload:
        case Kind::LaunchctlRemove:
            if (!journalDryRun())
                platform::launchd::unload(cmd.args[0]);
            return;
        case Kind::Killall:
            if (!journalDryRun())
                platform::killAllNamed(cmd.args[0]);
            return;
    }
}

}  // namespace

std::optional<std::string> pathRefusal(std::string_view logicalPath, std::string_view home) {
    if (auto why = cleanAbsoluteRefusal(logicalPath))
        return why;
    const std::string path = platform::standardizePath(logicalPath);
    // A home that is not a plain folder two levels below "/" stands for nothing: "~" paths then
    // fall under the other rules ("/" as a home would make everything the user's).
    const bool homeUsable =
        !cleanAbsoluteRefusal(home) && platform::pathComponents(home).size() >= 3;
    const bool inHome = homeUsable && within(path, home, true);
    if (!inHome && within(path, "/Users", true) && !within(path, "/Users/Shared", true))
        return "lies in another user's home folder";
    bool allowed = inHome;
    for (auto root : kRemovableRoots)
        allowed = allowed || within(path, root, true);
    if (!allowed)
        return "lies outside the places a removal may touch";
    if (auto why = guard::forceRemovalRefusal(path))
        return why;
    return std::nullopt;
}

Parsed parse(std::string_view text, std::string_view home) {
    Parsed out;
    auto take = [&](std::string_view line) {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#')
            return;
        line.remove_prefix(first);
        std::string why;
        if (auto cmd = parseLine(line, home, why))
            out.commands.push_back(std::move(*cmd));
        else
            out.refused.push_back({std::string(line), why});
    };
    // Lines end at a line feed, and at a ";" outside quotes: the application stores the
    // downloaded list with its line feeds written as ";". A ";" only separates commands; each
    // piece must be a whole command of the set on its own.
    size_t start = 0;
    char quote = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            else if (c == '\n')
                quote = 0;  // a quote never spans lines; the piece is refused as unterminated
            else
                continue;
        } else if (c == '\'' || c == '"') {
            quote = c;
            continue;
        } else if (c == '\\' && i + 1 < text.size() && text[i + 1] != '\n') {
            ++i;
            continue;
        }
        if (c == '\n' || (c == ';' && !quote)) {
            take(text.substr(start, i - start));
            start = i + 1;
        }
    }
    take(text.substr(start));
    return out;
}

void run(std::string_view text, std::string_view home) {
    const Parsed parsed = parse(text, home);
    for (const auto& r : parsed.refused)
        refuse(r.line, r.why);
    for (const auto& cmd : parsed.commands)
        carryOut(cmd, home);
}

}  // namespace vendrel::command_list
