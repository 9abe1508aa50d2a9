// The desktop window's first fill with 500 applications: the time from showing the window to
// the first catalogue drawn (tiles with their icons), and the process's resident memory
// after it. Goals: within 0.5 s, under 150 MB. Runs offscreen on a temporary volume; each
// bundle carries an .icns icon of its own, so the icons' loading is part of the figure.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_window_startup_bench [bundles]
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/ui/main_window.h"
#include "platform/plist.h"
#include "ui_main_window.h"

namespace {
namespace stdfs = std::filesystem;
namespace plist = vendrel::platform::plist;

long residentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

void writeFile(const stdfs::path& p, const std::string& text) {
    stdfs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const int bundles = argc > 1 ? std::atoi(argv[1]) : 500;
    const stdfs::path root =
        stdfs::temp_directory_path() / ("vendrel-window-bench-" + std::to_string(::getpid()));
    ::setenv("VENDREL_ROOT", root.c_str(), 1);
    ::setenv("VENDREL_HOME", "/Users/bench", 1);
    ::setenv("VENDREL_APP_BUNDLE", "/Applications/Vendrel.app", 1);
    ::setenv("VENDREL_SERVER_URL", "http://127.0.0.1:9", 1);  // nothing listens: no lists
    QApplication app(argc, argv);

    writeFile(root / "Applications/Vendrel.app/Contents/Info.plist",
              plist::toXml(plist::Dictionary{{"CFBundleName", "Vendrel"}}));
    writeFile(root / "Library/LaunchDaemons/com.Vendrel.Ostrand.DaemonServer.plist",
              plist::toXml(plist::Dictionary{}));
    for (int i = 0; i < bundles; ++i) {
        const std::string name = "Bench App " + std::to_string(i);
        const stdfs::path bundle = root / "Applications" / (name + ".app");
        writeFile(bundle / "Contents/Info.plist",
                  plist::toXml(
                      plist::Dictionary{{"CFBundleName", name},
                                        {"CFBundleIdentifier", "com.bench.app" + std::to_string(i)},
                                        {"CFBundleShortVersionString", "1.0"},
                                        {"CFBundleIconFile", "AppIcon.icns"}}));
        QImage icon(128, 128, QImage::Format_ARGB32);
        icon.fill(QColor::fromHsv((i * 37) % 360, 160, 200));
        stdfs::create_directories(bundle / "Contents/Resources");
        icon.save(QString::fromStdString((bundle / "Contents/Resources/AppIcon.icns").string()),
                  "ICNS");
    }

    const long before = residentKb();
    QElapsedTimer timer;
    timer.start();
    vendrel::ui::MainWindow window;
    window.resize(1000, 700);
    window.show();
    window.start();
    auto* grid = window.form().catalogueGrid;
    while (grid->model()->rowCount() < bundles && timer.elapsed() < 30000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    window.grab();  // draws the visible tiles, icons included
    const double shownMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const long after = residentKb();

    std::printf("bundles: %d\n", bundles);
    std::printf("window shown to first catalogue drawn: %.1f ms (goal 500 ms)\n", shownMs);
    std::printf("resident memory: %.1f MB (goal 150 MB; %.1f MB before the window)\n",
                static_cast<double>(after) / 1024.0, static_cast<double>(before) / 1024.0);
    stdfs::remove_all(root);
    return shownMs <= 500.0 && after < 150 * 1024 ? 0 : 1;
}
