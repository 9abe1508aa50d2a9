// The main window driven as a user drives it: real widgets offscreen, a temporary volume, the
// real server stand-in. What moves between the three pages, the alerts' texts and buttons,
// and when the untrusted-applications tip appears.
#include <QCheckBox>
#include <QLabel>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

#include "app/ui/hover_image_button.h"
#include "app/ui/hover_link.h"
#include "app/ui/leftover_findings.h"
#include "tests/ui/window_fixture.h"

namespace vendrel::test {
namespace {

using ui::MainWindow;

constexpr const char* kMalwareList = "/qd_default_update_rw/removal_database/ml_list.txt";

TEST_F(WindowTest, StartsOnTheCatalogueWithNothingSelected) {
    addApp("Larkspur Notes", "com.larkspur.notes");
    addApp("Pebblecourt", "com.pebblecourt.app");
    startWindow();
    EXPECT_EQ(window().currentPage(), "Step_1");
    EXPECT_FALSE(form().detailPanel->isVisible()) << "the detail panel waits for a selection";
    EXPECT_FALSE(form().showAppleCheck->isChecked());
    EXPECT_EQ(rowOf("Larkspur Notes"), 0);
    EXPECT_EQ(rowOf("Pebblecourt"), 1);
    EXPECT_EQ(window().openAlert(), nullptr);
    EXPECT_FALSE(window().untrustedAppsWindow()->isVisible());
    EXPECT_FALSE(form().updateLink->isVisible()) << "the server publishes no other version";
    EXPECT_EQ(form().topBox->palette().color(QPalette::Window), QColor(72, 92, 106));
}

// The page table: every move between the pages, walked through one window in order.
TEST_F(WindowTest, PagesMoveAsTheUserActs) {
    addApp("Larkspur Notes", "com.larkspur.notes");
    addApp("Pebblecourt", "com.pebblecourt.app");
    startWindow();

    // Step_1: a click on a tile shows its details.
    clickTile("Pebblecourt");
    EXPECT_EQ(window().currentPage(), "Step_1");
    EXPECT_TRUE(form().detailPanel->isVisible());
    EXPECT_EQ(form().selectedName->text(), "Pebblecourt");
    EXPECT_EQ(form().selectedPublisher->text(), "Publisher: com.pebblecourt.app");
    EXPECT_EQ(form().selectedVersion->text(), "Version: 2.4");
    EXPECT_TRUE(form().selectedInstallDate->text().startsWith("Installation date: 20"));

    // Refresh: rebuilt, details hidden, nothing selected, so Run Analysis asks for a choice.
    click(form().refreshButton);
    EXPECT_FALSE(form().detailPanel->isVisible());
    EXPECT_EQ(window().catalogue().selected, nullptr);
    click(form().runAnalysisButton);
    ASSERT_NE(window().openAlert(), nullptr);
    EXPECT_EQ(window().openAlert()->text(), MainWindow::kNoSelectionMessage);
    window().openAlert()->close();
    EXPECT_EQ(window().currentPage(), "Step_1");

    // Run Analysis with a selection: Step_2 with the analysis.
    clickTile("Pebblecourt");
    analyse();
    EXPECT_EQ(window().currentPage(), "Step_2");
    EXPECT_EQ(form().analysedName->text(), "Pebblecourt");
    EXPECT_TRUE(form().analysedTotals->text().startsWith("Folders: "))
        << form().analysedTotals->text().toStdString();
    EXPECT_TRUE(form().analysedDifficulty->text().startsWith("Uninstall Difficulty: "));
    EXPECT_EQ(form().filesTable->model()->rowCount(), 3)
        << "Info.plist, the executable, one resource";
    EXPECT_FALSE(form().leftoversEmpty->isHidden()) << "no finder yet: the empty state";
    EXPECT_TRUE(form().leftoversList->isHidden());

    // Back: Step_1 rebuilt, nothing selected.
    click(form().backToStep1Button);
    EXPECT_EQ(window().currentPage(), "Step_1");
    EXPECT_EQ(window().catalogue().selected, nullptr);

    // "NO" leaves everything where it was.
    clickTile("Pebblecourt");
    analyse();
    answerRemoval("NO");
    EXPECT_EQ(window().currentPage(), "Step_2");
    EXPECT_TRUE(vol.exists("/Applications/Pebblecourt.app/Contents/Info.plist"));

    // "YES": the result page, then back to a catalogue without the application.
    answerRemoval("YES");
    EXPECT_EQ(window().currentPage(), "Step_US");
    EXPECT_FALSE(vol.exists("/Applications/Pebblecourt.app"));
    EXPECT_EQ(form().resultName->text(), "Pebblecourt has been successfully removed.");
    click(form().backToListButton);
    EXPECT_EQ(window().currentPage(), "Step_1");
    EXPECT_EQ(rowOf("Pebblecourt"), -1);
    EXPECT_GE(rowOf("Larkspur Notes"), 0);
    click(form().runAnalysisButton);
    ASSERT_NE(window().openAlert(), nullptr) << "coming back leaves nothing selected";
    EXPECT_EQ(window().openAlert()->text(), MainWindow::kNoSelectionMessage);
}

TEST_F(WindowTest, AlertTextsAndButtons) {
    addApp("Pebblecourt", "com.pebblecourt.app");
    startWindow();
    struct Row {
        const char* name;
        std::function<void()> act;
        QString message, informative;
        QStringList buttons;
    };
    const Row rows[] = {
        {"no selection",
         [&] { click(form().runAnalysisButton); },
         MainWindow::kNoSelectionMessage,
         "Click the Run Analysis button to check on the installation of target app and start the "
         "uninstall in setp 2.",
         {"OK"}},
        {"confirmation",
         [&] {
             clickTile("Pebblecourt");
             analyse();
             click(form().completeUninstallButton);
         },
         "Pebblecourt",
         "Are you sure you want to remove Pebblecourt ?",
         {"NO", "YES"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.act();
        QMessageBox* box = window().openAlert();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), row.message);
        EXPECT_EQ(box->informativeText(), row.informative);
        EXPECT_EQ(buttonTitles(*box), row.buttons);
        EXPECT_EQ(box->windowModality(), Qt::WindowModal) << "a sheet on the main window";
        EXPECT_EQ(box->parentWidget(), &window());
        box->close();
        pumpFor(20);
    }
}

TEST_F(WindowTest, AFailedHelperInstallationShowsTheHelperToolAlertAndBlocksTheAnalysis) {
    addApp("Pebblecourt", "com.pebblecourt.app");
    ::unlink(vol.host(kInstalledDaemonList).c_str());
    ScopedEnv deny("VENDREL_AUTH", "deny");
    startWindow();
    EXPECT_TRUE(window().helperInstallFailed());
    for (const char* when : {"at start", "on Run Analysis"}) {
        SCOPED_TRACE(when);
        QMessageBox* box = window().openAlert();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), "Helper Tool");
        EXPECT_EQ(box->informativeText(),
                  "The remove-engine is installed successfully.\r\nPlease reboot your macOS to "
                  "complete its configurations.");
        EXPECT_EQ(buttonTitles(*box), QStringList{"OK"});
        box->close();
        pumpFor(20);
        clickTile("Pebblecourt");
        click(form().runAnalysisButton);
    }
    pumpFor(100);
    EXPECT_FALSE(window().isAnalysing());
    EXPECT_EQ(window().currentPage(), "Step_1");
}

