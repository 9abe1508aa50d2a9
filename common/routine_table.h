// The per-product cleanup routines as data: one constant table of steps, read by the
// interpreter in common/routine_interpreter.h. A routine is its product's process names,
// paths, match fragments and root-only shell lines; nothing else distinguishes one routine
// from another, so they are rows of a table rather than 199 functions.
//
// The table is checked while it is compiled: every builder below is consteval and rejects a
// malformed row (a relative path, a "." or ".." component, an empty fragment, an unknown
// scanner code, a shell command outside the closed set), so a bad row is a build error, not
// a removal that goes wrong on a user's machine.
//
// Paths in the table are logical macOS paths. "~/..." stands for the running process's home
// folder (platform::homeDirectory()), resolved when the step runs: the user's home in the
// application, root's home in the daemon. Shell lines are stored as data too (a ";"-list of
// commands from a closed set) and rendered with host paths and shell quoting at run time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

namespace vendrel::routines {

enum class StepKind : uint8_t {
    Begin,            // table only: starts the routine named by `a`; never inside a routine
    Stop,             // a: exact process name (processes::killByName)
    StopByFolders,    // a: ";"-list of folders; the install path argument is put first
    Trash,            // a: path (files::moveToTrash)
    Scan,             // a: match fragment; scans: the scanners, in order
    RootShell,        // root mode only. a: ";"-list of commands (see ShellVerb)
    RootForce,        // root mode only. a: path, force-removed (chmod 777, rm -rf)
    RootPattern,      // root mode only. a: path whose last component holds "*"; b: "-f"/"-rf"
    OwnerHomeFolder,  // a: "/Library/..." below the requesting user's home: force-removed
                      // below the home directory setting in root mode, trashed below the
                      // process's own home in user mode
    Log,              // a: text for the system log, priority notice
};

// The library scanners a Scan step runs, in the order the step lists them.
enum class Scanner : uint8_t {
    LaunchDaemons,
    LaunchAgents,
    Preferences,
    Receipts,
    Caches,
    Cookies,
    SavedState,
    Containers,
    GroupContainers,
    Logs,
    Extensions,
    SharedFileLists,
    TemporaryFolders,
};
inline constexpr size_t kScannerCount = 13;

// The scanners of one Scan step, in order, each at most once.
struct ScanList {
    std::array<Scanner, kScannerCount> items{};
    uint8_t count = 0;
    constexpr std::span<const Scanner> scanners() const { return {items.data(), count}; }
};

// What a routine takes besides the running mode.
enum class Argument : uint8_t {
    None,         // runs as in user mode: the routine has no root-only steps
    Mode,         // the running mode (user or root)
    InstallPath,  // the install path, for the step that stops processes by folder
};

struct Step {
    StepKind kind;
    std::string_view a;
    std::string_view b;
    ScanList scans{};                    // Scan steps only
    Argument argument = Argument::None;  // Begin steps only
};

struct Routine {
    std::string_view name;  // the product, e.g. "MacKeeper"
    Argument argument = Argument::None;
    std::span<const Step> steps;
};

// The commands a root-only shell line may hold, written in the row as
// "<verb> <argument>" and separated by ";".
enum class ShellVerb : uint8_t { Killall, Chmod777, RmRf, RmF, Rm, ChflagsNoschg, ChflagsNouchg };

struct ShellCommand {
    ShellVerb verb;
    std::string_view arg;  // process name for Killall, otherwise a table path (may hold "*")
};

namespace detail {

constexpr bool isSafeChar(char c) {
    // Characters a path, name or fragment of the table may hold. Excludes the shell's
    // metacharacters (quoting makes them harmless, but no product needs them), the command
    // separator ";" and control characters.
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
        return false;
    for (char bad : std::string_view("';\"`$\\|&<>[]{}\n")) {
        if (c == bad)
            return false;
    }
    return true;
}

constexpr bool isCleanText(std::string_view s) {
    if (s.empty() || s.front() == ' ' || s.back() == ' ')
        return false;
    for (char c : s) {
        if (!isSafeChar(c))
            return false;
    }
    return true;
}

// A logical path of the table: absolute or "~/"-relative, no empty, "." or ".." component,
// no trailing slash, and at least one component below the anchor. With `wildcard`, the last
// component may hold "*" (a pattern); otherwise neither "*" nor "?" may appear anywhere.
constexpr bool isTablePath(std::string_view p, bool wildcard) {
    if (!isCleanText(p))
        return false;
    std::string_view rest;
    if (p.starts_with("~/"))
        rest = p.substr(2);
    else if (p.starts_with("/"))
        rest = p.substr(1);
    else
        return false;
    if (rest.empty())
        return false;
    bool sawWildcard = false;
    while (true) {
        const size_t slash = rest.find('/');
        const std::string_view comp = rest.substr(0, slash);
        if (comp.empty() || comp == "." || comp == "..")
            return false;
        if (sawWildcard)
            return false;  // wildcards only in the last component
        for (char c : comp) {
            if (c == '?')
                return false;
            if (c == '*') {
                if (!wildcard)
                    return false;
                sawWildcard = true;
            }
        }
        if (slash == std::string_view::npos)
            break;
        rest = rest.substr(slash + 1);
    }
    return !wildcard || sawWildcard;
}

constexpr bool isPathOrPattern(std::string_view p) {
    return isTablePath(p, false) || isTablePath(p, true);
}

struct VerbSpelling {
    ShellVerb verb;
    std::string_view prefix;
};
// Longest prefixes first: "rm -rf " must win over "rm ".
inline constexpr std::array<VerbSpelling, 7> kVerbs{{
    {ShellVerb::Killall, "killall "},
    {ShellVerb::Chmod777, "chmod 777 "},
    {ShellVerb::RmRf, "rm -rf "},
    {ShellVerb::RmF, "rm -f "},
    {ShellVerb::Rm, "rm "},
    {ShellVerb::ChflagsNoschg, "sudo chflags noschg "},
    {ShellVerb::ChflagsNouchg, "sudo chflags nouchg "},
}};

}  // namespace detail

constexpr std::string_view spelling(ShellVerb verb) {
    for (const auto& v : detail::kVerbs) {
        if (v.verb == verb)
            return v.prefix.substr(0, v.prefix.size() - 1);
    }
    return {};
}

// Splits one command of a shell line; false when it is not one of the closed set or its
// argument is not a clean process name or table path.
constexpr bool parseShellCommand(std::string_view text, ShellCommand& out) {
    for (const auto& v : detail::kVerbs) {
        if (!text.starts_with(v.prefix))
            continue;
        out = {v.verb, text.substr(v.prefix.size())};
        if (v.verb == ShellVerb::Killall)
            return detail::isCleanText(out.arg);
        return detail::isPathOrPattern(out.arg);
    }
    return false;
}

// Calls f(ShellCommand) for each command of a line, in order. False (after calling f for
// the commands before it) when a command does not parse or the line is empty.
template <class F>
constexpr bool forEachShellCommand(std::string_view line, F&& f) {
    if (line.empty())
        return false;
    while (true) {
        const size_t semi = line.find(';');
        ShellCommand cmd{};
        if (!parseShellCommand(line.substr(0, semi), cmd))
            return false;
        f(cmd);
        if (semi == std::string_view::npos)
            return true;
        line = line.substr(semi + 1);
    }
}

constexpr bool isRemoval(ShellVerb v) {
    return v == ShellVerb::RmRf || v == ShellVerb::RmF || v == ShellVerb::Rm;
}

// A line is well formed when every command parses and, as the routines are written, every
// chmod 777 comes before the first removal (permissions are opened, then things removed).
constexpr bool isWellFormedShellLine(std::string_view line) {
    bool removalSeen = false, chmodAfterRemoval = false;
    const bool parsed = forEachShellCommand(line, [&](const ShellCommand& c) {
        if (isRemoval(c.verb))
            removalSeen = true;
        if (c.verb == ShellVerb::Chmod777 && removalSeen)
            chmodAfterRemoval = true;
    });
    return parsed && !chmodAfterRemoval;
}

// ---- Builders for the rows of the table (compile-time checked) ----
namespace build {

// consteval functions cannot report a message; a failed check calls this non-constexpr
// function, which makes the row (and the build) fail at the offending line.
inline void invalidRoutineRow(const char*) {}

consteval Step routine(std::string_view product, Argument argument = Argument::None) {
    if (!detail::isCleanText(product))
        invalidRoutineRow("bad routine name");
    return {StepKind::Begin, product, {}, {}, argument};
}
consteval Step stop(std::string_view process) {
    if (!detail::isCleanText(process))
        invalidRoutineRow("bad process name");
    return {StepKind::Stop, process, {}};
}
consteval Step stopByFolders(std::string_view folders) {
    size_t n = 0;
    for (std::string_view rest = folders;; ++n) {
        const size_t semi = rest.find(';');
        if (!detail::isTablePath(rest.substr(0, semi), false))
            invalidRoutineRow("bad folder");
        if (semi == std::string_view::npos)
            break;
        rest = rest.substr(semi + 1);
    }
    return {StepKind::StopByFolders, folders, {}};
}
consteval Step trash(std::string_view path) {
    if (!detail::isTablePath(path, false))
        invalidRoutineRow("bad trash path");
    return {StepKind::Trash, path, {}};
}
consteval ScanList scanList(std::initializer_list<Scanner> scanners) {
    ScanList list;
    for (Scanner s : scanners) {
        for (size_t j = 0; j < list.count; ++j) {
            if (list.items[j] == s)
                invalidRoutineRow("scanner listed twice");
        }
        list.items[list.count++] = s;
    }
    if (list.count == 0)
        invalidRoutineRow("no scanner");
    return list;
}

using enum Scanner;
// The two sets most routines scan their identifier with.
inline constexpr std::initializer_list<Scanner> kStandardScans{
    LaunchAgents, Preferences, LaunchDaemons, Receipts,
    Caches,       Cookies,     SavedState,    GroupContainers};
inline constexpr std::initializer_list<Scanner> kStandardScansWithContainers{
    LaunchAgents, Preferences, LaunchDaemons, Receipts,       Caches,
    Cookies,      SavedState,  Containers,    GroupContainers};

consteval Step scan(std::string_view fragment, std::initializer_list<Scanner> scanners) {
    if (!detail::isCleanText(fragment))
        invalidRoutineRow("bad fragment");
    return {StepKind::Scan, fragment, {}, scanList(scanners)};
}
consteval Step rootShell(std::string_view line) {
    if (!isWellFormedShellLine(line))
        invalidRoutineRow("bad shell line");
    return {StepKind::RootShell, line, {}};
}
consteval Step rootForce(std::string_view path) {
    if (!detail::isTablePath(path, false))
        invalidRoutineRow("bad force-removal path");
    return {StepKind::RootForce, path, {}};
}
consteval Step rootPattern(std::string_view flags, std::string_view pattern) {
    if (flags != "-f" && flags != "-rf")
        invalidRoutineRow("rm takes -f or -rf");
    if (!detail::isTablePath(pattern, true))
        invalidRoutineRow("bad pattern");
    return {StepKind::RootPattern, pattern, flags};
}
consteval Step ownerHomeFolder(std::string_view libraryPath) {
    if (!libraryPath.starts_with("/Library/") || !detail::isTablePath(libraryPath, false))
        invalidRoutineRow("bad home-relative folder");
    return {StepKind::OwnerHomeFolder, libraryPath, {}};
}
consteval Step log(std::string_view text) {
    if (text.empty())
        invalidRoutineRow("empty log line");
    return {StepKind::Log, text, {}};
}

}  // namespace build

namespace detail {
// kRows: all routine rows, in the order the routines are defined; each routine is a Begin
// step followed by its own steps.
#include "common/routine_rows.inc"
}  // namespace detail

inline constexpr size_t kRoutineCount = [] {
    size_t n = 0;
    for (const Step& s : detail::kRows)
        n += s.kind == StepKind::Begin;
    return n;
}();

inline constexpr std::array<Routine, kRoutineCount> kRoutines = [] {
    std::array<Routine, kRoutineCount> out{};
    size_t r = 0, begin = 0;
    const std::span<const Step> rows(detail::kRows);
    for (size_t i = 0; i <= rows.size(); ++i) {
        if (i < rows.size() && rows[i].kind != StepKind::Begin)
            continue;
        if (i > 0)
            out[r++].steps = rows.subspan(begin, i - begin);
        if (i < rows.size()) {
            out[r].name = rows[i].a;
            out[r].argument = rows[i].argument;
            begin = i + 1;
        }
    }
    return out;
}();

// The routine of that exact name, or null.
const Routine* findRoutine(std::string_view name);

// Position of a routine by its exact name. Used at compile time by the dispatch table, so a
// name that is not in the table does not build.
consteval size_t routineIndex(std::string_view name) {
    for (size_t i = 0; i < kRoutines.size(); ++i) {
        if (kRoutines[i].name == name)
            return i;
    }
    build::invalidRoutineRow("no routine of that name");
    return 0;
}

}  // namespace vendrel::routines
