// Attacks on the root daemon from the people it serves: a stranger uid (a forked child that
// drops to "nobody" before it runs the real application), request files left behind or
// written by someone else, and a hostile command list. The daemon is the real process,
// started by the launchd stand-in on a temporary volume.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "common/daemon_messages.h"
#include "tests/daemon/daemon_fixture.h"

namespace vendrel::test {
namespace {

namespace msg = daemon_messages;
namespace stdfs = std::filesystem;
using request_files::CommandList;

constexpr uid_t kStranger = 65534;  // "nobody": in the user database, administers nothing
constexpr const char* kStrangerHome = "/Users/nobody";

class DaemonTrust : public ::testing::Test {
  protected:
    void SetUp() override { d.installDaemon(); }

    void makeApp(const std::string& bundle, const std::string& name, uid_t owner = 0) {
        d.vol().makeBundle(bundle, {{"CFBundleName", name}});
        d.vol().write(bundle + "/Contents/MacOS/" + name, "binary");
        d.vol().write("/Library/Application Support/" + name + "/state", "x");
        if (owner != 0)
            chownTree(bundle, owner);
    }
    void chownTree(const std::string& logical, uid_t owner) {
        const std::string host = d.vol().host(logical);
        ASSERT_EQ(::lchown(host.c_str(), owner, owner), 0);
        if (!stdfs::is_directory(stdfs::symlink_status(host)))
            return;
        for (const auto& e : stdfs::recursive_directory_iterator(host)) {
            ASSERT_EQ(::lchown(e.path().c_str(), owner, owner), 0);
        }
    }
    // The request files as the stranger's application would write them.
    void writeStrangersRequest(const request_files::FolderList& folders,
                               const std::optional<CommandList>& commands = std::nullopt) {
        d.writeRequest(folders, commands);
        const std::string contents(request_files::kInstalledContentsFolder);
        for (const auto& file :
             {request_files::folderListPath(contents), request_files::commandListPath(contents)})
            if (d.vol().exists(file))
                chownTree(file, kStranger);
    }
    bool requestFilesGone() {
        const std::string contents(request_files::kInstalledContentsFolder);
        return !d.vol().exists(request_files::folderListPath(contents)) &&
               !d.vol().exists(request_files::commandListPath(contents));
    }

