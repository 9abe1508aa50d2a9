// The XPC stand-in over real local sockets on a temporary volume: framing limits, one thread
// per connection, shutdown, and the identity of the process at the other end.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <thread>

#include "platform/xpc.h"
#include "tests/support/volume.h"

namespace vendrel::platform::xpc {
namespace {

constexpr std::string_view kService = "com.example.TestService";

// A listener of its own serving on a background thread, stopped and joined at the end.
struct Served {
    explicit Served(Listener::Handler handler, std::string_view service = kService) {
        std::string error;
        listener = Listener::create(service, &error);
        if (!listener)
            throw std::runtime_error(error);
        thread = std::thread([this, handler] { listener->run(handler); });
    }
    ~Served() {
        listener->stop();
        thread.join();
    }
    std::unique_ptr<Listener> listener;
    std::thread thread;
};

TEST(Xpc, FramesUpToTheCapArriveWholeAndOthersEndTheConnection) {
    test::TempVolume vol;
    Served served([](Connection& c, const PeerIdentity&) {
        while (auto frame = c.receive())
            c.send(std::to_string(frame->size()));
    });
    for (size_t size : {size_t{0}, size_t{1}, size_t{kMaxFramePayload}}) {
        SCOPED_TRACE(size);
        auto c = connectToService(kService);
        ASSERT_TRUE(c);
        ASSERT_TRUE(c->send(std::string(size, 'x')));
        EXPECT_EQ(c->receive(10), std::to_string(size));
    }
    auto c = connectToService(kService);
    ASSERT_TRUE(c);
    EXPECT_FALSE(c->send(std::string(kMaxFramePayload + 1, 'x')));

    struct Raw {
        const char* name;
        std::string bytes;
    };
    const Raw raws[] = {
        {"length over the cap", std::string("\x00\x01\x00\x01", 4)},
        {"truncated payload", std::string("\x00\x00\x00\x10"
                                          "abc",
                                          7)},
        {"truncated header", std::string("\x00\x00", 2)},
    };
    for (const auto& r : raws) {
        SCOPED_TRACE(r.name);
        auto raw = connectToService(kService);
        ASSERT_TRUE(raw);
        ASSERT_EQ(::send(raw->fd(), r.bytes.data(), r.bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(r.bytes.size()));
        ::shutdown(raw->fd(), SHUT_WR);
        EXPECT_EQ(raw->receive(10), std::nullopt);
    }
}

TEST(Xpc, EachConnectionIsServedOnItsOwnThreadAndStopWaitsForWorkInProgress) {
    test::TempVolume vol;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> finished{0};
    auto served = std::make_unique<Served>([&](Connection& c, const PeerIdentity&) {
        while (auto frame = c.receive()) {
            if (*frame == "slow")
                released.wait();
            c.send("done " + *frame);
            ++finished;
        }
    });
    auto slow = connectToService(kService);
    auto idle = connectToService(kService);  // open, never sends: must not hold up the stop
    ASSERT_TRUE(slow && idle && slow->send("slow"));
    auto fast = connectToService(kService);
    ASSERT_TRUE(fast && fast->send("fast"));
    EXPECT_EQ(fast->receive(10), "done fast");  // not queued behind the slow one

    auto stopped = std::async(std::launch::async, [&] { served.reset(); });
    EXPECT_EQ(stopped.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    release.set_value();
    stopped.get();
    EXPECT_EQ(slow->receive(10), "done slow");
    EXPECT_EQ(finished, 2);
    EXPECT_EQ(connectToService(kService), nullptr);
}

TEST(Xpc, PeerIsTheExecutableOnTheVolumeWhileItLives) {
    test::TempVolume vol;
    const std::string logical = "/Applications/Probe.app/Contents/MacOS/Probe";
    std::filesystem::create_directories(vol.host("/Applications/Probe.app/Contents/MacOS"));
    std::filesystem::copy_file(test::builtProgram("Vendrel"), vol.host(logical));

    // A client that sends and waits for its answer is identified by its executable's logical
    // path; one outside the volume is not identified at all.
    // The application's client speaks to the daemon's service.
    constexpr std::string_view kDaemonService = "com.Vendrel.Ostrand.DaemonServer";
    std::promise<PeerIdentity> seen;
    {
        Served served(
            [&](Connection& c, const PeerIdentity& p) {
                seen.set_value(p);
                c.receive(5);
            },
            kDaemonService);
        std::string cmd = vol.host(logical) + " daemon-send kill-self --timeout 2 >/dev/null 2>&1";
        (void)std::system(cmd.c_str());
        auto future = seen.get_future();
        ASSERT_EQ(future.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        auto peer = future.get();
        EXPECT_EQ(peer.executable, logical) << peer.problem;
        EXPECT_GT(peer.pid, 0);
    }

    // A client that is gone by the time its connection is accepted cannot be vouched for.
    std::string error;
    int fd = listenAt(serviceSocketPath(kDaemonService), &error);
    ASSERT_GE(fd, 0) << error;
    std::string cmd = vol.host(logical) + " daemon-send kill-self --timeout 0 >/dev/null 2>&1";
    (void)std::system(cmd.c_str());
    int c = ::accept(fd, nullptr, nullptr);
    ASSERT_GE(c, 0);
    auto late = identifyPeer(c);
    EXPECT_EQ(late.executable, std::nullopt);
    EXPECT_FALSE(late.problem.empty());
    ::close(c);
    ::close(fd);

    auto self = [] {
        int pair[2];
        ::socketpair(AF_UNIX, SOCK_STREAM, 0, pair);
        auto p = identifyPeer(pair[0]);
        ::close(pair[0]);
        ::close(pair[1]);
        return p;
    }();
    EXPECT_EQ(self.pid, ::getpid());
    EXPECT_EQ(self.executable, std::nullopt);  // the test program lies outside the volume
}

}  // namespace
}  // namespace vendrel::platform::xpc
