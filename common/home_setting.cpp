#include "common/home_setting.h"

#include <mutex>

namespace vendrel {
namespace {

std::mutex g_homeMutex;
std::optional<std::string> g_home;

}  // namespace

void setHomeDirectory(const std::optional<std::string>& home) {
    std::lock_guard lock(g_homeMutex);
    g_home = home;
}

std::optional<std::string> homeDirectorySetting() {
    std::lock_guard lock(g_homeMutex);
    return g_home;
}

}  // namespace vendrel
