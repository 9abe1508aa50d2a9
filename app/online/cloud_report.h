// The uninstall report and the review post: small form posts to the maker's server that are
// started and left alone (the answer is never read).
//
// Form texts, values inserted verbatim (no percent-encoding, so "&" and "=" in a value reach
// the server as they are):
//   uninstall report  "/ucloudcenter/uninstall.php"
//       softwarename=<name>&os=<os version>&os_32_64=64&cd_key=<key, or the object's GUID>
//   review            "/apps_comment/comment/add"
//       appname=Vendrel&comment=<comment>&name=<name>   (the name field only when not empty)
//   where the comment is "E-mail: <address>\r\n\r\n<review>" when an address was given.
#pragma once

#include <optional>
#include <string>

#include "app/catalogue/installed_app.h"

namespace vendrel {

class CloudReport {
  public:
    // Gives the object a new random GUID: "{" + upper-case UUID text + "}", 38 characters.
    CloudReport();

    std::string guid() const { return guid_.get(); }
    void setMpu_str_GUID(std::string guid) { guid_.set(std::move(guid)); }

    // True when the post was started.
    bool postUninstall(const std::string& softwareName, const std::string& osVersion,
                       const std::optional<std::string>& key);
    bool postReview(const std::string& userName, const std::string& review,
                    const std::string& email);

    // The form texts the two posts send.
    std::string uninstallFormText(const std::string& softwareName, const std::string& osVersion,
                                  const std::optional<std::string>& key) const;
    static std::string reviewFormText(const std::string& userName, const std::string& reviews,
                                      const std::string& email);

  private:
    AtomicField<std::string> guid_;
};

}  // namespace vendrel
