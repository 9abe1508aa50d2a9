// The desktop application: `Vendrel` without a command. Runs the Qt event loop with the main
// window until the user quits; returns the process's exit status.
#pragma once

namespace vendrel::ui {

int runDesktop(int argc, char** argv);

}  // namespace vendrel::ui