    DaemonVolume d;
};

// Attack: the daemon trusted a program path and the home a request named, not the user.
TEST_F(DaemonTrust, AStrangerReachesOnlyItsOwnBundleAndHome) {
    // Root's application, and the stranger's own one with leftovers inside and outside its home.
    makeApp("/Applications/Root.app", "Root");
    makeApp("/Applications/Mine.app", "Mine", kStranger);
    d.vol().write(std::string(kStrangerHome) + "/Library/Application Support/Mine/x", "x");
    d.vol().write(std::string(kStrangerHome) + "/Library/Caches/com.example.Mine/x", "x");
    d.vol().write("/Library/Caches/com.example.Mine/x", "system's");
    chownTree(kStrangerHome, kStranger);

    struct Row {
        const char* name;
        std::string bundle;
        std::string home;
        const char* refusal;  // in the log; nullptr when the request acts
    };
    const Row rows[] = {
        {"root's application", "/Applications/Root.app", kStrangerHome, "belongs to user 0"},
        {"another user's home named", "/Applications/Root.app", "/Users/tester",
         "names the home \"/Users/tester\""},
        {"its own application", "/Applications/Mine.app", kStrangerHome, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto folders = d.folderListFor(row.bundle, row.name == rows[2].name ? "Mine" : "Root");
        folders.userHome = row.home;
        writeStrangersRequest(folders, CommandList{"rm -rf /Library/Caches/com.example.Mine;"
                                                   "rm -rf ~/Library/Caches/com.example.Mine",
                                                   row.bundle});
        const std::string reply = d.sendAs(kStranger, "delete-folders-files");
        EXPECT_TRUE(requestFilesGone());
        if (row.refusal) {
            EXPECT_EQ(reply, msg::kReplyDeleteFoldersFilesFailed);
            EXPECT_NE(d.log().find(row.refusal), std::string::npos) << d.log();
            EXPECT_TRUE(d.vol().exists("/Applications/Root.app/Contents/Info.plist"));
            EXPECT_TRUE(d.vol().exists("/Library/Application Support/Root/state"));
            continue;
        }
        EXPECT_EQ(reply, msg::kReplyDeleteFoldersFilesSuccess);
        EXPECT_FALSE(d.vol().exists("/Applications/Mine.app"));
        EXPECT_FALSE(
            d.vol().exists(std::string(kStrangerHome) + "/Library/Caches/com.example.Mine"));
        // Outside its home the stranger reaches nothing, not even through the command list.
        EXPECT_TRUE(d.vol().exists("/Library/Application Support/Mine/state"));
        EXPECT_EQ(d.vol().read("/Library/Caches/com.example.Mine/x"), "system's");
    }
    EXPECT_TRUE(d.vol().exists("/Applications/Root.app/Contents/Info.plist"));
}

TEST_F(DaemonTrust, AStrangerCannotMakeTheDaemonRemoveItself) {
    const auto pid = d.daemonPid();
    EXPECT_EQ(d.sendAs(kStranger, "kill-self", 5), "");
    EXPECT_TRUE(
        d.waitForLogCount("NSXPC Listener: MSG KillSelf refused: user 65534 is not an "
                          "administrator",
                          1));
    EXPECT_TRUE(d.vol().exists(msg::kInstalledExecutable));
    EXPECT_TRUE(d.vol().exists(msg::kInstalledLaunchdPlist));
    EXPECT_EQ(d.daemonPid(), pid);
}

// Attack: request files left by an earlier analysis, or written by someone else, act for
// nobody, and the daemon consumes what it read.
TEST_F(DaemonTrust, StaleOrForeignRequestFilesActForNobody) {
    makeApp("/Applications/Foo.app", "Foo");
    const std::string contents(request_files::kInstalledContentsFolder);
    struct Row {
        const char* name;
        std::function<void()> tamper;
        const char* refusal;
    };
    const Row rows[] = {
        {"written ten minutes ago",
         [&] {
             const auto old = stdfs::file_time_type::clock::now() - std::chrono::minutes(10);
             stdfs::last_write_time(d.vol().host(request_files::folderListPath(contents)), old);
         },
         "the folder list was not written just before this request"},
        {"written by another user",
         [&] { chownTree(request_files::folderListPath(contents), kStranger); },
         "the folder list belongs to user 65534, not to the caller"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        d.writeRequest(d.folderListFor("/Applications/Foo.app", "Foo"),
                       CommandList{"rm -rf /Library/Application Support/Foo", "/x"});
        row.tamper();
        EXPECT_EQ(d.send("delete-folders-files"), msg::kReplyDeleteFoldersFilesFailed);
        EXPECT_NE(d.log().find(row.refusal), std::string::npos) << d.log();
        EXPECT_TRUE(requestFilesGone());
        EXPECT_TRUE(d.vol().exists("/Applications/Foo.app/Contents/Info.plist"));
        EXPECT_TRUE(d.vol().exists("/Library/Application Support/Foo/state"));
    }
    // Root analysed Foo and left; a stranger's later request finds root's files and is refused
    // (root's home is not the stranger's), and nothing is left for a third request.
    auto folders = d.folderListFor("/Applications/Foo.app", "Foo");
    folders.userHome = "/private/var/root";
    d.writeRequest(folders);
    EXPECT_EQ(d.sendAs(kStranger, "delete-folders-files"), msg::kReplyDeleteFoldersFilesFailed);
    EXPECT_TRUE(requestFilesGone());
    EXPECT_TRUE(d.vol().exists("/Applications/Foo.app/Contents/Info.plist"));
}

// Attack: the command list ran as root, as shell text. Through the daemon each hostile line is
// refused and logged; the sound line's folder goes to root's Trash.
TEST_F(DaemonTrust, AHostileCommandListRemovesOnlyWhatItMay) {
    TempVolume outside;  // a folder of the host outside the daemon's volume
    outside.write("/precious/file", "keep");
    ScopedEnv root("VENDREL_ROOT", d.vol().root());
    ScopedEnv home("VENDREL_HOME", d.vol().home());
    makeApp("/Applications/Foo.app", "Foo");
    d.vol().write("/Library/Preferences/com.victim.plist", "keep");
    d.vol().write(d.vol().home() + "/Library/FooCache/blob", "x");
    const std::string list =
        "rm -rf ~/Library/FooCache\n"
        "rm -rf ~/../../Library/Preferences\n"
        "rm -rf " +
        outside.host("/precious") +
        "\n"
        "rm -rf /Library/Preferences/com.victim.plist;touch /pwned\n"
        "echo `id` > /pwned && rm -rf /\n";
    d.writeRequest(d.folderListFor("/Applications/Foo.app", "Foo"),
                   CommandList{list, "/Applications/Foo.app"});
    EXPECT_EQ(d.send("delete-folders-files"), msg::kReplyDeleteFoldersFilesSuccess);
    EXPECT_EQ(outside.read("/precious/file"), "keep");
    EXPECT_FALSE(d.vol().exists("/pwned"));
    EXPECT_FALSE(d.vol().exists(d.vol().home() + "/Library/FooCache"));
    // "rm -rf <its own file>" is a sound line on its own, so it acted: into root's Trash.
    EXPECT_FALSE(d.vol().exists("/Library/Preferences/com.victim.plist"));
    EXPECT_TRUE(d.vol().exists("/private/var/root/.Trash/com.victim.plist"));
    EXPECT_TRUE(d.vol().exists("/private/var/root/.Trash/FooCache"));
    for (const std::string& refused :
         {std::string("rm -rf ~/../../Library/Preferences"), "rm -rf " + outside.host("/precious"),
          std::string("touch /pwned"), std::string("echo `id` > /pwned && rm -rf /")})
        EXPECT_NE(d.log().find("Command list: refused line \"" + refused + "\""), std::string::npos)
            << refused << "\n"
            << d.log();
}

// Attack: a name with a line feed wrote a forged line into the daemon's log.
TEST_F(DaemonTrust, RequestTextsCannotForgeLogLines) {
    makeApp("/Applications/Foo.app", "Foo");
    auto folders = d.folderListFor("/Applications/Foo.app", "Foo\nNSXPC Listener: MSG KillSelf...");
    d.writeRequest(folders);
    EXPECT_EQ(d.send("delete-folders-files"), msg::kReplyDeleteFoldersFilesSuccess);
    EXPECT_EQ(d.logCount("NSXPC Listener: MSG KillSelf..."), 0) << d.log();
    EXPECT_EQ(d.logCount("MSG DeleteFoldersFiles: Foo\\x0aNSXPC Listener: MSG KillSelf... -> "
                         "/Applications/Foo.app -> /Users/tester"),
              1)
        << d.log();
}

}  // namespace
}  // namespace vendrel::test
