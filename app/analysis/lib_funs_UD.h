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

class lib_funs_UD {
  public:
    lib_funs_UD() = default;

    uint64_t fun_UD_GetRank(const std::string& installPath, const std::string& Str_AppName,
                            const std::string& Str_Publisher) const;
    bool fun_UD_IsSpecialRemove(const std::string& installPath, const std::string& Str_AppName,
                                const std::string& Str_Publisher) const;

    // The probes, in the order the rank runs them.
    bool fun_UD_IsHaveLF_in_UsersShared(const std::string& installPath,
                                        const std::string& Str_AppName,
                                        const std::string& Str_Publisher) const;
    bool fun_UD_IsHaveLF_in_ApplicationSupport(const std::string& installPath,
                                               const std::string& Str_AppName,
                                               const std::string& Str_Publisher) const;
    bool fun_UD_IsHaveLF_in_HomeDir_ApplicationSupport(const std::string& installPath,
                                                       const std::string& Str_AppName,
                                                       const std::string& Str_Publisher) const;
    bool fun_UD_IsHaveLF_in_Preferences(const std::string& installPath,
                                        const std::string& Str_AppName,
                                        const std::string& Str_Publisher) const;
    bool fun_UD_IsHaveLF_in_HomeDir_Preferences(const std::string& installPath,
                                                const std::string& Str_AppName,
                                                const std::string& Str_Publisher) const;
    bool fun_UD_IsHaveLF_in_Receipts(const std::string& installPath, const std::string& Str_AppName,
                                     const std::string& Str_Publisher) const;
    bool fun_UD_IsHaveLF_in_Caches(const std::string& installPath, const std::string& Str_AppName,
                                   const std::string& Str_Publisher) const;
    bool fun_UD_IsHaveLF_in_Cookies(const std::string& installPath, const std::string& Str_AppName,
                                    const std::string& Str_Publisher) const;
    bool fun_UD_IsHaveLF_in_ApplictionState(const std::string& installPath,
                                            const std::string& Str_AppName,
                                            const std::string& Str_Publisher) const;
    bool fun_UD_IsHaveLF_in_Containers(const std::string& installPath,
                                       const std::string& Str_AppName,
                                       const std::string& Str_Publisher) const;
    bool fun_UD_IsHaveLF_in_GroupContainers(const std::string& installPath,
                                            const std::string& Str_AppName,
                                            const std::string& Str_Publisher) const;
    bool fun_UD_IsHaveLF_forPlist_in_Preferences(const std::string& installPath,
                                                 const std::string& Str_AppName,
                                                 const std::string& Str_Publisher) const;
    bool fun_UD_IsHaveLF_in_SFL(const std::string& installPath, const std::string& Str_AppName,
                                const std::string& Str_Publisher) const;
    bool fun_UD_ISHavelf_in_DirEx_Library(const std::string& installPath,
                                          const std::string& Str_AppName,
                                          const std::string& Str_Publisher) const;
    bool fun_UD_ISHavelf_in_DirEx_Frameworks(const std::string& installPath,
                                             const std::string& Str_AppName,
                                             const std::string& Str_Publisher) const;
    bool fun_UD_ISHavelf_in_DirEx_Plugins(const std::string& installPath,
                                          const std::string& Str_AppName,
                                          const std::string& Str_Publisher) const;
    bool fun_UD_ISHavelf_in_DirEx_XPCServices(const std::string& installPath,
                                              const std::string& Str_AppName,
                                              const std::string& Str_Publisher) const;
    bool fun_UD_ISHavelf_in_DirEx_Helpers(const std::string& installPath,
                                          const std::string& Str_AppName,
                                          const std::string& Str_Publisher) const;

    using Probe = bool (lib_funs_UD::*)(const std::string&, const std::string&,
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
