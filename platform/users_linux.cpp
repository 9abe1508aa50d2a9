#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "platform/users.h"

namespace vendrel::platform::users {
namespace {

struct Account {
    std::string name;
    gid_t group = 0;
};

std::optional<Account> account(uint32_t uid) {
    std::vector<char> buffer(16384);
    passwd pw{};
    passwd* found = nullptr;
    if (::getpwuid_r(static_cast<uid_t>(uid), &pw, buffer.data(), buffer.size(), &found) != 0 ||
        !found || !found->pw_name)
        return std::nullopt;
    return Account{found->pw_name, found->pw_gid};
}

}  // namespace

bool isAdministrator(uint32_t uid) {
    if (uid == 0)
        return true;
    const auto user = account(uid);
    if (!user)
        return false;
    for (const char* name : {"admin", "sudo", "wheel"}) {
        std::vector<char> buffer(65536);
        group gr{};
        group* found = nullptr;
        if (::getgrnam_r(name, &gr, buffer.data(), buffer.size(), &found) != 0 || !found)
            continue;
        // The first group of the list that exists is the administrators'; the others are not
        // consulted (on a host with "admin", "sudo" may mean something narrower).
        if (found->gr_gid == user->group)
            return true;
        for (char** member = found->gr_mem; member && *member; ++member)
            if (user->name == *member)
                return true;
        return false;
    }
    return false;
}

std::optional<std::string> homeOf(uint32_t uid) {
    if (uid == 0)
        return "/private/var/root";
    const auto user = account(uid);
    if (!user || user->name.empty() || user->name == "." || user->name == ".." ||
        user->name.find('/') != std::string::npos)
        return std::nullopt;
    return "/Users/" + user->name;
}

}  // namespace vendrel::platform::users
