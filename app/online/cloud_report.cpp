#include "app/online/cloud_report.h"

#include "app/online/endpoints.h"
#include "platform/http.h"
#include "platform/uuid.h"

namespace vendrel {

CloudReport::CloudReport() : guid_("{" + platform::newUuidString() + "}") {}

std::string CloudReport::uninstallFormText(const std::string& softwareName,
                                           const std::string& osVersion,
                                           const std::optional<std::string>& key) const {
    return "softwarename=" + softwareName + "&os=" + osVersion +
           "&os_32_64=64&cd_key=" + (key ? *key : guid());
}

std::string CloudReport::reviewFormText(const std::string& userName, const std::string& reviews,
                                        const std::string& email) {
    const std::string comment = email.empty() ? reviews : "E-mail: " + email + "\r\n\r\n" + reviews;
    std::string form = "appname=Vendrel&comment=" + comment;
    if (!userName.empty())
        form += "&name=" + userName;
    return form;
}

bool CloudReport::postUninstall(const std::string& softwareName, const std::string& osVersion,
                                const std::optional<std::string>& key) {
    return platform::http::postForm(platform::http::serverUrl(endpoints::kUninstallReport),
                                    uninstallFormText(softwareName, osVersion, key));
}

bool CloudReport::postReview(const std::string& userName, const std::string& review,
                             const std::string& email) {
    return platform::http::postForm(platform::http::serverUrl(endpoints::kReviews),
                                    reviewFormText(userName, review, email));
}

}  // namespace vendrel
