// Which entries of the library folders belong to the application being removed.
//
// Users judge an uninstaller by one thing: it removes what belongs to the application and
// nothing else. The rules here are shared by the scanners, the engine, the per-product
// routines and the leftover finder, so that every remover draws the same line:
//
// - An identifier matches an entry at component boundaries only (case-insensitive, as on a
//   macOS volume): the entry equals it, continues it after "." ("com.foo.plist",
//   "com.foo.savedState", "com.foo.helper"), ends in it after "." ("group.com.foo",
//   "ABCDE12345.com.foo"), or continues it after a team or group prefix
//   ("ABCDE12345.com.foo.shared"). Never "com.foo2", "com.foobar", "xcom.foo".
// - A fragment without a dot (a routine's "mackeeper", "Paragon") matches as a word: where it
//   occurs, the characters on either side are not letters or digits.
// - A name matches an entry that equals it or equals it with an extension ("Foo",
//   "Foo.log"); never "Foo Tools" or "Foo2".
// - A launchd job belongs to a folder only when its program lies inside that folder (the
//   program path continues the folder's path with "/").
// - Names and identifiers too short or too generic to mean one product match nothing.
// - An entry that matches the removed application but matches another installed
//   application more specifically (a longer identifier or name) belongs to that other
//   application and stays (see Ownership).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vendrel::leftovers {

bool identifierMatches(std::string_view entry, std::string_view identifier);
bool nameMatches(std::string_view entry, std::string_view name);
// A routine's or the engine's match fragment: identifier rule when it holds a dot, word rule
// otherwise. An unusable fragment (blank, dots only) matches nothing.
bool fragmentMatches(std::string_view entry, std::string_view fragment);
bool programLiesIn(std::string_view program, std::string_view folder);

// A display name specific enough to name one product's folders: usable as a folder name, at
// least three characters, and not a word every product uses ("Helper", "Updater", ...).
bool isSpecificName(std::string_view name);
// An identifier specific enough to match one product: guard::isUsableIdentifier, at least two
// characters besides dots after its first component, and at least six in all.
bool isSpecificIdentifier(std::string_view identifier);

// One installed application (or preference pane) as the matching rules see it.
struct AppIdentity {
    std::string bundlePath;
    std::string identifier;          // CFBundleIdentifier, trimmed; empty when unusable
    std::vector<std::string> names;  // CFBundleName and the bundle's file name without
                                     // extension, when specific; no duplicates
};

// Reads the identity of the bundle at `bundlePath` (its Info.plist), or of a bundle that
// is gone when `fallbackName`/`fallbackIdentifier` are given.
AppIdentity identityOf(const std::string& bundlePath, const std::string& fallbackName = {},
                       const std::string& fallbackIdentifier = {});

// The applications and preference panes installed on the volume: "/Applications" and its
// sub-folders, the home's Applications, and both PreferencePanes folders. Linked folders are
// not searched.
std::vector<AppIdentity> installedApplications();

// The removal in progress: the application that goes, and every other installed one.
class Ownership {
  public:
    // `others` must not hold the removed bundle; entries with the removed bundle's path are
    // dropped.
    Ownership(AppIdentity removed, std::vector<AppIdentity> others);
    // Scans the volume for the others.
    static std::shared_ptr<const Ownership> forRemoval(const std::string& installPath,
                                                       const std::string& name,
                                                       const std::string& identifier);

    const AppIdentity& removed() const { return removed_; }
    const std::vector<AppIdentity>& others() const { return others_; }

    // The other application that `entryName` belongs to more specifically than to the
    // fragment (or name) it was matched on, if any.
    const AppIdentity* claimant(std::string_view entryName, std::string_view matchedOn) const;
    // The other application whose data lies directly inside the folder at `path` (an entry
    // named after its identifier or one of its names), if any: such a folder is shared.
    const AppIdentity* holderInside(const std::string& path) const;

  private:
    AppIdentity removed_;
    std::vector<AppIdentity> others_;
};

// Makes an Ownership the current one on this thread for the scope's life (scopes nest).
// The scanners and routines consult it; without one, only the boundary rules apply.
class OwnershipScope {
  public:
    explicit OwnershipScope(std::shared_ptr<const Ownership> ownership);
    ~OwnershipScope();
    OwnershipScope(const OwnershipScope&) = delete;
    OwnershipScope& operator=(const OwnershipScope&) = delete;

  private:
    std::shared_ptr<const Ownership> previous_;
};
const Ownership* currentOwnership();

// The scanners' test: the fragment matches the entry's name, and no other installed
// application claims it (a journal line says which one when it does).
bool belongsToRemoval(const std::string& entryPath, std::string_view fragment);

}  // namespace vendrel::leftovers