TEST_F(WindowTest, CancellingTheAuthorizationEndsTheApplicationBeforeTheFill) {
    addApp("Pebblecourt", "com.pebblecourt.app");
    ::unlink(vol.host(kInstalledDaemonList).c_str());
    ScopedEnv cancel("VENDREL_AUTH", "cancel");
    bool terminate = false;
    QObject::connect(&window(), &MainWindow::terminateRequested, [&] { terminate = true; });
    window().show();
    window().start();
    ASSERT_TRUE(pumpUntil([&] { return terminate; }));
    pumpFor(50);
    EXPECT_EQ(form().catalogueGrid->model()->rowCount(), 0);
}

TEST_F(WindowTest, UntrustedTipAfterStartAndRefreshButNotAfterARemoval) {
    addApp("Dark Zipper", "com.darkzipper.app");
    addApp("Pebblecourt", "com.pebblecourt.app");
    server.put(kMalwareList, "dark zipper\n");
    startWindow();
    auto* tip = window().untrustedAppsWindow();
    struct Step {
        const char* name;
        std::function<void()> act;
        bool tipShown;
    };
    const Step steps[] = {
        {"start", [] {}, true},
        // The toggle keeps the flag as it was: false since the start.
        {"show-Apple toggle alone", [&] { click(form().showAppleCheck); }, false},
        {"refresh", [&] { click(form().refreshButton); }, true},
        {"back from step 2",
         [&] {
             clickTile("Pebblecourt");
             analyse();
             click(form().backToStep1Button);
         },
         true},
        {"after a removal",
         [&] {
             clickTile("Pebblecourt");
             analyse();
             answerRemoval("YES");
         },
         false},
    };
    bool first = true;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        if (!first) {
            tip->reject();
            pumpFor(10);
        }
        first = false;
        step.act();
        pumpFor(20);
        EXPECT_EQ(tip->isVisible(), step.tipShown);
        if (step.tipShown) {
            ASSERT_EQ(tip->table()->rowCount(), 1);
            EXPECT_EQ(tip->table()->item(0, 0)->text(), "Dark Zipper");
        }
    }
    EXPECT_EQ(window().currentPage(), "Step_US");
}

