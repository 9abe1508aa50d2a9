// HTTP on libcurl. One easy handle per transfer; nothing is shared between transfers, so
// GETs and posts may run on any thread at the same time.
#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/http.h"

#ifndef VENDREL_DEFAULT_SERVER_URL
#define VENDREL_DEFAULT_SERVER_URL "https://update.vendrel.example"
#endif

namespace vendrel::platform::http {
namespace {

// Posts that are still running. Allocated once and never destroyed: detached workers may
// still touch it while static objects are being destroyed at exit.
struct PostTracker {
    std::mutex mutex;
    std::condition_variable idle;
    int running = 0;
    // Set at exit once the grace period is over: the workers' progress callbacks then
    // abort their transfers, so that none is left inside libcurl or the TLS library while
    // the process tears those down.
    std::atomic<bool> abandon{false};
    std::atomic<double> exitGrace{kExitGraceSeconds};
};

PostTracker& tracker() {
    static PostTracker* t = new PostTracker;
    return *t;
}

bool waitIdle(double seconds) {
    PostTracker& t = tracker();
    std::unique_lock lock(t.mutex);
    return t.idle.wait_for(lock, std::chrono::duration<double>(seconds),
                           [&] { return t.running == 0; });
}

void atExit() {
    if (waitIdle(tracker().exitGrace.load()))
        return;
    tracker().abandon = true;
    // libcurl calls the progress callback at least once a second, also while it waits for
    // a connection or an answer.
    waitIdle(1.5);
}

void globalInit() {
    static std::once_flag once;
    std::call_once(once, [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        std::atexit(atExit);
    });
}

std::string envOr(const char* name, std::string fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

// The user's no_proxy list plus the loopback addresses (setting CURLOPT_NOPROXY replaces
// the environment's list, so it is carried over here).
std::string noProxyList() {
    std::string list = envOr("no_proxy", envOr("NO_PROXY", ""));
    if (!list.empty())
        list += ",";
    return list + "127.0.0.1,localhost,::1";
}

struct Sink {
    std::string body;
    bool tooLarge = false;
};

size_t writeBody(char* data, size_t size, size_t count, void* userp) {
    auto* sink = static_cast<Sink*>(userp);
    const size_t n = size * count;
    if (sink->body.size() + n > kMaxBodyBytes) {
        sink->tooLarge = true;
        return 0;  // makes libcurl end the transfer with CURLE_WRITE_ERROR
    }
    sink->body.append(data, n);
    return n;
}

size_t discardBody(char*, size_t size, size_t count, void*) {
    return size * count;
}

int abortWhenAbandoned(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return tracker().abandon ? 1 : 0;
}

struct EasyDeleter {
    void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

HeaderList headers(std::initializer_list<const char*> lines) {
    curl_slist* list = nullptr;
    for (const char* line : lines)
        list = curl_slist_append(list, line);
    return HeaderList(list);
}

// What a transfer takes from the environment, read on the calling thread: a post's worker
// must not call getenv while the program may be changing its environment.
struct Settings {
    std::string noProxy = noProxyList();
    std::string caFile = envOr("VENDREL_CA_FILE", "");
};

// Settings shared by GET and POST. `settings` and `errorBuffer` must outlive the transfer.
void configure(CURL* h, const std::string& url, double timeoutSeconds, const Settings& settings,
               char* errorBuffer) {
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    const double ms = std::clamp(timeoutSeconds * 1000.0, 1.0, 86400000.0);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(ms));
    curl_easy_setopt(h, CURLOPT_NOPROXY, settings.noProxy.c_str());
    curl_easy_setopt(h, CURLOPT_USERAGENT, "Vendrel");
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    if (!settings.caFile.empty())
        curl_easy_setopt(h, CURLOPT_CAINFO, settings.caFile.c_str());
}

std::string describe(CURLcode rc, const char* errorBuffer) {
    return errorBuffer[0] ? std::string(errorBuffer) : std::string(curl_easy_strerror(rc));
}

void runPost(const std::string& url, const std::string& body, const Settings& settings) {
    Easy h(curl_easy_init());
    if (!h)
        return;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    configure(h.get(), url, kPostTimeoutSeconds, settings, errorBuffer);
    // "Expect:" keeps libcurl from waiting for a 100-continue on longer reviews.
    HeaderList hdrs = headers({"Content-Type: application/x-www-form-urlencoded", "Expect:"});
    curl_easy_setopt(h.get(), CURLOPT_HTTPHEADER, hdrs.get());
    curl_easy_setopt(h.get(), CURLOPT_POST, 1L);
    curl_easy_setopt(h.get(), CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(h.get(), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(h.get(), CURLOPT_WRITEFUNCTION, discardBody);
    curl_easy_setopt(h.get(), CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h.get(), CURLOPT_XFERINFOFUNCTION, abortWhenAbandoned);
    curl_easy_perform(h.get());
}

}  // namespace

std::string serverBaseUrl() {
    std::string base = envOr("VENDREL_SERVER_URL", VENDREL_DEFAULT_SERVER_URL);
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    return base;
}

std::string serverUrl(std::string_view path) {
    return serverBaseUrl() + std::string(path);
}

std::string escapePathSegment(std::string_view segment) {
    globalInit();
    std::string out;
    if (char* e = curl_easy_escape(nullptr, segment.data(), static_cast<int>(segment.size()))) {
        out = e;
        curl_free(e);
    }
    return out;
}

Response get(const std::string& url, double timeoutSeconds, Redirects redirects) {
    globalInit();
    Response r;
    Easy h(curl_easy_init());
    if (!h) {
        r.error = "could not create a transfer";
        return r;
    }
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const Settings settings;
    configure(h.get(), url, timeoutSeconds, settings, errorBuffer);
    // Ask every cache on the way for a fresh copy; libcurl itself keeps none.
    HeaderList hdrs = headers({"Cache-Control: no-cache", "Pragma: no-cache"});
    curl_easy_setopt(h.get(), CURLOPT_HTTPHEADER, hdrs.get());
    curl_easy_setopt(h.get(), CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h.get(), CURLOPT_FOLLOWLOCATION, redirects == Redirects::Follow ? 1L : 0L);
    curl_easy_setopt(h.get(), CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(h.get(), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxBodyBytes));
    Sink sink;
    curl_easy_setopt(h.get(), CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(h.get(), CURLOPT_WRITEDATA, &sink);
    const CURLcode rc = curl_easy_perform(h.get());
    if (rc != CURLE_OK) {
        r.error = sink.tooLarge ? "the answer is larger than allowed" : describe(rc, errorBuffer);
        return r;
    }
    curl_easy_getinfo(h.get(), CURLINFO_RESPONSE_CODE, &r.status);
    r.ok = true;
    r.body = std::move(sink.body);
    return r;
}

bool postForm(const std::string& url, std::string body) {
    globalInit();
    PostTracker& t = tracker();
    {
        std::lock_guard lock(t.mutex);
        ++t.running;
    }
    try {
        std::thread([url, body = std::move(body), settings = Settings()] {
            runPost(url, body, settings);
            PostTracker& tr = tracker();
            std::lock_guard lock(tr.mutex);
            --tr.running;
            tr.idle.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        std::lock_guard lock(t.mutex);
        --t.running;
        t.idle.notify_all();
        return false;
    }
    return true;
}

bool waitForPosts(double seconds) {
    return waitIdle(seconds);
}

void setExitGraceSeconds(double seconds) {
    tracker().exitGrace.store(std::max(0.0, seconds));
}

}  // namespace vendrel::platform::http
