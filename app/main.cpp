// Vendrel: without arguments the desktop application; with a command, the same controller
// logic without windows (see app/cli/).
#include "app/cli/cli.h"

int main(int argc, char** argv) {
    return vendrel::cli::run(argc, argv);
}
