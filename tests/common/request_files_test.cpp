// The request files on a real temporary volume: what the writer produces and what readers
// accept.
#include "common/request_files.h"

#include <gtest/gtest.h>

#include "platform/plist.h"
#include "tests/support/volume.h"

namespace vendrel::request_files {
namespace {

namespace plist = platform::plist;
using test::TempVolume;

constexpr std::string_view kContents = "/Applications/Vendrel.app/Contents";

FolderList sampleFolderList() {
    return {"Example App", "com.example.app", "YES", "/Applications/My Apps/Example App.app",
            "/Users/tester"};
}

TEST(RequestFiles, FolderListLayout) {
    TempVolume vol;
    vol.mkdir(kContents);
    ASSERT_TRUE(writeFolderList(kContents, sampleFolderList()));

    const std::string text = vol.read(std::string(kContents) + "/Delete_FoldersFiles.txt");
    EXPECT_NE(text.find("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\""),
              std::string::npos);
    const auto array = plist::readArray(folderListPath(kContents));
    ASSERT_TRUE(array);
    const plist::Array expected = {
        plist::Dictionary{{"AppName", "Example App"}, {"Publisher", "com.example.app"}},
        // A path with blanks is stored as it is, without quoting.
        plist::Dictionary{{"IsDirPath", "YES"},
                          {"FilePath", "/Applications/My Apps/Example App.app"}},
        plist::Dictionary{{"CurrentUserHomeDirPath", "/Users/tester"}},
    };
    EXPECT_EQ(*array, expected);

    FolderList read;
    ASSERT_EQ(readFolderList(kContents, read), ReadStatus::Ok);
    EXPECT_EQ(read.appName, "Example App");
    EXPECT_EQ(read.bundleId, "com.example.app");
    EXPECT_EQ(read.installPath, "/Applications/My Apps/Example App.app");
    EXPECT_EQ(read.userHome, "/Users/tester");
}

TEST(RequestFiles, CommandListLayoutAndOverwrite) {
    TempVolume vol;
    vol.mkdir(kContents);
    ASSERT_TRUE(writeCommandList(kContents, {"rm -rf ~/Library/Old;", "/Applications/Old.app"}));
    ASSERT_TRUE(writeCommandList(
        kContents, {"rm -rf ~/Library/A\r;launchctl remove a;", "/Applications/A.app"}));
    const auto array = plist::readArray(commandListPath(kContents));
    ASSERT_TRUE(array);
    const plist::Array expected = {
        plist::Dictionary{{"RemovalCml", "rm -rf ~/Library/A\r;launchctl remove a;"},
                          {"FilePath", "/Applications/A.app"}}};
    EXPECT_EQ(*array, expected);

    const auto read = readCommandList(kContents);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->commands, "rm -rf ~/Library/A\r;launchctl remove a;");
    EXPECT_EQ(read->installPath, "/Applications/A.app");

