#include "app/ui/desktop_app.h"

#include <QApplication>
#include <QIcon>

#include "app/ui/edit_keys.h"
#include "app/ui/main_window.h"

namespace vendrel::ui {

int runDesktop(int argc, char** argv) {
    QApplication::setApplicationName(QStringLiteral("Vendrel"));
    QApplication::setDesktopFileName(QStringLiteral("vendrel"));
    QApplication app(argc, argv);
    app.setWindowIcon(QIcon(QStringLiteral(":/images/Vendrel.svg")));
    EditKeys editKeys;
    app.installEventFilter(&editKeys);

    MainWindow window;
    window.setLeftoverSource(finderLeftovers);
    QObject::connect(&window, &MainWindow::terminateRequested, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    window.start();
    return QApplication::exec();
}

}  // namespace vendrel::ui