TEST_F(WindowTest, ARemovalThatLeavesTheBundleIsNotShownAsASuccess) {
    addApp("Pebblecourt", "com.pebblecourt.app");
    startWindow();
    clickTile("Pebblecourt");
    analyse();
    // A file where the Trash folder should be: the bundle cannot be moved, and no daemon runs.
    vol.write(vol.home() + "/.Trash", "not a folder");
    answerRemoval("YES");
    EXPECT_EQ(window().currentPage(), "Step_2");
    QMessageBox* box = window().openAlert();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Pebblecourt could not be removed.");
    EXPECT_TRUE(box->informativeText().startsWith("It is still at /Applications/Pebblecourt.app."));
    EXPECT_NE(form().resultName->text(), "Pebblecourt has been successfully removed.");
    EXPECT_TRUE(vol.exists("/Applications/Pebblecourt.app/Contents/Info.plist"));
}

// The leftover finder's findings are listed checked beside the files; what the user unchecks
// stays, the rest goes with the application.
TEST_F(WindowTest, CheckedLeftoversGoWithTheApplicationAndUncheckedOnesStay) {
    addApp("Pebblecourt", "com.pebblecourt.app");
    const std::string storage = vol.home() + "/Library/HTTPStorages/com.pebblecourt.app";
    const std::string scripts = vol.home() + "/Library/Application Scripts/com.pebblecourt.app";
    vol.write(storage + "/cookies", "x");
    vol.write(scripts + "/hook.scpt", "x");
    window().setLeftoverSource(ui::finderLeftovers);
    startWindow();
    clickTile("Pebblecourt");
    analyse();
    ASSERT_TRUE(pumpUntil([&] { return window().leftovers().size() == 2; }));
    QTreeWidget* list = form().leftoversList;
    ASSERT_EQ(list->topLevelItemCount(), 2);
    for (int i = 0; i < 2; ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        EXPECT_EQ(item->checkState(0), Qt::Checked);
        if (item->text(0).toStdString() == scripts)
            item->setCheckState(0, Qt::Unchecked);
    }
    answerRemoval("YES");
    EXPECT_EQ(window().currentPage(), "Step_US");
    EXPECT_FALSE(vol.exists(storage + "/cookies"));
    EXPECT_TRUE(vol.exists(scripts + "/hook.scpt"));
}

TEST_F(WindowTest, TheWindowAnswersWhileAnAnalysisAndARemovalRun) {
    addApp("Pebblecourt", "com.pebblecourt.app");
    // The system's real waits: 2 s before the analysis, 1 + 1 + 3 s in the removal. A window
    // that blocked on them would miss the timer below by seconds, not milliseconds.
    ScopedEnv realTime("VENDREL_TIME_SCALE", "1");
    startWindow();
    clickTile("Pebblecourt");
    click(form().runAnalysisButton);
    EXPECT_TRUE(window().isAnalysing());
    EXPECT_TRUE(window().progressWindow()->isVisible());
    // The event loop turns while the job waits: a timer fires on time.
    QElapsedTimer timer;
    timer.start();
    bool ticked = false;
    QTimer::singleShot(50, [&] { ticked = true; });
    ASSERT_TRUE(pumpUntil([&] { return ticked; }));
    EXPECT_LT(timer.elapsed(), 1500);
    click(form().runAnalysisButton);  // a second press starts no second job
    ASSERT_TRUE(pumpUntil([&] { return window().currentPage() == "Step_2"; }));
    EXPECT_FALSE(window().progressWindow()->isVisible());
}

// The self-removal is announced by the confirmation window; the window answers by asking the
// daemon and then asking the application to end.
TEST_F(WindowTest, SelfRemovalEndsTheApplication) {
    startWindow();
    bool terminate = false;
    QObject::connect(&window(), &MainWindow::terminateRequested, [&] { terminate = true; });
    emit window().selfRemovalRequested();
    EXPECT_TRUE(pumpUntil([&] { return terminate; }));
}

TEST_F(WindowTest, AnUpdateNoticeAppearsWhenAnotherVersionIsPublished) {
    server.put("/qd_default_update_rw/new_info.txt",
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><array><dict>"
               "<key>version</key><string>3.2</string></dict></array></plist>\n");
    startWindow();
    ASSERT_TRUE(pumpUntil([&] { return form().updateLink->isVisible(); }));
    EXPECT_EQ(form().updateLink->text(), "A new version is released. Update now for free!");
}

}  // namespace
}  // namespace vendrel::test
