// The uninstall difficulty rater.
//
// The rank counts in how many well-known places an application has left something: 1 + 2k
// for k of the 18 probes answering true (odd, 1 to 37), or 255 for an application that needs
// special removal (a removal command list in force for it, or a bundle on the built-in
// special-removal list). The rater only reads the file system.
//
// Inputs of every operation, from the selected installed-app record: the install path (no
// trailing separator), the display name and the publisher (the bundle identifier).
//
// Untrusted inputs. Name and identifier come from the bundle's Info.plist. A name that is not
// usable as a folder name (empty, blank, "/", ".", "..") exists nowhere, so
// "/Users/Shared" joined with "" is not taken for a trace; an identifier that is not specific
// enough to name one product ("", "N/A", "com", ...) is contained in no entry, because the
// removal would not sweep with it either (common/guard.h). Both can only lower the rank.
//
// Bundle-content probes (14 to 18) look for the folder where a bundle carries it,
// "<bundle>/Contents/<name>", and, for bundles laid out without a Contents folder,
// "<bundle>/<name>"; either one makes the probe true (it still adds 2, like every probe).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vendrel {

inline constexpr uint64_t kSpecialRemovalRank = 255;

class DifficultyRater {
  public:
    DifficultyRater() = default;

    uint64_t rank(const std::string& installPath, const std::string& appName,
                  const std::string& bundleId) const;
    bool needsSpecialRemoval(const std::string& installPath, const std::string& appName,
                             const std::string& bundleId) const;

    // The probes, in the order the rank runs them.
    bool inUsersShared(const std::string& installPath, const std::string& appName,
                       const std::string& bundleId) const;
    bool inApplicationSupport(const std::string& installPath, const std::string& appName,
                              const std::string& bundleId) const;
    bool inHomeApplicationSupport(const std::string& installPath, const std::string& appName,
                                  const std::string& bundleId) const;
    bool inPreferences(const std::string& installPath, const std::string& appName,
                       const std::string& bundleId) const;
    bool inHomePreferences(const std::string& installPath, const std::string& appName,
                           const std::string& bundleId) const;
    bool inReceipts(const std::string& installPath, const std::string& appName,
                    const std::string& bundleId) const;
    bool inCaches(const std::string& installPath, const std::string& appName,
                  const std::string& bundleId) const;
    bool inCookies(const std::string& installPath, const std::string& appName,
                   const std::string& bundleId) const;
    bool inSavedState(const std::string& installPath, const std::string& appName,
                      const std::string& bundleId) const;
    bool inContainers(const std::string& installPath, const std::string& appName,
                      const std::string& bundleId) const;
    bool inGroupContainers(const std::string& installPath, const std::string& appName,
                           const std::string& bundleId) const;
    bool inPreferencePlists(const std::string& installPath, const std::string& appName,
                            const std::string& bundleId) const;
    bool inSharedFileLists(const std::string& installPath, const std::string& appName,
                           const std::string& bundleId) const;
    bool bundleHasLibrary(const std::string& installPath, const std::string& appName,
                          const std::string& bundleId) const;
    bool bundleHasFrameworks(const std::string& installPath, const std::string& appName,
                             const std::string& bundleId) const;
    bool bundleHasPlugins(const std::string& installPath, const std::string& appName,
                          const std::string& bundleId) const;
    bool bundleHasXPCServices(const std::string& installPath, const std::string& appName,
                              const std::string& bundleId) const;
    bool bundleHasHelpers(const std::string& installPath, const std::string& appName,
                          const std::string& bundleId) const;

    using Probe = bool (DifficultyRater::*)(const std::string&, const std::string&,
                                            const std::string&) const;
    struct NamedProbe {
        std::string_view name;
        Probe probe;
    };
    // The 18 probes in rank order, for the rank and for reports of which traces were found.
    static const std::array<NamedProbe, 18>& probes();
};

// The built-in special-removal list: bundle folder names (199 entries as shipped; one name
// appears twice), compared with the install path's last component under the string rule of
// names (case-insensitive, digit runs by value).
extern const std::array<std::string_view, 199> kSpecialRemovalBundles;

// Whether the command list request file is in force for this install path: it exists, is
// readable and was downloaded for this very path. A list left behind for another
// application is not in force (the daemon would not run it) and so does not rate this one.
bool removalCommandListInForce(const std::string& installPath);

}  // namespace vendrel
