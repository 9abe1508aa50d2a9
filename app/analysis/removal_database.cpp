#include "app/analysis/removal_database.h"

#include <algorithm>

#include "app/online/endpoints.h"
#include "common/request_files.h"
#include "platform/http.h"
#include "platform/paths.h"
#include "platform/strings.h"

namespace vendrel {
namespace {

// "/Applications/Example App.app" is looked up as "example-app.app.txt": the bundle folder's
// name with blanks as "-", in lower case.
std::string databaseFileName(std::string lastComponent) {
    std::replace(lastComponent.begin(), lastComponent.end(), ' ', '-');
    return platform::lowercaseString(lastComponent) + ".txt";
}

}  // namespace

void downloadRemovalCommandList(const std::string& installPath, double timeoutSeconds) {
    // Before any network traffic: a list left by an earlier analysis must never be carried
    // over to this application, whatever happens below.
    const std::string contents =
        platform::appendPathComponent(platform::runningBundlePath(), "Contents");
    request_files::removeCommandList(contents);

    const std::vector<std::string> components = platform::pathComponents(installPath);
    if (components.size() < 3)
        return;

    // The name is escaped so that characters such as "#" or "?" in a folder name cannot
    // make the request ask for another file.
    const std::string url = platform::http::serverUrl(endpoints::kRemovalDatabaseFolder) +
                            platform::http::escapePathSegment(databaseFileName(components.back()));
    // The list becomes the root daemon's work: only the server's own answer counts, not an
    // error page that happens to hold "rm -rf", nor another server's list behind a redirect.
    const platform::http::Response response =
        platform::http::get(url, timeoutSeconds, platform::http::Redirects::Refuse);
    if (!response.ok || response.status != 200)
        return;

    const std::string& text = response.body;
    if (!platform::isValidUtf8(text))
        return;
    if (text.find("rm -rf") == std::string::npos)
        return;

    // One bash command line: every line feed becomes ";", carriage returns stay.
    std::string joined = text;
    std::replace(joined.begin(), joined.end(), '\n', ';');
    request_files::writeCommandList(contents, {joined, installPath});
}

}  // namespace vendrel
