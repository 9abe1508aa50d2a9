#include <gtest/gtest.h>

#include "platform/paths.h"
#include "platform/strings.h"
#include "tests/support/volume.h"

namespace vendrel::platform {
namespace {

TEST(Paths, LogicalToHostAndBack) {
    test::TempVolume vol;
    EXPECT_EQ(toHost("/Applications/Foo.app"), vol.root() + "/Applications/Foo.app");
    EXPECT_EQ(toHost("relative/path"), "") << "relative paths never reach the file system";
    EXPECT_EQ(toLogical(vol.root() + "/Users/tester"), "/Users/tester");
    EXPECT_EQ(toLogical(vol.root()), "/");
    EXPECT_FALSE(toLogical("/etc/passwd").has_value());
    EXPECT_FALSE(toLogical(vol.root() + "-other/x").has_value())
        << "a sibling with a common prefix";
    EXPECT_EQ(homeDirectory(), "/Users/tester");
    EXPECT_EQ(desktopDirectory(), "/Users/tester/Desktop");
}

TEST(Paths, FoundationPathHelpers) {
    struct Row {
        const char* path;
        const char* last;
        const char* parent;
        const char* ext;
    };
    const Row rows[] = {
        {"/Applications/Foo.app", "Foo.app", "/Applications", "app"},
        {"/Applications/Foo.app/", "Foo.app", "/Applications", "app"},
        {"/Foo", "Foo", "/", ""},
        {"/", "/", "/", ""},
        {"/Users/a/.bashrc", ".bashrc", "/Users/a", ""},
        {"/x/Archive.tar.gz", "Archive.tar.gz", "/x", "gz"},
        {"/x/Trailing.", "Trailing.", "/x", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        EXPECT_EQ(lastPathComponent(r.path), r.last);
        EXPECT_EQ(deletingLastPathComponent(r.path), r.parent);
        EXPECT_EQ(pathExtension(r.path), r.ext);
    }
    EXPECT_EQ(appendPathComponent("/Users/a", "/Library/Caches"), "/Users/a/Library/Caches");
    EXPECT_EQ(appendPathComponent("/", "Applications"), "/Applications");
    EXPECT_EQ((pathComponents("/Applications/Foo.app")),
              (std::vector<std::string>{"/", "Applications", "Foo.app"}));
    EXPECT_EQ(pathComponents("/Applications/").size(), 2u) << "a trailing slash adds nothing";
    EXPECT_EQ(pathComponents("//Applications//Foo.app").size(), 3u);
}

TEST(Strings, CompareWithOptions65) {
    struct Row {
        const char* a;
        const char* b;
        int expected;
    };
    const Row rows[] = {
        {"Foo", "foo", 0},
        {"teamviewer.APP", "TeamViewer.app", 0},
        {"Foo2", "Foo10", -1},
        {"Foo10", "Foo2", 1},
        {"Version 007", "version 7", 0},
        {"3.10", "3.9", 1},
        {"3.1", "3.2", -1},
        {"3.1", "3.1", 0},
        {"abc", "abcd", -1},
        {"Élan", "élan", 0},
        {"Straße", "STRASSE", 1},
        {"", "", 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.a) + " vs " + r.b);
        EXPECT_EQ(compareOptions65(r.a, r.b), r.expected);
    }
}

TEST(Strings, ContainsAndFind) {
    EXPECT_TRUE(containsCaseInsensitive("xcom.foo.plist", "COM.FOO"));
    EXPECT_FALSE(containsCaseInsensitive("com.fo.plist", "com.foo"));
    EXPECT_FALSE(containsCaseInsensitive("anything", "")) << "an empty fragment matches nothing";
    EXPECT_TRUE(containsCaseInsensitive("Ärger.app", "ärger"));
    EXPECT_EQ(findCaseInsensitive("ÉÉabc", "ABC"), 4u) << "byte offset in the haystack";
}

TEST(Strings, TrimLiteralOrderAndLength) {
    EXPECT_EQ(trimWhitespaceAndNewlines(" \t\n com.foo \r\n"), "com.foo");
    EXPECT_EQ(trimWhitespaceAndNewlines("\u00a0x\u3000"), "x");
    EXPECT_EQ(trimWhitespace(" \tcom.foo\t "), "com.foo");
    EXPECT_EQ(trimWhitespace("\ncom.foo"), "\ncom.foo") << "newlines are not white space here";
    EXPECT_LT(compareLiteral("Zoom", "iMovie"), 0) << "upper case sorts before lower case";
    EXPECT_LT(compareLiteral("Foo", "foo"), 0);
    EXPECT_LT(compareLiteral("\U0001F600", "\uFFFD"), 0) << "UTF-16 order, not code point order";
    EXPECT_EQ(utf16Length("abc"), 3u);
    EXPECT_EQ(utf16Length("é\U0001F600"), 3u);
    EXPECT_FALSE(isValidUtf8("\xff\xfe"));
}

}  // namespace
}  // namespace vendrel::platform
