// Removal requests served by the real daemon as root on a temporary volume: the request
// files' rules, the checks the daemon makes before it acts, and "~" in the command list.
#include <gtest/gtest.h>

#include <algorithm>
#include <future>

#include "common/daemon_messages.h"
#include "platform/plist.h"
#include "tests/daemon/daemon_fixture.h"

namespace vendrel::test {
namespace {

namespace msg = daemon_messages;
namespace plist = platform::plist;
using request_files::CommandList;
using request_files::FolderList;

class DaemonRequests : public ::testing::Test {
  protected:
    void SetUp() override { d.installDaemon(); }

    // An application with a leftover in the system's Application Support (the daemon's
    // part of the sweep; the user's own folders are the application's part).
    void makeApp(const std::string& bundle, const std::string& name) {
        d.vol().makeBundle(bundle, {{"CFBundleName", name}});
        d.vol().write(bundle + "/Contents/MacOS/" + name, "binary");
        d.vol().write("/Library/Application Support/" + name + "/state", "x");
    }
    bool leftoversGone(const std::string& name) {
        return !d.vol().exists("/Library/Application Support/" + name);
    }
    void writeFolderListArray(const plist::Array& entries) {
        ASSERT_TRUE(plist::writeXmlFile(
            request_files::folderListPath(request_files::kInstalledContentsFolder), entries));
    }

