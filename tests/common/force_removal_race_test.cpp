// Check-then-use in root force removal: a racer swaps the bundle folder with a link to a
// folder outside the volume (renameat2 RENAME_EXCHANGE) while the removal runs. The removal
// holds descriptors, so whatever the interleaving, nothing outside changes mode or goes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "common/force_removal.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

using test::TempVolume;
namespace stdfs = std::filesystem;

TEST(ForceRemovalRace, ALinkSwappedInReachesNothingOutside) {
    TempVolume outside;
    outside.write("/victim/secret", "keep");
    outside.write("/victim/sub/file", "keep");
    ASSERT_EQ(::chmod(outside.host("/victim/secret").c_str(), 0600), 0);
    ASSERT_EQ(::chmod(outside.host("/victim/sub").c_str(), 0755), 0);
    TempVolume vol;
    const std::string bundle = vol.host("/Applications/Race.app");
    const std::string swap = vol.host("/Applications/Swap");

    constexpr int kRounds = 300;
    int swapsSeen = 0;
    for (int round = 0; round < kRounds; ++round) {
        std::error_code ec;
        stdfs::remove_all(bundle, ec);
        stdfs::remove_all(swap, ec);
        vol.write("/Applications/Race.app/secret", "mine");
        vol.write("/Applications/Race.app/sub/file", "mine");
        // Odd rounds aim at a file, even rounds at a folder with contents.
        const std::string target = outside.host(round % 2 ? "/victim/secret" : "/victim/sub");
        ASSERT_EQ(::symlink(target.c_str(), swap.c_str()), 0);

        std::atomic<bool> stop{false};
        std::atomic<int> swaps{0};
        std::thread racer([&] {
            while (!stop.load()) {
                if (::syscall(SYS_renameat2, AT_FDCWD, bundle.c_str(), AT_FDCWD, swap.c_str(),
                              RENAME_EXCHANGE) == 0)
                    ++swaps;
            }
        });
        forceRemove("/Applications/Race.app");
        stop = true;
        racer.join();
        swapsSeen += swaps.load();

        struct stat st {};
        ASSERT_EQ(::stat(outside.host("/victim/secret").c_str(), &st), 0) << "round " << round;
        ASSERT_EQ(st.st_mode & 07777, 0600u) << "round " << round;
        ASSERT_EQ(::stat(outside.host("/victim/sub").c_str(), &st), 0) << "round " << round;
        ASSERT_EQ(st.st_mode & 07777, 0755u) << "round " << round;
        ASSERT_EQ(outside.read("/victim/sub/file"), "keep") << "round " << round;
    }
    EXPECT_GT(swapsSeen, 0);  // the racer did race
}

}  // namespace
}  // namespace vendrel
