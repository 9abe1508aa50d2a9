#include "app/online/cloud_report.h"

#include "app/online/endpoints.h"
#include "platform/http.h"
#include "platform/uuid.h"

namespace vendrel {

CloudReport_funs::CloudReport_funs() : guid_("{" + platform::newUuidString() + "}") {}

std::string CloudReport_funs::uninstallFormText(const std::string& softwareName,
                                                const std::string& osVersion,
                                                const std::optional<std::string>& key) const {
    return "softwarename=" + softwareName + "&os=" + osVersion +
           "&os_32_64=64&cd_key=" + (key ? *key : mpu_str_GUID());
}

std::string CloudReport_funs::reviewFormText(const std::string& userName,
                                             const std::string& reviews, const std::string& email) {
    const std::string comment = email.empty() ? reviews : "E-mail: " + email + "\r\n\r\n" + reviews;
    std::string form = "appname=Vendrel&comment=" + comment;
    if (!userName.empty())
        form += "&name=" + userName;
    return form;
}

bool CloudReport_funs::fun_Post_Uninstall(const std::string& softwareName,
                                          const std::string& Str_OSXver,
                                          const std::optional<std::string>& Str_Key) {
    return platform::http::postForm(platform::http::serverUrl(endpoints::kUninstallReport),
                                    uninstallFormText(softwareName, Str_OSXver, Str_Key));
}

bool CloudReport_funs::fun_Post_AddVendrelReviews(const std::string& userName,
                                                  const std::string& Str_UserReviews,
                                                  const std::string& Str_UserEmail) {
    return platform::http::postForm(platform::http::serverUrl(endpoints::kReviews),
                                    reviewFormText(userName, Str_UserReviews, Str_UserEmail));
}

}  // namespace vendrel
