// A main window on a temporary volume, talking to the real server stand-in. The helper's
// authorization is answered through VENDREL_AUTH; without an installed daemon, "allow" makes
// the start-up installation succeed (the stand-in's blessing writes the files), "deny" makes
// it fail.
//
//   WindowTest: vol (applications made with addApp), server, window(), startWindow()
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>
#include <functional>
#include <memory>

#include "app/ui/catalogue_grid.h"
#include "app/ui/main_window.h"
#include "tests/support/env.h"
#include "tests/support/server.h"
#include "tests/support/volume.h"
#include "ui_main_window.h"

namespace vendrel::test {

// Runs the event loop until `done` holds; false after `ms`.
inline bool pumpUntil(const std::function<bool()>& done, int ms = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qWait(2);
    }
    return true;
}

inline void pumpFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

inline QStringList buttonTitles(const QMessageBox& box) {
    QStringList titles;
    for (QAbstractButton* b : box.buttons())
        titles << b->text();
    return titles;
}

class WindowTest : public ::testing::Test {
  protected:
    WindowTest() {
        // The running bundle, where request files and the update copy go.
        vol.makeBundle("/Applications/Vendrel.app",
                       {{"CFBundleShortVersionString", "3.1"}, {"CFBundleName", "Vendrel"}});
        // An installed daemon of the same version (neither side names one): nothing to install.
        vol.write(
            kInstalledDaemonList,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict/></plist>\n");
    }
    static constexpr const char* kInstalledDaemonList =
        "/Library/LaunchDaemons/com.Vendrel.Ostrand.DaemonServer.plist";
    ~WindowTest() override {
        window_.reset();
        QApplication::processEvents();
    }

    void addApp(const std::string& name, const std::string& id,
                const std::string& folder = "/Applications") {
        const std::string bundle = folder + "/" + name + ".app";
        vol.makeBundle(bundle, {{"CFBundleName", name},
                                {"CFBundleIdentifier", id},
                                {"CFBundleShortVersionString", "2.4"}});
        vol.write(bundle + "/Contents/MacOS/" + name, "binary");
        vol.write(bundle + "/Contents/Resources/strings.txt", "text");
    }

    ui::MainWindow& window() {
        if (!window_) {
            window_ = std::make_unique<ui::MainWindow>();
            window_->resize(1000, 700);
        }
        return *window_;
    }
    Ui::MainWindow& form() { return window().form(); }

    // Shows the window, runs its start sequence and waits for its end.
    void startWindow() {
        bool finished = false;
        QObject::connect(&window(), &ui::MainWindow::startUpFinished, [&] { finished = true; });
        window().show();
        window().start();
        ASSERT_TRUE(pumpUntil([&] { return finished; })) << "the start sequence did not end";
    }

    int rowOf(const QString& name) {
        auto* model = form().catalogueGrid->model();
        for (int i = 0; i < model->rowCount(); ++i)
            if (model->index(i, 0).data().toString() == name)
                return i;
        return -1;
    }
    // A real click on the application's tile.
    void clickTile(const QString& name) {
        const int row = rowOf(name);
        ASSERT_GE(row, 0) << name.toStdString() << " is not in the catalogue";
        auto* grid = form().catalogueGrid;
        const QModelIndex index = grid->model()->index(row, 0);
        grid->scrollTo(index);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

    // Runs the analysis of the selected application and waits for Step 2.
    void analyse() {
        bool presented = false;
        auto c = QObject::connect(&window(), &ui::MainWindow::analysisPresented,
                                  [&] { presented = true; });
        click(form().runAnalysisButton);
        ASSERT_TRUE(pumpUntil([&] { return presented; })) << "no analysis result";
        QObject::disconnect(c);
    }
    // Presses Complete Uninstall and answers the confirmation sheet; waits for the end of
    // a removal that was started.
    void answerRemoval(const QString& answer) {
        click(form().completeUninstallButton);
        QMessageBox* sheet = window().openAlert();
        ASSERT_NE(sheet, nullptr);
        bool ended = false;
        auto c = QObject::connect(&window(), &ui::MainWindow::removalEnded, [&] { ended = true; });
        for (QAbstractButton* b : sheet->buttons())
            if (b->text() == answer)
                click(b);
        if (answer == "YES")
            ASSERT_TRUE(pumpUntil([&] { return ended; }, 60000)) << "the removal did not end";
        else
            pumpFor(50);
        QObject::disconnect(c);
    }

    TempVolume vol;
    TestServer server;
    ScopedEnv bundle_{"VENDREL_APP_BUNDLE", "/Applications/Vendrel.app"};
    ScopedEnv auth_{"VENDREL_AUTH", "allow"};

  private:
    std::unique_ptr<ui::MainWindow> window_;
};

}  // namespace vendrel::test
