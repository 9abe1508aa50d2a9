// vendrel-server itself: it serves only the folder it was given, whatever the request says.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/support/server.h"

namespace vendrel {
namespace {

// One raw request, sent as written (an HTTP client would tidy the path first); the answer.
std::string rawRequest(int port, const std::string& request) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::write(fd, request.data(), request.size()) == static_cast<ssize_t>(request.size())) {
        char buf[4096];
        for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;)
            answer.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return answer;
}

TEST(VendrelServer, ServesOnlyItsFolder) {
    test::TestServer server;
    server.put("/qd_default_update_rw/new_info.txt", "published");
    const struct {
        const char* path;
        bool served;
    } rows[] = {
        {"/qd_default_update_rw/new_info.txt", true},
        {"//qd_default_update_rw//new_info.txt", true},
        // The port file lies beside the served folder.
        {"/../port", false},
        {"/qd_default_update_rw/../../port", false},
        {"/%2e%2e/port", false},
        {"/qd_default_update_rw/./new_info.txt", false},
        {"/qd_default_update_rw", false},  // a folder
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        const std::string answer = rawRequest(
            server.port(), std::string("GET ") + row.path + " HTTP/1.0\r\nHost: x\r\n\r\n");
        ASSERT_FALSE(answer.empty());
        if (row.served) {
            EXPECT_EQ(answer.rfind("HTTP/1.1 200", 0), 0u) << answer;
            EXPECT_EQ(answer.substr(answer.size() - 9), "published");
        } else {
            EXPECT_EQ(answer.rfind("HTTP/1.1 404", 0), 0u) << answer;
            EXPECT_EQ(answer.find(std::to_string(server.port())), std::string::npos) << answer;
        }
    }
}

TEST(VendrelServer, LogsOnlyTheTwoForms) {
    test::TestServer server;
    const std::string post = "POST /other HTTP/1.0\r\nContent-Length: 3\r\n\r\nabc";
    EXPECT_EQ(rawRequest(server.port(), post).rfind("HTTP/1.1 404", 0), 0u);
    const std::string form =
        "POST /apps_comment/comment/add HTTP/1.0\r\nContent-Type: "
        "application/x-www-form-urlencoded\r\nContent-Length: 3\r\n\r\na=b";
    EXPECT_EQ(rawRequest(server.port(), form).rfind("HTTP/1.1 200", 0), 0u);
    const auto posts = server.posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].path, "/apps_comment/comment/add");
    EXPECT_EQ(posts[0].body, "a=b");
}

}  // namespace
}  // namespace vendrel
