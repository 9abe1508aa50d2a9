// vendrel-screenshots <folder> [application]: opens the main window on the volume that
// VENDREL_ROOT names, walks it as a user would (choose the application, run the analysis,
// confirm its removal) and saves a picture of each page into <folder>:
//   step1-catalogue.png, step2-analysis.png, step2-confirmation.png, step3-result.png, and
//   the other windows on the way (untrusted-applications tip, reviews, About, analysis progress,
//   difficulty tip, self-removal confirmation; the last is closed, never confirmed)
// It drives the real window and the real logic; the removal really happens on that volume.
// Run it on a display (a real one, or Xvfb).
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/ui/catalogue_grid.h"
#include "app/ui/edit_keys.h"
#include "app/ui/main_window.h"
#include "ui_main_window.h"

namespace {

using vendrel::ui::MainWindow;

bool waitFor(const std::function<bool()>& done, int ms = 60000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void settle(int ms = 400) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The screen's picture of the window, sheets and dialogs over it included.
bool save(MainWindow& window, const QString& path, int settleMs = 400) {
    settle(settleMs);
    QScreen* screen = window.screen();
    const QRect frame = window.frameGeometry();
    QPixmap shot = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    if (shot.isNull() || shot.toImage().allGray())
        shot = window.grab();
    const bool ok = shot.save(path);
    std::printf("  %s %s\n", ok ? "saved" : "could not save", qPrintable(path));
    return ok;
}

int fail(const char* what) {
    std::fprintf(stderr, "vendrel-screenshots: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return fail("usage: vendrel-screenshots <folder> [application]");
    QApplication app(argc, argv);
    vendrel::ui::EditKeys editKeys;
    app.installEventFilter(&editKeys);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString target = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QDir().mkpath(folder);

    MainWindow window;
    window.resize(1040, 720);
    window.move(40, 30);
    window.show();
    bool started = false;
    QObject::connect(&window, &MainWindow::startUpFinished, [&] { started = true; });
    window.start();
    if (!waitFor([&] { return started; }))
        return fail("the window did not finish starting");
    if (auto* tip = window.untrustedAppsWindow(); tip->isVisible()) {
        save(window, folder + QStringLiteral("/step1-untrusted-tip.png"));
        tip->reject();
    }
    if (QMessageBox* alert = window.openAlert()) {
        save(window, folder + QStringLiteral("/step1-alert.png"));
        alert->close();
    }

    // Choose the application as a click on its tile would.
    auto* grid = window.form().catalogueGrid;
    int row = -1;
    for (int i = 0; i < grid->model()->rowCount(); ++i)
        if (grid->model()->index(i, 0).data().toString() == target)
            row = i;
    if (row >= 0) {
        grid->setCurrentIndex(grid->model()->index(row, 0));
        grid->scrollTo(grid->model()->index(row, 0));
        emit window.appSelected();
    }
    save(window, folder + QStringLiteral("/step1-catalogue.png"));
    window.openReviews();
    save(window, folder + QStringLiteral("/reviews.png"));
    window.reviewsWindow()->close();
    window.openAbout();
    save(window, folder + QStringLiteral("/about.png"));
    window.aboutWindow()->close();
    if (row < 0)
        return target.isEmpty() ? 0 : fail("the application is not in the catalogue");

    bool presented = false;
    QObject::connect(&window, &MainWindow::analysisPresented, [&] { presented = true; });
    window.runAnalysis();
    settle(150);
    save(window, folder + QStringLiteral("/analysis-progress.png"), 0);
    if (!waitFor([&] { return presented; }))
        return fail("the analysis did not finish");
    save(window, folder + QStringLiteral("/step2-analysis.png"));
    window.showDifficultyTip();
    save(window, folder + QStringLiteral("/difficulty-tip.png"));
    window.difficultyTipWindow()->closeSheet();

    window.completeUninstall();
    QMessageBox* confirmation = window.openAlert();
    if (!confirmation)
        return fail("no confirmation was shown");
    save(window, folder + QStringLiteral("/step2-confirmation.png"));
    bool ended = false;
    QObject::connect(&window, &MainWindow::removalEnded, [&] { ended = true; });
    confirmation->buttons().value(1)->click();
    settle(300);
    save(window, folder + QStringLiteral("/step2-removing.png"));
    if (!waitFor([&] { return ended; }))
        return fail("the removal did not end");
    save(window, folder + QStringLiteral("/step3-result.png"));
    window.askSelfRemoval();
    save(window, folder + QStringLiteral("/self-removal.png"));
    window.selfRemovalWindow()->closeSheet();
    return window.currentPage() == QStringLiteral("Step_US") ? 0 : fail("the removal failed");
}
