// Vendrel's executable. With a command (list, analyze, remove, ...) it runs the application's
// logic without windows (app/cli/); without one it prints the command-line help, because
// the desktop windows are not part of this build yet.
#include "app/cli/cli.h"

int main(int argc, char** argv) {
    return vendrel::cli::run(argc, argv);
}
