// The update check: is a version other than the running one published?
//
// "new_info.txt" on the maker's server is an XML property list: an array of exactly one
// dictionary whose "version" string is the latest release. It is downloaded, byte for byte,
// into the running bundle's Contents folder and read back from there; a failed download
// leaves no copy, so the notice never comes from stale data.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vendrel {

// The notice the main window shows when isUpdateAvailable is true.
inline constexpr std::string_view kUpdateNotice = "A new version is released. Update now for free!";

class UpdateCheck {
  public:
    // Refreshes the local copy: removes it, downloads the file (the platform's default
    // time-out) and writes whatever arrived atomically. Always true.
    static bool fetchNewInfo();
    // True when the published version differs from the running one in either direction
    // (compare options 65: "3.10" is not "3.9", "3.01" is "3.1").
    static bool isUpdateAvailable();

    // For front ends that say more than the notice.
    static std::string localCopyPath();
    // "CFBundleShortVersionString" of the running bundle.
    static std::optional<std::string> runningVersion();
    // The "version" of a well-formed local copy.
    static std::optional<std::string> publishedVersion();
};

}  // namespace vendrel
