#include "common/guard.h"

#include <gtest/gtest.h>

#include "tests/support/volume.h"

namespace vendrel::guard {
namespace {

TEST(Guard, RefusesSharedFoldersAndAllowsWhatLiesBelowThem) {
    test::TempVolume vol("/Users/alice");
    const char* refused[] = {
        "/",
        "",
        "relative/x",
        "/Library",
        "/System",
        "/Applications",
        "/usr",
        "/private",
        "/Users",
        "/Users/Shared",
        "/Users/alice",
        "/Users/bob",
        "/Users/alice/Library",
        "/Users/bob/Documents",
        "/Library/Caches",
        "/Library/Application Support",
        "/Users/alice/Library/Application Support",
        "/Users/alice/Library/Preferences",
        "/System/Library/Extensions",
        "/Library/LaunchDaemons",
        "/private/var/root",
        "/private/var/root/Library",
        "/private/var/root/Library/Caches",
        "/private/var/db/receipts",
        "/private/var/folders/vd",
        "/usr/local/bin",
        "/Applications/Utilities",
        "/Library/Application Support/../../System",
        "/Users/Shared/./x",
        "/Library//Caches",
        "/library/caches",
        "/Users/alice/.Trash",
    };
    for (const char* p : refused) {
        SCOPED_TRACE(p);
        EXPECT_TRUE(isProtected(p));
    }
    const char* allowed[] = {
        "/Applications/Foo.app",
        "/Library/Caches/com.foo",
        "/Users/Shared/Foo",
        "/Users/alice/Library/Application Support/Foo",
        "/Library/Extensions/foo.kext",
        "/private/var/folders/vd/x/C/com.foo",
        "/usr/local/bin/foo",
        "/Users/alice/Documents/MacKeeper Backups",
        "/private/var/root/Library/Caches/com.foo",
        "/Applications/Utilities/Foo.app",
    };
    for (const char* p : allowed) {
        SCOPED_TRACE(p);
        EXPECT_FALSE(isProtected(p)) << *refusal(p);
    }
}

TEST(Guard, NamesAndIdentifiers) {
    struct Row {
        const char* text;
        bool name;
        bool identifier;
    };
    const Row rows[] = {
        {"Foo", true, false},
        {"com.foo", true, true},
        {"com.foo.Bar", true, true},
        {" com.foo ", true, true},
        {"", false, false},
        {"   ", false, false},
        {".", false, false},
        {"..", false, false},
        {"../../Library", false, false},
        {"../../System", false, false},
        {"com", true, false},
        {"com.", true, false},
        {".com", true, false},
        {"com.apple", true, false},
        {"com.apple.", true, false},
        {"com.apple.Safari", true, true},
        {"N/A", false, false},
        {"a\nb", true, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(isUsableName(r.text), r.name);
        EXPECT_EQ(isUsableIdentifier(r.text), r.identifier);
    }
}

TEST(Guard, ForceRemovalRefusesPathsThroughLinks) {
    test::TempVolume vol;
    vol.write("/Library/Real/file", "x");
    vol.symlink(vol.host("/Library/Real"), "/Library/Alias");
    vol.symlink("/etc/passwd", "/Library/Real/link");
    EXPECT_FALSE(forceRemovalRefusal("/Library/Real/file"));
    EXPECT_FALSE(forceRemovalRefusal("/Library/Real/link")) << "a link at the path itself is fine";
    EXPECT_TRUE(forceRemovalRefusal("/Library/Alias/file"));
    EXPECT_TRUE(forceRemovalRefusal("/Library/Caches"));
}

}  // namespace
}  // namespace vendrel::guard
