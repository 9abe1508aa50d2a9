// vendrel-server: a stand-in for the maker's web server, for tests and the demo.
//
// Serves the files of a folder laid out like the maker's server
//     <root>/qd_default_update_rw/new_info.txt
//     <root>/qd_default_update_rw/removal_database/ml_list.txt
//     <root>/qd_default_update_rw/removal_database/<name>.txt
// (a missing file gets a 404 error page, as a real web server would send) and accepts the
// two form posts, "/ucloudcenter/uninstall.php" and "/apps_comment/comment/add", appending
// each one to the post log as one line of JSON:
//     {"path": ..., "content_type": ..., "body_base64": <the raw bytes>,
//      "body": <the same bytes as UTF-8, invalid bytes replaced>, "time": <UTC, ISO 8601>}
//
// It listens on 127.0.0.1 only, on --port or on a free port that it prints and writes to
// --port-file (written once the socket is bound, so a reader that sees the file can connect).
// --cert/--key make it serve HTTPS. Test switches: --delay PATH=SECONDS answers PATH late,
// --hang PATH never answers PATH (the connection stays open until the server stops),
// --status PATH=CODE serves PATH with another status code. SIGTERM or SIGINT stop it.
#include <httplib.h>
#include <openssl/evp.h>
#include <signal.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

namespace {
namespace stdfs = std::filesystem;

const char* const kPostPaths[] = {"/ucloudcenter/uninstall.php", "/apps_comment/comment/add"};

const char* const kNotFoundPage =
    "<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head>\n"
    "<body><h1>Not Found</h1><p>The requested URL was not found on this server.</p></body>"
    "</html>\n";

// Stopping: the signal thread sets the flag and wakes every handler that is waiting.
std::mutex gStopMutex;
std::condition_variable gStopCv;
bool gStopping = false;

// Waits `seconds` (forever when negative) or until the server stops.
void waitOrStop(double seconds) {
    std::unique_lock lock(gStopMutex);
    if (seconds < 0) {
        gStopCv.wait(lock, [] { return gStopping; });
    } else {
        gStopCv.wait_for(lock, std::chrono::duration<double>(seconds), [] { return gStopping; });
    }
}

std::string base64(const std::string& bytes) {
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                  reinterpret_cast<const unsigned char*>(bytes.data()),
                                  static_cast<int>(bytes.size()));
    out.resize(static_cast<size_t>(n));
    return out;
}

std::string utcNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm tm{};
    gmtime_r(&t, &tm);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &tm);
    char millis[8];
    std::snprintf(millis, sizeof millis, ".%03dZ", static_cast<int>(ms));
    return std::string(date) + millis;
}

class LineLog {
  public:
    explicit LineLog(const std::string& path) {
        if (!path.empty())
            out_.open(path, std::ios::app | std::ios::binary);
    }
    bool failed(const std::string& path) const { return !path.empty() && !out_.is_open(); }
    void append(const nlohmann::json& record) {
        if (!out_.is_open())
            return;
        std::lock_guard lock(mutex_);
        out_ << record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        out_.flush();
    }

  private:
    std::mutex mutex_;
    std::ofstream out_;
};

// The file under `root` that a request path names, or nothing for a path that would leave
// the folder or names no regular file.
std::optional<stdfs::path> resolve(const stdfs::path& root, const std::string& requestPath) {
    if (requestPath.empty() || requestPath[0] != '/')
        return std::nullopt;
    stdfs::path p = root;
    std::stringstream parts(requestPath.substr(1));
    std::string part;
    while (std::getline(parts, part, '/')) {
        if (part.empty())
            continue;
        if (part == "." || part == ".." || part.find('\0') != std::string::npos)
            return std::nullopt;
        p /= part;
    }
    std::error_code ec;
    if (!stdfs::is_regular_file(p, ec))
        return std::nullopt;
    return p;
}

bool writePortFile(const std::string& path, int port) {
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        out << port << '\n';
        if (!out)
            return false;
    }
    std::error_code ec;
    stdfs::rename(tmp, path, ec);
    return !ec;
}

