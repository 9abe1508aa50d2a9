// HTTP against the real server stand-in on 127.0.0.1.
#include "platform/http.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <set>

#include "tests/support/server.h"

namespace vendrel::platform::http {
namespace {

using namespace std::string_literals;
using test::ScopedEnv;
using test::TestServer;

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(HttpGet, ReturnsTheBodyByteForByteWhateverTheStatus) {
    TestServer server(TestServer::Options().status("/broken.txt", 500));
    const std::string bytes = "line one\r\nline\0two\n\xff\xfe end"s;
    server.put("/files/data.txt", bytes);
    server.put("/broken.txt", "rm -rf from an error page");

    Response r = get(serverUrl("/files/data.txt"), 10.0);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, bytes);

    // Error pages are answers, not transport errors: the callers decide what a body means.
    r = get(serverUrl("/broken.txt"), 10.0);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.status, 500);
    EXPECT_EQ(r.body, "rm -rf from an error page");

    r = get(serverUrl("/missing.txt"), 10.0);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.status, 404);
    EXPECT_NE(r.body.find("Not Found"), std::string::npos);
}

TEST(HttpGet, TransportErrors) {
    // Nothing listening: refused at once, well before the time-out.
    {
        ScopedEnv url("VENDREL_SERVER_URL", test::unreachableServerUrl());
        Response r = get(serverUrl("/x.txt"), 10.0);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.error.empty());
        EXPECT_TRUE(r.body.empty());
    }
    // An answer slower than the time-out; a slow answer within it arrives.
    {
        TestServer server(TestServer::Options().delay("/slow.txt", 2.0).delay("/late.txt", 0.3));
        server.put("/slow.txt", "slow");
        server.put("/late.txt", "late");
        Response r = get(serverUrl("/slow.txt"), 0.5);
        EXPECT_FALSE(r.ok);
        r = get(serverUrl("/late.txt"), 10.0);
        EXPECT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.body, "late");
    }
    // A runaway body is cut off instead of filling memory.
    {
        TestServer server;
        server.put("/huge.txt", std::string(kMaxBodyBytes + 1, 'x'));
        server.put("/limit.txt", std::string(kMaxBodyBytes, 'x'));
        EXPECT_FALSE(get(serverUrl("/huge.txt"), 30.0).ok);
        EXPECT_EQ(get(serverUrl("/limit.txt"), 30.0).body.size(), kMaxBodyBytes);
    }
}

TEST(HttpGet, HttpsVerifiesTheCertificate) {
    TestServer server(TestServer::Options().https());
    server.put("/secure.txt", "over TLS");
    ASSERT_EQ(server.url().rfind("https://", 0), 0u);

    // The server's own certificate as the trust store (the test server sets it).
    Response r = get(serverUrl("/secure.txt"), 10.0);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.body, "over TLS");

    // A self-signed certificate the system does not trust is a transport error.
    {
        ScopedEnv noCa("VENDREL_CA_FILE", std::nullopt);
        EXPECT_FALSE(get(serverUrl("/secure.txt"), 10.0).ok);
    }
    // Speaking plain HTTP to a TLS port fails too.
    EXPECT_FALSE(get("http://127.0.0.1:" + std::to_string(server.port()) + "/secure.txt", 5.0).ok);
}

TEST(HttpServerUrl, RunTimeOverrideAndDefault) {
    {
        ScopedEnv url("VENDREL_SERVER_URL", "http://127.0.0.1:8080//");
        EXPECT_EQ(serverUrl("/qd_default_update_rw/new_info.txt"),
                  "http://127.0.0.1:8080/qd_default_update_rw/new_info.txt");
    }
    for (const std::optional<std::string>& unset : {std::optional<std::string>(), {""}}) {
        ScopedEnv url("VENDREL_SERVER_URL", unset);
        EXPECT_EQ(serverBaseUrl().rfind("https://", 0), 0u) << serverBaseUrl();
    }
}

TEST(HttpEscape, KeepsANameOnePathSegment) {
    const struct {
        const char* in;
        const char* out;
    } rows[] = {
        {"example-app.app.txt", "example-app.app.txt"},
        {"a b~c_d.txt", "a%20b~c_d.txt"},
        {"what?#x%y/z.txt", "what%3F%23x%25y%2Fz.txt"},
        {"caf\xc3\xa9.app.txt", "caf%C3%A9.app.txt"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.in);
        EXPECT_EQ(escapePathSegment(row.in), row.out);
    }
}

TEST(HttpPost, TheServerReceivesTheExactBytes) {
    TestServer server;
    const std::string bodies[] = {
        "softwarename=Some App&os=10.15&os_32_64=64&cd_key={A}",
        "comment=E-mail: a@b\r\n\r\nx=y&z\xff\x00 end"s, "",
        std::string(5000, 'r'),  // longer than libcurl's 100-continue threshold
    };
    for (const auto& body : bodies)
        EXPECT_TRUE(postForm(serverUrl("/apps_comment/comment/add"), body));
    ASSERT_TRUE(waitForPosts(10.0));

    const auto posts = server.waitForPosts(std::size(bodies));
    ASSERT_EQ(posts.size(), std::size(bodies));
    // The posts run in parallel: compare without regard to order.
    std::multiset<std::string> sent(std::begin(bodies), std::end(bodies)), received;
    for (const auto& p : posts) {
        EXPECT_EQ(p.path, "/apps_comment/comment/add");
        EXPECT_EQ(p.contentType, "application/x-www-form-urlencoded");
        received.insert(p.body);
    }
    EXPECT_EQ(received, sent);
}

TEST(HttpPost, NeverHoldsUpTheCaller) {
    TestServer server(TestServer::Options().hang("/ucloudcenter/uninstall.php"));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(postForm(serverUrl("/ucloudcenter/uninstall.php"), "softwarename=x"));
    EXPECT_LT(secondsSince(start), 2.0);
    EXPECT_FALSE(waitForPosts(0.2));  // still waiting for an answer that never comes
}

// Run by the next test in a process of its own: starts a post and leaves at once.
TEST(HttpPost, DISABLED_PostAndExit) {
    const char* url = std::getenv("VENDREL_TEST_POST_URL");
    ASSERT_NE(url, nullptr);
    EXPECT_TRUE(postForm(url, "softwarename=y"));
    std::exit(0);
}

TEST(HttpPost, NeverHoldsUpTheEndOfTheProgram) {
    TestServer server(TestServer::Options().hang("/ucloudcenter/uninstall.php"));
    ScopedEnv url("VENDREL_TEST_POST_URL", serverUrl("/ucloudcenter/uninstall.php"));
    const std::string output = ::testing::TempDir() + "post-and-exit.out";
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = test::startProcess({"/proc/self/exe", "--gtest_also_run_disabled_tests",
                                          "--gtest_filter=HttpPost.DISABLED_PostAndExit"},
                                         output);
    ASSERT_GT(pid, 0);
    // The bounded grace period at exit, then the post is abandoned.
    const std::optional<int> status = test::waitProcess(pid, kPostTimeoutSeconds + 5.0);
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
    EXPECT_LT(secondsSince(start), kPostTimeoutSeconds);
    // The post did reach the server before the program gave up on its answer.
    EXPECT_EQ(server.requestedPaths(), std::vector<std::string>{"/ucloudcenter/uninstall.php"});
}

}  // namespace
}  // namespace vendrel::platform::http