    DaemonVolume d;
};

TEST_F(DaemonRequests, FolderListMissingAnswersFailed) {
    EXPECT_EQ(d.send("delete-folders-files"), msg::kReplyDeleteFoldersFilesFailed);
    EXPECT_TRUE(
        d.waitForLogCount("MSG DeleteFoldersFiles: Can not find Delete_FoldersFiles.txt", 1));
}

TEST_F(DaemonRequests, MalformedFolderListsAreIgnoredWithSuccess) {
    makeApp("/Applications/Foo.app", "Foo");
    const plist::Dictionary first{{"AppName", "Foo"}, {"Publisher", "com.example.Foo"}};
    const plist::Dictionary second{{"IsDirPath", "YES"}, {"FilePath", "/Applications/Foo.app"}};
    const plist::Dictionary third{{"CurrentUserHomeDirPath", d.vol().home()}};
    struct Case {
        const char* name;
        plist::Array entries;
    };
    const Case cases[] = {
        {"four entries", {first, second, third, third}},
        {"two entries", {first, second}},
        {"IsDirPath NO",
         {first, plist::Dictionary{{"IsDirPath", "NO"}, {"FilePath", "/Applications/Foo.app"}},
          third}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFolderListArray(c.entries);
        EXPECT_EQ(d.send("delete-folders-files"), msg::kReplyDeleteFoldersFilesSuccess);
        EXPECT_TRUE(d.vol().exists("/Applications/Foo.app/Contents/Info.plist"));
        EXPECT_FALSE(leftoversGone("Foo"));
    }
    EXPECT_EQ(d.log().find(" -> "), std::string::npos) << d.log();
}

TEST_F(DaemonRequests, LowerCaseIsDirPathRemovesTheAppAndItsLeftovers) {
    makeApp("/Applications/Foo.app", "Foo");
    auto folders = d.folderListFor("/Applications/Foo.app", "Foo");
    folders.isFolder = "yes";
    d.writeRequest(folders);
    EXPECT_EQ(d.send("delete-folders-files"), msg::kReplyDeleteFoldersFilesSuccess);
    EXPECT_EQ(d.logCount("MSG DeleteFoldersFiles: Foo -> /Applications/Foo.app -> /Users/tester"),
              1);
    EXPECT_FALSE(d.vol().exists("/Applications/Foo.app"));
    EXPECT_TRUE(leftoversGone("Foo"));
}

TEST_F(DaemonRequests, TildeInTheCommandListIsTheRequestingUsersHome) {
    makeApp("/Applications/Foo.app", "Foo");
    d.vol().write(d.vol().home() + "/Library/FooCache/blob", "x");
    d.vol().write("/private/var/root/Library/FooCache/blob", "root's");
    d.writeRequest(d.folderListFor("/Applications/Foo.app", "Foo"),
                   CommandList{"rm -rf ~/Library/FooCache", "/Applications/Foo.app"});
    EXPECT_EQ(d.send("delete-folders-files"), msg::kReplyDeleteFoldersFilesSuccess);
    EXPECT_FALSE(d.vol().exists(d.vol().home() + "/Library/FooCache"));
    EXPECT_TRUE(d.vol().exists("/private/var/root/Library/FooCache/blob"));
}

// The home is never shell text now: a blank or a quote in it is just a character.
TEST_F(DaemonRequests, CommandListIsRunOnlyForItsOwnApp) {
    struct Case {
        const char* name;
        std::string home;
        std::string commandListFor;
        bool runs;
    };
    const Case cases[] = {
        {"fetched for another application", "/Users/tester", "/Applications/Other.app", false},
        {"home with a blank", "/Users/te ster", "/Applications/Foo.app", true},
        {"home with a quote", "/Users/te'ster", "/Applications/Foo.app", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        makeApp("/Applications/Foo.app", "Foo");
        d.vol().write(c.home + "/Library/FooCache/blob", "x");
        auto folders = d.folderListFor("/Applications/Foo.app", "Foo");
        folders.userHome = c.home;
        d.writeRequest(folders, CommandList{"rm -rf ~/Library/FooCache", c.commandListFor});
        EXPECT_EQ(d.send("delete-folders-files"), msg::kReplyDeleteFoldersFilesSuccess);
        if (!c.runs) {
            EXPECT_NE(d.log().find("MSG DeleteFoldersFiles: the command list was fetched for \"" +
                                   c.commandListFor + "\", not for this application: not run"),
                      std::string::npos)
                << d.log();
        }
        // The rest of the request ran either way.
        EXPECT_FALSE(d.vol().exists("/Applications/Foo.app"));
        EXPECT_EQ(d.vol().exists(c.home + "/Library/FooCache"), !c.runs);
    }
}

TEST_F(DaemonRequests, PathsOutsideTheAllowedPlacesAreRefused) {
    d.vol().write("/usr/lib/libsystem.dylib", "keep");
    d.vol().write("/Volumes/External/Foo.app/Contents/Info.plist", "keep");
    d.vol().write("/Applications/Games/Sub/Deep.app/Contents/Info.plist", "keep");
    d.vol().write("/Users/other/Applications/Foo.app/Contents/Info.plist", "keep");
    d.vol().write("/Applications/Notes.txt", "keep");
    d.vol().symlink(d.vol().host("/usr/lib"), "/Applications/Link.app");
    struct Case {
        const char* filePath;
        const char* keeps;
    };
    const Case cases[] = {
        {"/usr/lib", "/usr/lib/libsystem.dylib"},
        {"/Volumes/External/Foo.app", "/Volumes/External/Foo.app/Contents/Info.plist"},
        {"/Applications/Games/Sub/Deep.app",
         "/Applications/Games/Sub/Deep.app/Contents/Info.plist"},
        {"/Users/other/Applications/Foo.app",
         "/Users/other/Applications/Foo.app/Contents/Info.plist"},
        {"/Applications/Notes.txt", "/Applications/Notes.txt"},
        {"/Applications/Link.app", "/usr/lib/libsystem.dylib"},
        {"/Applications/../usr/lib/X.app", "/usr/lib/libsystem.dylib"},
        {"Applications/Foo.app", "/usr/lib/libsystem.dylib"},
    };
    int refusals = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filePath);
        d.writeRequest(d.folderListFor(c.filePath, "Victim"),
                       CommandList{"touch ~/command-list-ran", c.filePath});
        EXPECT_EQ(d.send("delete-folders-files"), msg::kReplyDeleteFoldersFilesFailed);
        EXPECT_NE(d.log().find("refused: \"" + std::string(c.filePath) + "\""), std::string::npos);
        EXPECT_TRUE(d.vol().exists(c.keeps));
        EXPECT_TRUE(d.vol().exists("/Applications/Link.app"));
        EXPECT_FALSE(d.vol().exists(d.vol().home() + "/command-list-ran"));
        ++refusals;
    }
    std::string log = d.log();
    size_t count = 0;
    for (size_t p = log.find("MSG DeleteFoldersFiles: refused: "); p != std::string::npos;
         p = log.find("MSG DeleteFoldersFiles: refused: ", p + 1))
        ++count;
    EXPECT_EQ(count, static_cast<size_t>(refusals)) << log;
}

TEST_F(DaemonRequests, RelativeOrTraversingHomeIsRefused) {
    makeApp("/Applications/Foo.app", "Foo");
    for (const char* home : {"Users/tester", "/Users/../private/var/root", "/"}) {
        SCOPED_TRACE(home);
        auto folders = d.folderListFor("/Applications/Foo.app", "Foo");
        folders.userHome = home;
        d.writeRequest(folders);
        EXPECT_EQ(d.send("delete-folders-files"), msg::kReplyDeleteFoldersFilesFailed);
        EXPECT_TRUE(d.vol().exists("/Applications/Foo.app/Contents/Info.plist"));
    }
}

// The daemon consumes the request files under its lock: of two requests sent at once, one
// acts on them and the other finds none, never both.
TEST_F(DaemonRequests, TwoRequestsAtOnceActOnOneRequestOnce) {
    makeApp("/Applications/Foo.app", "Foo");
    d.writeRequest(d.folderListFor("/Applications/Foo.app", "Foo"));
    auto first = std::async(std::launch::async, [&] { return d.send("delete-folders-files"); });
    auto second = std::async(std::launch::async, [&] { return d.send("delete-folders-files"); });
    std::vector<std::string> replies{first.get(), second.get()};
    std::sort(replies.begin(), replies.end());
    std::vector<std::string> expected{std::string(msg::kReplyDeleteFoldersFilesFailed),
                                      std::string(msg::kReplyDeleteFoldersFilesSuccess)};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(replies, expected);
    EXPECT_EQ(d.logCount("MSG DeleteFoldersFiles: Foo -> /Applications/Foo.app -> /Users/tester"),
              1);
    EXPECT_EQ(d.logCount("MSG DeleteFoldersFiles: Can not find Delete_FoldersFiles.txt"), 1);
    EXPECT_FALSE(d.vol().exists("/Applications/Foo.app"));
}

}  // namespace
}  // namespace vendrel::test