// "PATH=VALUE" switches.
template <typename T>
bool parseAssignments(const std::vector<std::string>& items, std::map<std::string, T>& out) {
    for (const auto& item : items) {
        const auto eq = item.rfind('=');
        if (eq == std::string::npos || eq == 0)
            return false;
        std::istringstream value(item.substr(eq + 1));
        T v{};
        if (!(value >> v) || !value.eof())
            return false;
        out[item.substr(0, eq)] = v;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"vendrel-server: local stand-in for the maker's web server"};
    std::string root, portFile, postLog, accessLog, cert, key;
    int port = 0;
    std::vector<std::string> delayArgs, statusArgs, hangPaths;
    app.add_option("--root", root, "Folder laid out like the server")
        ->required()
        ->check(CLI::ExistingDirectory);
    app.add_option("--port", port, "Port on 127.0.0.1 (0: a free one)")
        ->check(CLI::Range(0, 65535));
    app.add_option("--port-file", portFile, "Write the bound port here");
    app.add_option("--log", postLog, "Append every accepted form post here (JSON lines)");
    app.add_option("--access-log", accessLog, "Append every request here (JSON lines)");
    app.add_option("--cert", cert, "PEM certificate: serve HTTPS")->check(CLI::ExistingFile);
    app.add_option("--key", key, "PEM private key of --cert")->check(CLI::ExistingFile);
    app.add_option("--delay", delayArgs, "PATH=SECONDS: answer PATH late");
    app.add_option("--hang", hangPaths, "PATH: never answer PATH");
    app.add_option("--status", statusArgs, "PATH=CODE: serve PATH with this status");
    CLI11_PARSE(app, argc, argv);

    std::map<std::string, double> delays;
    std::map<std::string, int> statuses;
    if (!parseAssignments(delayArgs, delays) || !parseAssignments(statusArgs, statuses)) {
        std::cerr << "vendrel-server: --delay and --status take PATH=VALUE\n";
        return 2;
    }
    if (cert.empty() != key.empty()) {
        std::cerr << "vendrel-server: --cert and --key go together\n";
        return 2;
    }

    // Signals are taken by one thread; every other thread inherits the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::unique_ptr<httplib::Server> server;
    if (cert.empty()) {
        server = std::make_unique<httplib::Server>();
    } else {
        auto ssl = std::make_unique<httplib::SSLServer>(cert.c_str(), key.c_str());
        if (!ssl->is_valid()) {
            std::cerr << "vendrel-server: cannot use the certificate " << cert << '\n';
            return 2;
        }
        server = std::move(ssl);
    }
    // Hanging requests hold a worker each; keep enough for the posts beside them.
    server->new_task_queue = [] { return new httplib::ThreadPool(32); };

    LineLog posts(postLog), access(accessLog);
    if (posts.failed(postLog) || access.failed(accessLog)) {
        std::cerr << "vendrel-server: cannot open the log files\n";
        return 2;
    }
    const stdfs::path rootPath = stdfs::absolute(root);

    // Runs before any handler: the test switches and the access log.
    server->set_pre_routing_handler([&](const httplib::Request& req, httplib::Response&) {
        access.append({{"method", req.method}, {"path", req.path}, {"time", utcNow()}});
        if (std::find(hangPaths.begin(), hangPaths.end(), req.path) != hangPaths.end())
            waitOrStop(-1);
        if (auto it = delays.find(req.path); it != delays.end())
            waitOrStop(it->second);
        return httplib::Server::HandlerResponse::Unhandled;
    });

    server->Get(".*", [&](const httplib::Request& req, httplib::Response& res) {
        auto file = resolve(rootPath, req.path);
        if (!file) {
            res.status = 404;
            res.set_content(kNotFoundPage, "text/html");
            return;
        }
        std::ifstream in(*file, std::ios::binary);
        std::ostringstream body;
        body << in.rdbuf();
        res.status = 200;
        if (auto it = statuses.find(req.path); it != statuses.end())
            res.status = it->second;
        res.set_content(body.str(), "text/plain; charset=utf-8");
    });

    for (const char* path : kPostPaths) {
        server->Post(path, [&](const httplib::Request& req, httplib::Response& res) {
            posts.append({{"path", req.path},
                          {"content_type", req.get_header_value("Content-Type")},
                          {"body_base64", base64(req.body)},
                          {"body", req.body},
                          {"time", utcNow()}});
            res.set_content("OK", "text/plain");
        });
    }

    const char* host = "127.0.0.1";
    if (port == 0) {
        port = server->bind_to_any_port(host);
        if (port <= 0) {
            std::cerr << "vendrel-server: cannot bind to " << host << '\n';
            return 1;
        }
    } else if (!server->bind_to_port(host, port)) {
        std::cerr << "vendrel-server: cannot bind to " << host << ':' << port << '\n';
        return 1;
    }
    if (!portFile.empty() && !writePortFile(portFile, port)) {
        std::cerr << "vendrel-server: cannot write " << portFile << '\n';
        return 1;
    }
    std::cout << "vendrel-server: serving " << rootPath.string() << " on "
              << (cert.empty() ? "http" : "https") << "://" << host << ':' << port << std::endl;

    std::thread signalThread([&] {
        int sig = 0;
        sigwait(&stopSignals, &sig);
        {
            std::lock_guard lock(gStopMutex);
            gStopping = true;
        }
        gStopCv.notify_all();
        server->stop();
    });

    const bool ok = server->listen_after_bind();
    if (!ok) {
        // listen ended on its own: let the signal thread finish too.
        pthread_kill(signalThread.native_handle(), SIGTERM);
    }
    signalThread.join();
    return ok ? 0 : 1;
}
