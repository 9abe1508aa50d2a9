// The removal command list as data: hostile lines a server (or a user who points the
// application at a server of their own) may send, carried out on a temporary volume. Every
// victim must survive and every refused line must be logged; the one sound line acts.
#include <gtest/gtest.h>

#include "common/command_list.h"
#include "common/journal.h"
#include "tests/support/env.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

using test::ScopedEnv;
using test::TempVolume;

TEST(CommandList, HostileLinesAreRefusedAndLoggedAndReachNothing) {
    TempVolume outside;
    outside.write("/precious/file", "keep");
    TempVolume vol;
    ScopedEnv logFile("VENDREL_LOG_FILE", vol.host("/syslog"));
    const std::string h = vol.home();
    vol.write("/Library/Victim/file", "keep");
    vol.write("/Library/Preferences/com.victim.plist", "keep");
    vol.write("/Users/other/Library/Stuff/file", "keep");
    vol.write("/private/var/root/secret", "keep");
    vol.symlink(outside.host("/precious"), "/Library/Caches/com.link");
    vol.write(h + "/Library/FooCache/blob", "mine to remove");

    struct Row {
        const char* line;
        const char* why;  // part of the logged reason
    };
    const std::string outsideHost = outside.host("/precious");
    const Row rows[] = {
        {"rm -rf /Library/Victim && true", "\"&\""},
        {"rm -rf `echo /Library/Victim`", "\"`\""},
        {"rm -rf $(echo /Library/Victim)", "\"$\""},
        {"rm -rf \"$HOME/../../Library/Victim\"", "substitute"},
        {"rm -rf /Library/Victim | cat", "\"|\""},
        {"rm -rf /Library/Victim > /dev/null", "\">\""},
        {"rm -rf ~/../../Library/Preferences", "\"..\""},
        {"rm -rf ~other/Library/Stuff", "another user's home"},
        {"rm -rf /Users/other/Library/Stuff", "another user's home"},
        {"rm -rf /private/var/root/secret", "outside the places"},
        {"rm -rf /etc", "outside the places"},
        {"rm -rf Library/Victim", "not an absolute path"},
        {"rm -rf /Library/Caches/com.link/file", "symbolic link"},
        {"rm -rf /Library/*/file", "wildcard before"},
        {"rm -rf /Library", "outside the places"},
        {"rm --no-preserve-root -rf /Library/Victim", "option"},
        {"touch /Library/Victim/x", "not a command"},
        {"bash -c 'rm -rf /Library/Victim'", "not a command"},
        {"launchctl load /Library/LaunchDaemons/evil.plist", "launchctl"},
        {"launchctl unload /Library/Victim/file", "not a job file"},
        {"launchctl remove com.Vendrel.Ostrand.DaemonServer", "does not unload itself"},
        {"killall com.Vendrel.Ostrand.DaemonServer", "does not end itself"},
        {"pkgutil --forget ../../etc", "package identifier"},
        {"rm -rf 'unterminated", "unterminated"},
    };
    std::string text;
    for (const auto& row : rows)
        text += std::string(row.line) + "\n";
    text += "rm -rf " + outsideHost + "\n";
    text += "rm -rf ~/Library/FooCache\n";

    Journal journal;
    {
        JournalScope scope(journal);
        command_list::run(text, h);
    }
    const std::string log = vol.read("/syslog");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        const auto at = log.find("Command list: refused line \"" + std::string(row.line) + "\"");
        ASSERT_NE(at, std::string::npos) << log;
        EXPECT_NE(log.substr(at, log.find('\n', at) - at).find(row.why), std::string::npos)
            << log.substr(at, log.find('\n', at) - at);
    }
    EXPECT_NE(log.find("refused line \"rm -rf " + outsideHost + "\""), std::string::npos);
    for (const char* kept : {"/Library/Victim/file", "/Library/Preferences/com.victim.plist",
                             "/Users/other/Library/Stuff/file", "/private/var/root/secret"})
        EXPECT_EQ(vol.read(kept), "keep") << kept;
    EXPECT_EQ(outside.read("/precious/file"), "keep");
    // The sound line acted, through the Trash.
    EXPECT_FALSE(vol.exists(h + "/Library/FooCache"));
    bool trashed = false;
    for (const auto& e : journal.entries())
        trashed = trashed || (e.action == JournalAction::MovedToTrash &&
                              e.subject == h + "/Library/FooCache" && vol.exists(e.detail));
    EXPECT_TRUE(trashed);
}

TEST(CommandList, ParsesTheFormsRemovalListsUse) {
    TempVolume vol;
    const std::string home = "/Users/tester";
    struct Row {
        const char* line;
        command_list::Kind kind;
        std::vector<std::string> args;
    };
    using K = command_list::Kind;
    const Row rows[] = {
        {"rm -rf ~/Library/Caches/com.foo", K::Remove, {home + "/Library/Caches/com.foo"}},
        {"rm -f '/Library/Application Support/Foo/x'",
         K::Remove,
         {"/Library/Application Support/Foo/x"}},
        {"rm -r ~/Library/Application\\ Support/Foo",
         K::Remove,
         {home + "/Library/Application Support/Foo"}},
        {"  /bin/rm -Rf \"/Library/Caches/com.foo\" /Library/Logs/Foo",
         K::Remove,
         {"/Library/Caches/com.foo", "/Library/Logs/Foo"}},
        {"launchctl unload -w /Library/LaunchDaemons/com.foo.plist",
         K::LaunchctlUnload,
         {"/Library/LaunchDaemons/com.foo.plist"}},
        {"launchctl unload ~/Library/LaunchAgents/com.foo.plist",
         K::LaunchctlUnload,
         {home + "/Library/LaunchAgents/com.foo.plist"}},
        {"launchctl remove com.foo.helper", K::LaunchctlRemove, {"com.foo.helper"}},
        {"launchctl bootout system/com.foo.helper", K::LaunchctlRemove, {"com.foo.helper"}},
        {"killall -9 FooHelper", K::Killall, {"FooHelper"}},
        {"pkgutil --forget com.foo.pkg", K::PkgutilForget, {"com.foo.pkg"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        const auto parsed = command_list::parse(row.line, home);
        ASSERT_EQ(parsed.commands.size(), 1u)
            << (parsed.refused.empty() ? "" : parsed.refused[0].why);
        EXPECT_EQ(parsed.commands[0].kind, row.kind);
        EXPECT_EQ(parsed.commands[0].args, row.args);
    }
    // The application stores the list with ";" for each line feed; ";" inside quotes stays.
    const auto joined =
        command_list::parse("rm -rf ~/a;rm -rf '/Library/Caches/x;y';;# note;touch ~/b", home);
    ASSERT_EQ(joined.commands.size(), 2u);
    EXPECT_EQ(joined.commands[1].args, std::vector<std::string>{"/Library/Caches/x;y"});
    ASSERT_EQ(joined.refused.size(), 1u);
    EXPECT_EQ(joined.refused[0].line, "touch ~/b");
}

}  // namespace
}  // namespace vendrel
