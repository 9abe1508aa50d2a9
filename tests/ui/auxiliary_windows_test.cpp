// The windows the main window opens: About, the difficulty tip and the self-removal
// confirmation, on a temporary volume.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/ui/auxiliary_windows.h"
#include "app/ui/hover_link.h"
#include "common/request_files.h"
#include "tests/ui/window_fixture.h"

namespace vendrel::test {
namespace {

TEST(AboutWindow, VersionAndCopyrightComeFromTheRunningBundle) {
    struct Row {
        const char* name;
        platform::plist::Dictionary info;
        QString version, copyright;
    };
    const Row rows[] = {
        {"both",
         {{"CFBundleShortVersionString", "3.1"},
          {"NSHumanReadableCopyright", "Copyright 2026 Vendrel"}},
         "Version: 3.1",
         "Copyright 2026 Vendrel"},
        {"neither: the lines stay as loaded", {{"CFBundleName", "Vendrel"}}, "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempVolume vol;
        ScopedEnv bundle("VENDREL_APP_BUNDLE", "/Applications/Vendrel.app");
        vol.makeBundle("/Applications/Vendrel.app", row.info);
        ui::AboutDialog about;
        EXPECT_EQ(about.versionLine()->text(), row.version);
        EXPECT_EQ(about.copyrightLine()->text(), row.copyright);
        EXPECT_EQ(about.mailLink()->text(), "support@vendrel.example");
        EXPECT_EQ(ui::AboutDialog::mailUrl(), "mailto:support@vendrel.example");
    }
}

TEST_F(WindowTest, ClosingAboutEndsItsModalRun) {
    startWindow();
    window().openAbout();
    ASSERT_TRUE(window().aboutWindow()->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), window().aboutWindow());
    window().aboutWindow()->close();
    pumpFor(20);
    EXPECT_FALSE(window().aboutWindow()->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the main window takes input again";
}

TEST(TipSheets, CloseDoesNothingWithoutAParentWindow) {
    ui::DifficultyTipDialog orphan;
    orphan.show();
    orphan.defaultButton()->click();
    EXPECT_TRUE(orphan.isVisible());
    QWidget parent;
    ui::DifficultyTipDialog sheet(&parent);
    parent.show();
    sheet.show();
    sheet.defaultButton()->click();
    EXPECT_FALSE(sheet.isVisible());
}

// The request always names the installed product, also when this copy runs elsewhere; the
// file goes into the running bundle.
TEST_F(WindowTest, SelfRemovalWritesTheRequestIntoTheRunningBundleAndEndsTheApplication) {
    vol.makeBundle("/Users/tester/Downloads/Vendrel.app", {{"CFBundleName", "Vendrel"}});
    ScopedEnv running("VENDREL_APP_BUNDLE", "/Users/tester/Downloads/Vendrel.app");
    startWindow();
    bool terminate = false;
    QObject::connect(&window(), &ui::MainWindow::terminateRequested, [&] { terminate = true; });
    window().askSelfRemoval();
    ASSERT_TRUE(window().selfRemovalWindow()->isVisible());
    click(window().selfRemovalWindow()->removeButton());
    EXPECT_FALSE(window().selfRemovalWindow()->isVisible());
    request_files::FolderList request;
    ASSERT_EQ(
        request_files::readFolderList("/Users/tester/Downloads/Vendrel.app/Contents", request),
        request_files::ReadStatus::Ok);
    EXPECT_EQ(request.appName, "Vendrel");
    EXPECT_EQ(request.bundleId, "com.Vendrel.Ostrand");
    EXPECT_EQ(request.installPath, "/Applications/Vendrel.app");
    EXPECT_EQ(request.userHome, vol.home());
    EXPECT_FALSE(vol.exists("/Applications/Vendrel.app/Contents/Delete_FoldersFiles.txt"));
    EXPECT_TRUE(pumpUntil([&] { return terminate; }));
}

TEST_F(WindowTest, KeepUsingClosesTheConfirmationAndWritesNothing) {
    startWindow();
    window().askSelfRemoval();
    click(window().selfRemovalWindow()->defaultButton());
    EXPECT_FALSE(window().selfRemovalWindow()->isVisible());
    EXPECT_FALSE(vol.exists("/Applications/Vendrel.app/Contents/Delete_FoldersFiles.txt"));
}

}  // namespace
}  // namespace vendrel::test

namespace vendrel::test {
namespace {

TEST_F(WindowTest, ClosingTheProgressWindowEarlyLeavesTheAnalysisRunningToStep2) {
    addApp("Pebblecourt", "com.pebblecourt.app");
    ScopedEnv slower("VENDREL_TIME_SCALE", "0.1");  // the 2 s before the analysis: 0.2 s
    startWindow();
    clickTile("Pebblecourt");
    click(form().runAnalysisButton);
    ui::AnalysisProgressDialog* progress = window().progressWindow();
    ASSERT_TRUE(progress->isVisible());
    EXPECT_TRUE(progress->isAnimating());
    EXPECT_TRUE(
        pumpUntil([&] { return progress->stageLine() == "Analyzing in the 1nd stage..."; }));
    EXPECT_EQ(QApplication::activeModalWidget(), progress);
    progress->close();
    EXPECT_FALSE(progress->isAnimating());
    EXPECT_TRUE(window().isAnalysing()) << "closing the window does not stop the job";
    ASSERT_TRUE(pumpUntil([&] { return window().currentPage() == "Step_2"; }));
    EXPECT_EQ(progress->countsLine(), "The removal database is being loaded...");
}

}  // namespace
}  // namespace vendrel::test

namespace vendrel::test {
namespace {

TEST(ReviewsWindow, ChecksAlertsAndThePostOffTheGuiThread) {
    TempVolume vol;
    TestServer server;
    ui::ReviewsDialog reviews;
    reviews.show();
    struct Row {
        const char* name;
        QString nameText, email, review;
        QString message, informative;  // empty message: no alert
    };
    const Row rows[] = {
        {"name too long", QString(41, 'n'), "", "Great", "Submit failed",
         "The field Name must be a string with a maximum length of 40."},
        {"e-mail too long", "", QString(41, 'e'), "Great", "Submit failed",
         "The field E-mail must be a string with a maximum length of 40."},
        {"empty review: silent", "Ann", "", "  \n ", "", ""},
        {"accepted", "Ann", "", "Great", "Submit complete",
         "Thank you to support. We have received your reviews."},
        {"again at once", "Ann", "", "Great", "Submit failed",
         "Please wait 30 seconds if you want to submit a new reivew."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        reviews.nameField()->setText(row.nameText);
        reviews.emailField()->setText(row.email);
        reviews.reviewField()->setPlainText(row.review);
        bool posted = false;
        auto c = QObject::connect(&reviews, &ui::ReviewsDialog::posted, [&] { posted = true; });
        QTest::mouseClick(reviews.submitButton(), Qt::LeftButton);
        if (row.message == "Submit complete") {
            EXPECT_FALSE(reviews.submitButton()->isEnabled()) << "disabled while the post starts";
            ASSERT_TRUE(pumpUntil([&] { return posted; }));
            EXPECT_TRUE(reviews.submitButton()->isEnabled());
        }
        QObject::disconnect(c);
        QMessageBox* box = reviews.openAlert();
        if (row.message.isEmpty()) {
            EXPECT_EQ(box, nullptr);
            continue;
        }
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), row.message);
        EXPECT_EQ(box->informativeText(), row.informative);
        EXPECT_EQ(buttonTitles(*box), QStringList{"OK"});
        box->close();
        pumpFor(10);
    }
    const auto posts = server.waitForPosts(1);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_NE(posts[0].body.find("comment=Great"), std::string::npos) << posts[0].body;
    EXPECT_EQ(reviews.nameField()->text(), "Ann") << "the fields stay after a submission";
}

}  // namespace
}  // namespace vendrel::test
