// The removal database client against the real server stand-in, writing into the running
// bundle on a temporary volume.
#include "app/analysis/removal_database.h"

#include <gtest/gtest.h>

#include <chrono>

#include "common/request_files.h"
#include "platform/plist.h"
#include "tests/support/server.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

namespace plist = platform::plist;
using test::ScopedEnv;
using test::TempVolume;
using test::TestServer;

constexpr std::string_view kBundle = "/Applications/Vendrel.app";
constexpr std::string_view kContents = "/Applications/Vendrel.app/Contents";
constexpr std::string_view kFolder = "/qd_default_update_rw/removal_database/";

// A running bundle on a fresh volume, holding a command list that an earlier analysis of
// another application left behind.
struct Fixture {
    TempVolume vol;
    ScopedEnv bundle{"VENDREL_APP_BUNDLE", std::string(kBundle)};
    Fixture() {
        vol.mkdir(kContents);
        request_files::writeCommandList(kContents,
                                        {"rm -rf ~/Library/Other", "/Applications/Other.app"});
    }
    bool listInForce() const { return vol.exists(request_files::commandListPath(kContents)); }
};

TEST(RemovalDatabase, FetchesAndStoresTheCommandList) {
    const struct {
        const char* name;
        const char* installPath;
        const char* servedAs;  // file name on the server
        std::string body;
        int status;
        std::optional<std::string> stored;  // the "RemovalCml" written, or no list in force
    } rows[] = {
        {"two lines ending in a line feed", "/Applications/Example App.app", "example-app.app.txt",
         "rm -rf ~/Library/Example\nlaunchctl remove com.example\n", 200,
         "rm -rf ~/Library/Example;launchctl remove com.example;"},
        {"only the last component counts", "/Applications/Sub Folder/Tool.app", "tool.app.txt",
         "rm -rf ~/Library/Tool", 200, "rm -rf ~/Library/Tool"},
        {"preference pane, trailing slash", "/Library/PreferencePanes/Some Pane.prefPane/",
         "some-pane.prefpane.txt", "rm -rf ~/Library/Pane", 200, "rm -rf ~/Library/Pane"},
        {"carriage returns stay", "/Applications/Crlf.app", "crlf.app.txt",
         "rm -rf ~/a\r\nrm -rf ~/b\r\n", 200, "rm -rf ~/a\r;rm -rf ~/b\r;"},
        {"empty lines are kept as they come", "/Applications/Gap.app", "gap.app.txt",
         "rm -rf ~/a\n\nrm -rf ~/b", 200, "rm -rf ~/a;;rm -rf ~/b"},
        {"non-ASCII name in lower case",
         "/Applications/\xc3\x9c"
         "ber Tool.app",
         "\xc3\xbc"
         "ber-tool.app.txt",
         "rm -rf ~/Library/U", 200, "rm -rf ~/Library/U"},
        {"a # in the name stays part of the name", "/Applications/A#B?.app", "a#b?.app.txt",
         "rm -rf ~/Library/AB", 200, "rm -rf ~/Library/AB"},
        {"error page holding rm -rf is not a list", "/Applications/Err.app", "err.app.txt",
         "<html>500: could not rm -rf</html>", 500, std::nullopt},
        {"a redirect is not followed", "/Applications/Moved.app", "moved.app.txt",
         "rm -rf ~/Library/Moved", 302, std::nullopt},
        {"no rm -rf", "/Applications/Chmod.app", "chmod.app.txt", "chmod 777 ~/a\nchmod 755 ~/b\n",
         200, std::nullopt},
        {"rm -rf is case-sensitive", "/Applications/Upper.app", "upper.app.txt", "RM -RF ~/a", 200,
         std::nullopt},
        {"not UTF-8", "/Applications/Latin.app", "latin.app.txt", "rm -rf ~/Library/Caf\xe9", 200,
         std::nullopt},
        {"no such file: 404 page", "/Applications/Unknown.app", "other.app.txt", "rm -rf ~/x", 200,
         std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Fixture f;
        TestServer server(
            TestServer::Options().status(std::string(kFolder) + row.servedAs, row.status));
        server.put(std::string(kFolder) + row.servedAs, row.body);

        downloadRemovalCommandList(row.installPath);

        ASSERT_EQ(server.requestedPaths().size(), 1u);
        if (!row.stored) {
            EXPECT_FALSE(f.listInForce());
            continue;
        }
        EXPECT_EQ(server.requestedPaths()[0], std::string(kFolder) + row.servedAs);
        const auto array = plist::readArray(request_files::commandListPath(kContents));
        ASSERT_TRUE(array);
        const plist::Array expected = {
            plist::Dictionary{{"RemovalCml", *row.stored}, {"FilePath", row.installPath}}};
        EXPECT_EQ(*array, expected);
    }
}

TEST(RemovalDatabase, PathsTooShortAskNothing) {
    for (const char* path : {"/Tool.app", "/", "Tool.app", ""}) {
        SCOPED_TRACE(path);
        Fixture f;
        TestServer server;
        server.put(std::string(kFolder) + "tool.app.txt", "rm -rf ~/x");
        downloadRemovalCommandList(path);
        EXPECT_TRUE(server.requestedPaths().empty());
        EXPECT_FALSE(f.listInForce());
    }
}

TEST(RemovalDatabase, UnreachableServer) {
    Fixture f;
    ScopedEnv url("VENDREL_SERVER_URL", test::unreachableServerUrl());
    downloadRemovalCommandList("/Applications/Example.app");
    EXPECT_FALSE(f.listInForce());
}

TEST(RemovalDatabase, ServerThatNeverAnswersEndsAfterTheTimeOut) {
    Fixture f;
    TestServer server(TestServer::Options().hang(std::string(kFolder) + "example.app.txt"));
    server.put(std::string(kFolder) + "example.app.txt", "rm -rf ~/x");
    const auto start = std::chrono::steady_clock::now();
    downloadRemovalCommandList("/Applications/Example.app", /*timeoutSeconds=*/0.5);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_FALSE(f.listInForce());
    // The time-out, not the server, ends the download; the bound is loose on purpose.
    EXPECT_GE(seconds, 0.45);
    EXPECT_LT(seconds, 8.0);
}

}  // namespace
}  // namespace vendrel