    removeCommandList(kContents);
    EXPECT_FALSE(vol.exists(commandListPath(kContents)));
    removeCommandList(kContents);  // already gone: nothing happens
    EXPECT_FALSE(readCommandList(kContents));
}

TEST(RequestFiles, WritesReplaceALinkInsteadOfFollowingIt) {
    TempVolume vol;
    vol.mkdir(kContents);
    vol.write("/Users/tester/notes.txt", "keep me");
    vol.symlink(vol.host("/Users/tester/notes.txt"), commandListPath(kContents));
    ASSERT_TRUE(writeCommandList(kContents, {"rm -rf ~/x", "/Applications/X.app"}));
    EXPECT_EQ(vol.read("/Users/tester/notes.txt"), "keep me");
    EXPECT_TRUE(readCommandList(kContents));

    // No Contents folder: the write fails and leaves nothing behind.
    EXPECT_FALSE(writeFolderList("/Applications/Missing.app/Contents", sampleFolderList()));
    EXPECT_FALSE(vol.exists("/Applications/Missing.app"));
}

TEST(RequestFiles, FolderListReaderRules) {
    using D = plist::Dictionary;
    const D entry0{{"AppName", "A"}, {"Publisher", "com.a"}};
    const D entry1{{"IsDirPath", "YES"}, {"FilePath", "/Applications/A.app"}};
    const D entry2{{"CurrentUserHomeDirPath", "/Users/tester"}};
    const struct {
        const char* name;
        std::optional<plist::Value> content;  // nullopt: raw text below
        const char* raw;
        ReadStatus expected;
    } rows[] = {
        {"missing file", std::nullopt, nullptr, ReadStatus::Missing},
        {"not a property list", std::nullopt, "YES /Applications/A.app", ReadStatus::Missing},
        {"dictionary root", plist::Value(entry1), nullptr, ReadStatus::Missing},
        {"three entries", plist::Array{entry0, entry1, entry2}, nullptr, ReadStatus::Ok},
        {"two entries", plist::Array{entry0, entry1}, nullptr, ReadStatus::Ignored},
        {"four entries", plist::Array{entry0, entry1, entry2, entry2}, nullptr,
         ReadStatus::Ignored},
        {"IsDirPath in lower case",
         plist::Array{entry0, D{{"IsDirPath", "yes"}, {"FilePath", "/Applications/A.app"}}, entry2},
         nullptr, ReadStatus::Ok},
        {"IsDirPath NO",
         plist::Array{entry0, D{{"IsDirPath", "NO"}, {"FilePath", "/Applications/A.app"}}, entry2},
         nullptr, ReadStatus::Ignored},
        {"IsDirPath a boolean",
         plist::Array{entry0, D{{"IsDirPath", true}, {"FilePath", "/Applications/A.app"}}, entry2},
         nullptr, ReadStatus::Ignored},
        {"no FilePath", plist::Array{entry0, D{{"IsDirPath", "YES"}}, entry2}, nullptr,
         ReadStatus::Ignored},
        {"no home folder", plist::Array{entry0, entry1, D{}}, nullptr, ReadStatus::Ignored},
        {"empty home folder", plist::Array{entry0, entry1, D{{"CurrentUserHomeDirPath", ""}}},
         nullptr, ReadStatus::Ignored},
        {"entry 1 not a dictionary", plist::Array{entry0, "YES", entry2}, nullptr,
         ReadStatus::Ignored},
        {"no names", plist::Array{D{}, entry1, entry2}, nullptr, ReadStatus::Ok},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempVolume vol;
        vol.mkdir(kContents);
        if (row.content) {
            vol.write(folderListPath(kContents), plist::toXml(*row.content));
        } else if (row.raw) {
            vol.write(folderListPath(kContents), row.raw);
        }
        FolderList out;
        EXPECT_EQ(readFolderList(kContents, out), row.expected);
        if (row.expected == ReadStatus::Ok) {
            EXPECT_EQ(out.installPath, "/Applications/A.app");
            EXPECT_EQ(out.userHome, "/Users/tester");
        }
    }
}

TEST(RequestFiles, CommandListReaderRules) {
    using D = plist::Dictionary;
    const struct {
        const char* name;
        plist::Value content;
        bool readable;
    } rows[] = {
        {"complete",
         plist::Array{D{{"RemovalCml", "rm -rf ~/a"}, {"FilePath", "/Applications/A.app"}}}, true},
        {"later entries ignored",
         plist::Array{D{{"RemovalCml", "rm -rf ~/a"}, {"FilePath", "/Applications/A.app"}},
                      D{{"RemovalCml", "rm -rf ~/b"}}},
         true},
        {"empty command", plist::Array{D{{"RemovalCml", ""}, {"FilePath", "/Applications/A.app"}}},
         false},
        // Not tied to an analysed application: never run.
        {"no FilePath", plist::Array{D{{"RemovalCml", "rm -rf ~/a"}}}, false},
        {"empty array", plist::Array{}, false},
        {"dictionary root", D{{"RemovalCml", "rm -rf ~/a"}, {"FilePath", "/Applications/A.app"}},
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempVolume vol;
        vol.write(commandListPath(kContents), plist::toXml(row.content));
        const auto read = readCommandList(kContents);
        EXPECT_EQ(read.has_value(), row.readable);
        if (read) {
            EXPECT_EQ(read->commands, "rm -rf ~/a");
        }
    }
}

}  // namespace
}  // namespace vendrel::request_files
