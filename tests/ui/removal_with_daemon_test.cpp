// A whole removal from the window with the real daemon. The daemon serves only the installed
// application's executable, so the test program runs a copy of itself from
// "/Applications/Vendrel.app/Contents/MacOS/Vendrel" on the volume, where the inner test
// drives the window; the outer test checks what the daemon did.
#include <filesystem>
#include <fstream>

#include "tests/daemon/daemon_fixture.h"
#include "tests/support/child_process.h"
#include "tests/ui/window_fixture.h"

namespace vendrel::test {
namespace {

namespace stdfs = std::filesystem;
constexpr const char* kInnerFlag = "VENDREL_UI_INNER_REMOVAL";

TEST(WindowRemovalWithDaemon, RemovesTheApplicationAndItsLeftoversAsRoot) {
    DaemonVolume dv;
    TempVolume& vol = dv.vol();
    TestServer server;
    dv.installDaemon();
    vol.makeBundle(
        "/Applications/Ashgrove Sync.app",
        {{"CFBundleName", "Ashgrove Sync"}, {"CFBundleIdentifier", "com.ashgrove.sync"}});
    vol.write("/Applications/Ashgrove Sync.app/Contents/MacOS/Ashgrove Sync", "binary");
    vol.write("/Library/Application Support/Ashgrove Sync/state.db", "state");
    vol.write(vol.home() + "/Library/Caches/com.ashgrove.sync/cache", "cache");
    vol.write("/Library/Application Support/Pebblecourt/keep.db", "not Ashgrove's");

    // This very program, as the installed application (the bundle's files are links to the
    // build's: unlink first, never write through).
    const std::string exe = dv.appExecutable();
    stdfs::remove(exe);
    stdfs::copy_file("/proc/self/exe", exe);
    stdfs::permissions(
        exe, stdfs::perms::owner_all | stdfs::perms::group_read | stdfs::perms::group_exec);
    const auto run = runProgram({exe, "--gtest_filter=WindowRemovalInner.*"}, true,
                                {std::string(kInnerFlag) + "=1", "QT_QPA_PLATFORM=offscreen"});
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("[  PASSED  ] 1 test"), std::string::npos) << run.out;

    EXPECT_FALSE(vol.exists("/Applications/Ashgrove Sync.app"));
    EXPECT_FALSE(vol.exists("/Library/Application Support/Ashgrove Sync"))
        << "the daemon's sweep as root";
    EXPECT_FALSE(vol.exists(vol.home() + "/Library/Caches/com.ashgrove.sync"));
    EXPECT_TRUE(vol.exists("/Library/Application Support/Pebblecourt/keep.db"));
    EXPECT_EQ(dv.logCount("NSXPC Listener: New connection come in..."), 1) << dv.log();
    EXPECT_EQ(dv.log().find("refused a client"), std::string::npos) << dv.log();
    EXPECT_EQ(server.waitForPosts(1).size(), 1u) << "the uninstall report";
}

// Runs only inside the copy started above.
TEST(WindowRemovalInner, RemoveFromTheWindow) {
    if (!::getenv(kInnerFlag))
        GTEST_SKIP() << "run by WindowRemovalWithDaemon";
    ui::MainWindow window;
    window.resize(1000, 700);
    bool started = false, presented = false, ended = false;
    QObject::connect(&window, &ui::MainWindow::startUpFinished, [&] { started = true; });
    QObject::connect(&window, &ui::MainWindow::analysisPresented, [&] { presented = true; });
    QObject::connect(&window, &ui::MainWindow::removalEnded, [&] { ended = true; });
    window.show();
    window.start();
    ASSERT_TRUE(pumpUntil([&] { return started; }));
    ASSERT_FALSE(window.helperInstallFailed()) << "the daemon is installed and current";
    auto* grid = window.form().catalogueGrid;
    int row = -1;
    for (int i = 0; i < grid->model()->rowCount(); ++i)
        if (grid->model()->index(i, 0).data().toString() == "Ashgrove Sync")
            row = i;
    ASSERT_GE(row, 0);
    const QModelIndex index = grid->model()->index(row, 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    QTest::mouseClick(window.form().runAnalysisButton, Qt::LeftButton);
    ASSERT_TRUE(pumpUntil([&] { return presented; }));
    QTest::mouseClick(window.form().completeUninstallButton, Qt::LeftButton);
    QMessageBox* sheet = window.openAlert();
    ASSERT_NE(sheet, nullptr);
    QTest::mouseClick(sheet->buttons().value(1), Qt::LeftButton);
    ASSERT_TRUE(pumpUntil([&] { return ended; }, 60000));
    EXPECT_EQ(window.currentPage(), "Step_US");
    EXPECT_EQ(window.form().resultName->text(), "Ashgrove Sync has been successfully removed.");
}

}  // namespace
}  // namespace vendrel::test
