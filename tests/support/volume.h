// A temporary macOS volume for one test: a fresh folder that VENDREL_ROOT points at, with
// a user home ("/Users/tester") that VENDREL_HOME points at. Both variables are restored
// and the folder removed when the volume goes away.
//
//   TempVolume vol;                        // host: /tmp/vendrel-vol-XXXXXX
//   vol.write("/Library/Caches/com.foo/x", "abc");
//   vol.makeBundle("/Applications/Foo.app", {{"CFBundleName", "Foo"}});
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/plist.h"

namespace vendrel::test {

class TempVolume {
  public:
    explicit TempVolume(std::string home = "/Users/tester");
    ~TempVolume();
    TempVolume(const TempVolume&) = delete;
    TempVolume& operator=(const TempVolume&) = delete;

    const std::string& root() const { return root_; }  // host path
    const std::string& home() const { return home_; }  // logical path
    std::string host(std::string_view logical) const;

    void mkdir(std::string_view logical) const;
    void write(std::string_view logical, std::string_view content) const;
    std::string read(std::string_view logical) const;
    void symlink(std::string_view target, std::string_view logicalLink) const;
    bool exists(std::string_view logical) const;  // lstat: a dangling link exists
    // A bundle folder with Contents/Info.plist written as XML (or binary when asked).
    void makeBundle(std::string_view logical, const platform::plist::Dictionary& info,
                    bool binary = false) const;

  private:
    std::string root_;
    std::string home_;
    std::optional<std::string> savedRoot_, savedHome_;
};

// The raw bytes of a binary property list for `info` (written with libplist's writer).
std::string binaryPlist(const platform::plist::Dictionary& info);
// What libplist's XML reader finds in `xml`, written back by its binary writer; empty when
// libplist refuses the XML.
std::string binaryPlistFromXml(std::string_view xml);

// Path of a program built by this build tree ("Vendrel", "vendrel-server", ...).
std::string builtProgram(std::string_view name);

}  // namespace vendrel::test
