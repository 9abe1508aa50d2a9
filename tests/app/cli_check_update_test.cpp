// `Vendrel check-update`, run as a real process against the server stand-in.
#include <gtest/gtest.h>

#include "platform/plist.h"
#include "tests/support/child_process.h"
#include "tests/support/server.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

namespace plist = platform::plist;

TEST(VendrelCheckUpdate, SaysWhetherTheNoticeWouldShow) {
    const std::string notice = "A new version is released. Update now for free!\n";
    const struct {
        const char* name;
        std::optional<std::string> published;  // nothing: the server has no file
        int exitCode;
        std::string out;
    } rows[] = {
        {"newer", "3.10", 0, notice + "Running version 3.9, published version 3.10.\n"},
        {"same", "3.9", 0, "Vendrel 3.9 is up to date.\n"},
        {"nothing published", std::nullopt, 1, "no update information could be read"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempVolume vol;
        test::ScopedEnv bundle("VENDREL_APP_BUNDLE", "/Applications/Vendrel.app");
        vol.makeBundle("/Applications/Vendrel.app", {{"CFBundleShortVersionString", "3.9"}});
        test::TestServer server;
        if (row.published)
            server.put("/qd_default_update_rw/new_info.txt",
                       plist::toXml(plist::Array{plist::Dictionary{{"version", *row.published}}}));
        auto run = test::runProgram({test::builtProgram("Vendrel"), "check-update"},
                                    /*withErrors=*/true);
        EXPECT_EQ(run.exitCode, row.exitCode) << run.out;
        if (row.exitCode == 0) {
            EXPECT_EQ(run.out, row.out);
        } else {
            EXPECT_NE(run.out.find(row.out), std::string::npos) << run.out;
        }
    }
}

}  // namespace
}  // namespace vendrel
