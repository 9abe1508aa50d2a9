#include "app/catalogue/find_app.h"

#include "platform/paths.h"
#include "platform/strings.h"

namespace vendrel {

InstalledAppRef findInstalledApp(Catalogue& catalogue, const std::string& nameOrPath,
                                 std::string& error) {
    catalogue.fun_GetInstalledApps(true);
    const auto& apps = catalogue.mpu_array_TargetInstalledAppInfo;
    if (!nameOrPath.empty() && nameOrPath.front() == '/') {
        const std::string wanted = platform::standardizePath(nameOrPath);
        for (const auto& app : apps)
            if (app->mpu_str_InstallPath.get() == wanted) return app;
        error = "no installed application or preference pane at \"" + nameOrPath + "\"";
        return nullptr;
    }
    std::vector<InstalledAppRef> matches;
    for (const auto& app : apps)
        if (platform::equals65(app->mpu_str_Name.get(), nameOrPath)) matches.push_back(app);
    if (matches.size() == 1) return matches.front();
    if (matches.empty()) {
        error = "no installed application named \"" + nameOrPath + "\"";
    } else {
        error = "\"" + nameOrPath + "\" names more than one application; give its path:";
        for (const auto& m : matches) error += "\n  " + m->mpu_str_InstallPath.get();
    }
    return nullptr;
}

}  // namespace vendrel
