// `Vendrel daemon-status`, `Vendrel install-helper` and `Vendrel daemon-send`.
#include <iostream>
#include <memory>

#include "app/cli/commands.h"
#include "app/daemon_client/daemon_connection.h"
#include "app/daemon_client/helper_install.h"

namespace vendrel::cli {
namespace {

const char* yesNo(bool b) {
    return b ? "yes" : "no";
}

}  // namespace

void addDaemonStatusCommand(CLI::App& app, Outcome& outcome) {
    auto* cmd = app.add_subcommand(
        "daemon-status",
        "Show the removal daemon: installed version, launchd job, reachable or not (probing "
        "starts the daemon on demand)");
    cmd->callback([&outcome] {
        const auto s = daemon_client::daemonStatus();
        std::cout << "installed: " << yesNo(s.installed) << "\n"
                  << "installed version: " << s.installedVersion << "\n"
                  << "application's version: " << s.applicationVersion << "\n";
        if (!s.launchdReached)
            std::cout << "launchd: not running on this volume\n";
        else if (!s.loaded)
            std::cout << "launchd: job not loaded\n";
        else if (s.pid)
            std::cout << "launchd: loaded, running as pid " << *s.pid << "\n";
        else
            std::cout << "launchd: loaded, not running\n";
        std::cout << "reachable: " << yesNo(s.reachable) << "\n";
        outcome.exitCode = s.reachable ? 0 : 1;
    });
}

void addInstallHelperCommand(CLI::App& app, Outcome& outcome) {
    auto* cmd = app.add_subcommand(
        "install-helper",
        "Install or replace the removal daemon when the installed one is missing or another "
        "version (VENDREL_AUTH=allow|deny|cancel answers the authorization)");
    cmd->callback([&outcome] {
        HelperInstaller delegate;
        const auto r = delegate.installAtLaunch();
        switch (r.outcome) {
            case HelperInstaller::Outcome::DaemonCurrent:
                std::cout << "The removal daemon is installed and current.\n";
                outcome.exitCode = 0;
                break;
            case HelperInstaller::Outcome::DaemonInstalled:
                std::cout << "The removal daemon was installed.\n";
                outcome.exitCode = 0;
                break;
            case HelperInstaller::Outcome::Cancelled:
                std::cerr << "Installation cancelled; Vendrel cannot remove anything without "
                             "its daemon and quits.\n";
                outcome.exitCode = 3;
                break;
            case HelperInstaller::Outcome::Failed:
                std::cerr << "Helper Tool: the removal daemon could not be installed ("
                          << r.error.domain << " " << r.error.code << ": " << r.error.description
                          << ").\n";
                outcome.exitCode = 1;
                break;
        }
    });
}

void addDaemonSendCommand(CLI::App& app, Outcome& outcome) {
    auto* cmd = app.add_subcommand(
        "daemon-send",
        "Send one message to the removal daemon and print its reply (for administrators)");
    struct Options {
        std::string which;
        double timeout = 30.0;
    };
    auto opts = std::make_shared<Options>();
    cmd->add_option("message", opts->which, "delete-folders-files or kill-self")
        ->required()
        ->check(CLI::IsMember({"delete-folders-files", "kill-self"}));
    cmd->add_option("--timeout", opts->timeout, "seconds to wait for the reply")
        ->check(CLI::Range(0.0, 3600.0));
    cmd->callback([&outcome, opts] {
        const auto message = opts->which == "kill-self"
                                 ? daemon_messages::Message::KillSelf
                                 : daemon_messages::Message::DeleteFoldersFiles;
        const auto reply = daemon_client::sendMessage(message, opts->timeout);
        if (!reply) {
            std::cerr << "no reply from the removal daemon\n";
            outcome.exitCode = 1;
            return;
        }
        std::cout << *reply << "\n";
        outcome.exitCode = 0;
    });
}

}  // namespace vendrel::cli
