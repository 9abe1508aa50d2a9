// HTTP(S) to the maker's web server: a synchronous GET and a fire-and-forget form POST.
//
// Server address. serverBaseUrl() is the run-time override VENDREL_SERVER_URL when set and
// non-empty, else the address the build was configured with (CMake cache entry
// VENDREL_SERVER_URL). Endpoints are the base followed by a fixed absolute path.
//
// TLS. Certificates are verified against the system's trust store; a failed handshake or
// verification is a transport error like any other. VENDREL_CA_FILE, when set, names a PEM
// file used as the trust store instead (tests and the demo use it for a self-signed
// certificate of the local server stand-in).
//
// Proxies. The usual proxy variables (https_proxy, no_proxy, ...) are honoured, except that
// the loopback addresses never go through a proxy.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vendrel::platform::http {

// The time-out a download gets when its caller states none, as the system's own URL
// loading does.
inline constexpr double kDefaultTimeoutSeconds = 60.0;
// Time-out of the form posts.
inline constexpr double kPostTimeoutSeconds = 10.0;
// A body larger than this ends the download with a transport error: every file the server
// publishes is a few kilobytes, and a runaway body must not exhaust memory.
inline constexpr size_t kMaxBodyBytes = 16u * 1024 * 1024;

std::string serverBaseUrl();
// serverBaseUrl() followed by `path` ("/qd_default_update_rw/new_info.txt").
std::string serverUrl(std::string_view path);

// Percent-encodes everything but the unreserved characters, so that a name taken from the
// file system ("#", "?", "%", blanks, non-ASCII) stays one path segment.
std::string escapePathSegment(std::string_view segment);

struct Response {
    bool ok = false;    // false: a transport error (no connection, time-out, TLS, too large)
    long status = 0;    // HTTP status when ok
    std::string body;   // the raw bytes, whatever the status
    std::string error;  // what went wrong, when !ok
};

enum class Redirects {
    Follow,  // http and https, at most five
    Refuse,  // a redirect is the answer (its status and body), not followed
};

// One GET that bypasses every cache, waiting at most timeoutSeconds for the whole transfer.
Response get(const std::string& url, double timeoutSeconds,
             Redirects redirects = Redirects::Follow);

// Starts a POST of `body` (sent byte for byte, no terminator) with the header
// "Content-Type: application/x-www-form-urlencoded" and a time-out of kPostTimeoutSeconds,
// and returns at once; the answer is discarded. False when the post could not be started.
//
// Posts run on detached worker threads. At process exit (an atexit handler) the program
// waits for posts still running, at most kExitGraceSeconds in all, so that a report started
// just before the end usually gets out; then the rest are aborted, which libcurl notices
// within about a second, so that no transfer is left inside libcurl while the process tears
// it down. A front end that wants more certainty calls waitForPosts before it returns.
inline constexpr double kExitGraceSeconds = 2.0;
bool postForm(const std::string& url, std::string body);

// Waits until no post is running or `seconds` have passed; true when none is running.
bool waitForPosts(double seconds);
// Replaces kExitGraceSeconds for the rest of the process. A front end whose own wait for
// posts already spent its time budget sets 0: exit then aborts what is left at once
// instead of waiting a grace period on top of the budget.
void setExitGraceSeconds(double seconds);

}  // namespace vendrel::platform::http
