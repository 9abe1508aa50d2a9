#include "tests/support/server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "tests/support/volume.h"

extern char** environ;

namespace vendrel::test {
namespace stdfs = std::filesystem;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string decodeBase64(const std::string& text) {
    std::string out(3 * (text.size() / 4) + 3, '\0');
    const int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                  reinterpret_cast<const unsigned char*>(text.data()),
                                  static_cast<int>(text.size()));
    if (n < 0)
        throw std::runtime_error("vendrel-server wrote invalid base64");
    size_t size = static_cast<size_t>(n);
    // EVP_DecodeBlock counts the padding as zero bytes.
    for (auto it = text.rbegin(); it != text.rend() && *it == '='; ++it)
        --size;
    out.resize(size);
    return out;
}

std::vector<nlohmann::json> readJsonLines(const std::string& path) {
    // Only whole lines: the server may be writing the last one right now.
    std::vector<nlohmann::json> lines;
    const std::string text = slurp(path);
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        if (end > start)
            lines.push_back(nlohmann::json::parse(text.substr(start, end - start)));
    }
    return lines;
}

}  // namespace

Certificate makeSelfSignedCertificate(const std::string& folder) {
    Certificate c{folder + "/cert.pem", folder + "/key.pem"};
    const pid_t pid = startProcess(
        {"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
         "-nodes", "-keyout", c.keyFile, "-out", c.certFile, "-days", "2", "-subj", "/CN=127.0.0.1",
         "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost"},
        folder + "/openssl.out");
    const std::optional<int> status = pid < 0 ? std::optional<int>() : waitProcess(pid, 30.0);
    if (!status || !WIFEXITED(*status) || WEXITSTATUS(*status) != 0)
        throw std::runtime_error("openssl could not make a certificate: " +
                                 slurp(folder + "/openssl.out"));
    return c;
}

std::string unreachableServerUrl() {
    // Bind a socket to a free port and close it again without listening: until something
    // else takes the port, connecting to it is refused.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        throw std::runtime_error("no free port on 127.0.0.1");
    ::close(fd);
    return "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
}

TestServer::TestServer() : TestServer(Options{}) {}

TestServer::TestServer(Options options) {
    std::string tmpl = (stdfs::temp_directory_path() / "vendrel-server-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    dir_ = tmpl;
    stdfs::create_directories(dir_ + "/root");

    std::vector<std::string> args = {builtProgram("vendrel-server"),
                                     "--root",
                                     dir_ + "/root",
                                     "--port-file",
                                     dir_ + "/port",
                                     "--log",
                                     dir_ + "/posts.log",
                                     "--access-log",
                                     dir_ + "/access.log"};
    for (const auto& p : options.hangPaths)
        args.insert(args.end(), {"--hang", p});
    for (const auto& [p, s] : options.delays)
        args.insert(args.end(), {"--delay", p + "=" + std::to_string(s)});
    for (const auto& [p, code] : options.statuses)
        args.insert(args.end(), {"--status", p + "=" + std::to_string(code)});
    if (options.useHttps) {
        cert_ = makeSelfSignedCertificate(dir_);
        args.insert(args.end(), {"--cert", cert_.certFile, "--key", cert_.keyFile});
    }

    pid_ = startProcess(args, dir_ + "/output");
    if (pid_ < 0)
        throw std::runtime_error("cannot start " + args[0]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!stdfs::exists(dir_ + "/port")) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("vendrel-server ended early: " + slurp(dir_ + "/output"));
        }
        if (std::chrono::steady_clock::now() > deadline) {
            stop();
            throw std::runtime_error("vendrel-server did not start: " + slurp(dir_ + "/output"));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    port_ = std::stoi(slurp(dir_ + "/port"));
    url_ =
        std::string(options.useHttps ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_);
    urlEnv_.emplace("VENDREL_SERVER_URL", url_);
    if (options.useHttps)
        caEnv_.emplace("VENDREL_CA_FILE", cert_.certFile);
}

TestServer::~TestServer() {
    stop();
    caEnv_.reset();
    urlEnv_.reset();
    std::error_code ec;
    stdfs::remove_all(dir_, ec);
}

void TestServer::stop() {
    if (pid_ < 0)
        return;
    ::kill(pid_, SIGTERM);
    if (!waitProcess(pid_, 5.0)) {
        ::kill(pid_, SIGKILL);
        waitProcess(pid_, 5.0);
    }
    pid_ = -1;
}

void TestServer::put(std::string_view urlPath, std::string_view content) const {
    const stdfs::path p = dir_ + "/root" + std::string(urlPath);
    stdfs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

void TestServer::remove(std::string_view urlPath) const {
    std::error_code ec;
    stdfs::remove(dir_ + "/root" + std::string(urlPath), ec);
}

std::vector<ReceivedPost> TestServer::posts() const {
    std::vector<ReceivedPost> out;
    for (const auto& j : readJsonLines(dir_ + "/posts.log")) {
        out.push_back({j.at("path").get<std::string>(), j.at("content_type").get<std::string>(),
                       decodeBase64(j.at("body_base64").get<std::string>())});
    }
    return out;
}

std::vector<ReceivedPost> TestServer::waitForPosts(size_t count, double seconds) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    auto got = posts();
    while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        got = posts();
    }
    return got;
}

std::vector<std::string> TestServer::requestedPaths() const {
    std::vector<std::string> out;
    for (const auto& j : readJsonLines(dir_ + "/access.log"))
        out.push_back(j.at("path").get<std::string>());
    return out;
}

}  // namespace vendrel::test
