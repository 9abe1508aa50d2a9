// The daemon's protocol and request rules as pure functions: the closed message set, the
// location check shared with the removal flow, and the checks of a request's paths.
#include <gtest/gtest.h>

#include "common/daemon_messages.h"
#include "common/daemon_request.h"
#include "common/removal_location.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

namespace msg = daemon_messages;

TEST(DaemonMessages, OnlyTheExactNamesAreMessages) {
    for (auto m : {msg::Message::DeleteFoldersFiles, msg::Message::KillSelf})
        EXPECT_EQ(msg::parseMessage(msg::payloadOf(m)), m);
    for (const char* payload : {"", "Listener_Msg_KillSelf ", "listener_msg_killself",
                                "Listener_Msg_DeleteFoldersFiles\n", "Listener_Msg_"}) {
        SCOPED_TRACE(payload);
        EXPECT_EQ(msg::parseMessage(payload), std::nullopt);
    }
    EXPECT_EQ(msg::parseMessage(std::string_view("Listener_Msg_KillSelf\0", 22)), std::nullopt);
}

TEST(RemovalLocation, AcceptsTheUsualPlacesOfApplications) {
    struct Case {
        const char* path;
        bool ok;
    };
    const Case cases[] = {
        {"/Applications/Foo.app", true},
        {"/Applications/Utilities/Foo.app", true},
        {"/Users/alice/Applications/Foo.app", true},
        {"/Users/alice/Desktop/Foo.app", true},
        {"/Library/PreferencePanes/Foo.prefPane", true},
        {"/applications/foo.app", true},
        {"/Applications/Games/Sub/X.app", false},
        {"/Volumes/External/Foo.app", false},
        {"/Foo.app", false},
        {"/", false},
        {"/Applications", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(removal_location::isCanSafeDeletePath(c.path), c.ok);
    }
}

TEST(DaemonRequestRules, FilePathsTheDaemonActsOn) {
    test::TempVolume vol;
    vol.write("/Applications/Real.app/Contents/Info.plist", "x");
    vol.write("/Applications/NoContents.app/file", "x");
    vol.write("/Applications/Plain.app", "a file, not a bundle");
    vol.symlink(vol.host("/usr/lib"), "/Applications/Link.app");
    vol.symlink(vol.host("/Volumes/Ext"), "/Users/tester/Desktop");
    struct Case {
        const char* path;
        bool ok;
    };
    const Case cases[] = {
        {"/Applications/Real.app", true},
        {"/Applications/Gone.app", true},  // already moved to the Trash by the application
        {"/Users/tester/Applications/Foo.app", true},
        {"/Library/PreferencePanes/Foo.prefPane", true},
        {"/Applications/Vendrel.app", true},
        {"/Applications/NoContents.app", false},
        {"/Applications/Plain.app", false},
        {"/Applications/Link.app", false},
        {"/Users/tester/Desktop/Foo.app", false},  // through a link
        {"/Users/other/Applications/Foo.app", false},
        {"/users/OTHER/Applications/Foo.app", false},
        {"/USERS/tester/Applications/Foo.app", true},
        {"/Applications/Foo", false},
        {"/Applications/Foo.txt", false},
        {"/usr/lib", false},
        {"/Applications/./Foo.app", false},
        {"/Applications/../Foo.app", false},
        {"/Applications//Foo.app", false},
        {"/Applications/Foo.app/", false},
        {"Applications/Foo.app", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        auto why = daemon_request::filePathRefusal(c.path, "/Users/tester");
        EXPECT_EQ(!why.has_value(), c.ok) << why.value_or("");
    }
}

TEST(DaemonRequestRules, HomesOfARequest) {
    struct Case {
        const char* home;
        bool usable;  // as the request's home at all
    };
    const Case cases[] = {
        {"/Users/alice", true},
        {"/private/var/root", true},
        {"/Users/a.b-c_d@e+f", true},
        {"/Users/john doe", true},
        {"/Users/it's", true},
        {"/Users/$(reboot)", true},
        {"/Users/a;b", true},
        {"/Users/ünïcode", true},
        {"/Users", false},
        {"/", false},
        {"Users/alice", false},
        {"/Users/../private", false},
        {"/Users/./alice", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.home);
        EXPECT_EQ(!daemon_request::homeRefusal(c.home).has_value(), c.usable);
    }
}

}  // namespace
}  // namespace vendrel
