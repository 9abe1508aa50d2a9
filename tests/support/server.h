// The maker's web server stand-in (tools/server, vendrel-server) as a real process for one
// test: started on a free port of 127.0.0.1 with a fresh folder to serve, waited for until it
// listens, and stopped when the object goes away. While it runs, VENDREL_SERVER_URL points
// at it (and VENDREL_CA_FILE at its certificate when it serves HTTPS); both are restored.
//
//   TestServer server;
//   server.put("/qd_default_update_rw/new_info.txt", plistText);
//   ... code under test fetches or posts ...
//   auto posts = server.waitForPosts(1);
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/env.h"

namespace vendrel::test {

// One form post as the server received it.
struct ReceivedPost {
    std::string path;
    std::string contentType;
    std::string body;  // the raw bytes
};

// A PEM certificate for "127.0.0.1" and "localhost" with its key, made by the openssl
// program into `folder` (host path). Throws when openssl fails.
struct Certificate {
    std::string certFile;
    std::string keyFile;
};
Certificate makeSelfSignedCertificate(const std::string& folder);

// A base address on 127.0.0.1 where nothing listens (connections are refused at once).
std::string unreachableServerUrl();

class TestServer {
  public:
    // Built by chaining: TestServer::Options().hang("/x").delay("/y", 2.0).https()
    struct Options {
        std::vector<std::string> hangPaths;                  // never answered
        std::vector<std::pair<std::string, double>> delays;  // answered late (seconds)
        std::vector<std::pair<std::string, int>> statuses;   // served with this status
        bool useHttps = false;  // HTTPS with a fresh self-signed certificate

        Options& hang(std::string path) {
            hangPaths.push_back(std::move(path));
            return *this;
        }
        Options& delay(std::string path, double seconds) {
            delays.emplace_back(std::move(path), seconds);
            return *this;
        }
        Options& status(std::string path, int code) {
            statuses.emplace_back(std::move(path), code);
            return *this;
        }
        Options& https() {
            useHttps = true;
            return *this;
        }
    };

    TestServer();
    explicit TestServer(Options options);
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    int port() const { return port_; }
    const std::string& url() const { return url_; }  // "http://127.0.0.1:<port>"
    const std::string& certFile() const { return cert_.certFile; }

    // The served folder: `urlPath` is the path a client asks for.
    void put(std::string_view urlPath, std::string_view content) const;
    void remove(std::string_view urlPath) const;

    std::vector<ReceivedPost> posts() const;
    // Polls the post log until it holds `count` posts or `seconds` have passed.
    std::vector<ReceivedPost> waitForPosts(size_t count, double seconds = 10.0) const;
    // Paths of every request received so far, in order.
    std::vector<std::string> requestedPaths() const;

    void stop();

  private:
    std::string dir_;  // host folder: root/, posts.log, access.log, port, output
    pid_t pid_ = -1;
    int port_ = 0;
    std::string url_;
    Certificate cert_;
    std::optional<ScopedEnv> urlEnv_, caEnv_;
};

}  // namespace vendrel::test
