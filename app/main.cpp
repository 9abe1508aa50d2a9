// Vendrel's executable. Without a command it opens the desktop window (app/ui/); with one
// (list, analyze, remove, ...) it runs the same logic without windows (app/cli/).
#include "app/cli/cli.h"
#include "app/ui/desktop_app.h"

int main(int argc, char** argv) {
    if (argc <= 1)
        return vendrel::ui::runDesktop(argc, argv);
    return vendrel::cli::run(argc, argv);
}
