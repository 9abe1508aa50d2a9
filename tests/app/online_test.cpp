// The online pieces against the real server stand-in: malware list, update check, uninstall
// report and reviews.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "app/catalogue/malware_list.h"
#include "app/online/cloud_report.h"
#include "app/online/update_check.h"
#include "app/online/user_reviews.h"
#include "platform/plist.h"
#include "tests/support/server.h"
#include "tests/support/volume.h"

namespace vendrel {
namespace {

namespace plist = platform::plist;
using test::ScopedEnv;
using test::TempVolume;
using test::TestServer;

constexpr std::string_view kMalwareListPath = "/qd_default_update_rw/removal_database/ml_list.txt";
constexpr std::string_view kNewInfoPath = "/qd_default_update_rw/new_info.txt";

// One catalogue rebuild that finds applications with these names, in this order.
std::vector<std::string> rebuild(MalwareList& list, const std::vector<std::string>& names) {
    list.beginRebuild();
    std::vector<std::string> flagged;
    for (const auto& name : names) {
        InstalledApp record;
        record.name.set(name);
        list.checkApplication(record);
    }
    for (const auto& row : list.untrustedApps()) {
        EXPECT_EQ(row.app_image, "UAPPSWARN");
        flagged.push_back(row.app_name);
    }
    return flagged;
}

TEST(MalwareList, MatchesWholeNamesIgnoringCaseWithNumbersByValue) {
    const struct {
        const char* name;
        std::string served;
        std::vector<std::string> apps;
        std::vector<std::string> flagged;
    } rows[] = {
        {"shown as the catalogue names it",
         "other\nsome app\n",
         {"SOME APP", "Else"},
         {"SOME APP"}},
        {"the name of a record without one", "n/a", {"N/A", "Tool"}, {"N/A"}},
        {"only whole names", "example", {"Example Pro", "My Example", "Example"}, {"Example"}},
        {"blanks and carriage returns are part of the line",
         "trailing \ncr\r\nkeep",
         {"trailing", "cr", "keep"},
         {"keep"}},
        {"a final line feed adds an entry for the empty name", "x\n", {"", "y"}, {""}},
        {"digit runs by value",
         "tool 10\nzip2",
         {"Tool 010", "Tool 1", "ZIP02"},
         {"Tool 010", "ZIP02"}},
        {"non-ASCII letters ignore case",
         "\xc3\x9c"
         "BER APP",
         {"\xc3\xbc"
          "ber app"},
         {"\xc3\xbc"
          "ber app"}},
        {"found twice, listed twice", "dup", {"Dup", "Other", "dup"}, {"Dup", "dup"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TestServer server;
        server.put(kMalwareListPath, row.served);
        MalwareList list;
        EXPECT_EQ(rebuild(list, row.apps), row.flagged);
    }
}

TEST(MalwareList, LoadedOnceThenKeptForTheRun) {
    TestServer server;
    server.put(kMalwareListPath, "Dark Zipper\n");
    MalwareList list;
    EXPECT_EQ(rebuild(list, {"Dark Zipper"}), std::vector<std::string>{"Dark Zipper"});
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"dark zipper", ""}));

    // Published anew: not fetched again; every rebuild starts the rows from scratch.
    server.put(kMalwareListPath, "Other\n");
    EXPECT_EQ(rebuild(list, {"Dark Zipper", "Other"}), std::vector<std::string>{"Dark Zipper"});
    EXPECT_TRUE(rebuild(list, {"Unrelated"}).empty());
    EXPECT_EQ(server.requestedPaths().size(), 1u);
}

TEST(MalwareList, EmptyBodiesAndErrorPagesCountAsLoaded) {
    for (bool errorPage : {false, true}) {
        SCOPED_TRACE(errorPage ? "404 page" : "empty body");
        TestServer server;
        if (!errorPage)
            server.put(kMalwareListPath, "");
        MalwareList list;
        EXPECT_EQ(rebuild(list, {"Some App"}), std::vector<std::string>{});
        EXPECT_FALSE(list.entries().empty());
        server.put(kMalwareListPath, "some app");
        EXPECT_TRUE(rebuild(list, {"Some App"}).empty());
        EXPECT_EQ(server.requestedPaths().size(), 1u);
    }
}

TEST(MalwareList, FailedDownloadsAreRetriedAtTheNextRebuild) {
    MalwareList list;
    {
        ScopedEnv url("VENDREL_SERVER_URL", test::unreachableServerUrl());
        EXPECT_TRUE(rebuild(list, {"Dark Zipper"}).empty());
        EXPECT_TRUE(list.entries().empty());
    }
    TestServer server;
    server.put(kMalwareListPath, "dark zipper\xff");  // not UTF-8: stays unloaded
    EXPECT_TRUE(rebuild(list, {"Dark Zipper"}).empty());
    EXPECT_TRUE(list.entries().empty());
    server.put(kMalwareListPath, "dark zipper");
    EXPECT_EQ(rebuild(list, {"Dark Zipper"}), std::vector<std::string>{"Dark Zipper"});
    EXPECT_EQ(server.requestedPaths().size(), 2u);
}

// ---- Update check ----

struct RunningBundle {
    TempVolume vol;
    ScopedEnv bundle{"VENDREL_APP_BUNDLE", "/Applications/Vendrel.app"};
    explicit RunningBundle(std::optional<std::string> version) {
        plist::Dictionary info{{"CFBundleName", "Vendrel"}};
        if (version)
            info["CFBundleShortVersionString"] = *version;
        vol.makeBundle("/Applications/Vendrel.app", info);
    }
    std::string localCopy() const { return "/Applications/Vendrel.app/Contents/new_info.txt"; }
};

std::string newInfo(const plist::Array& entries) {
    return plist::toXml(entries);
}

TEST(UpdateCheck, ComparesThePublishedVersionWithTheRunningOne) {
    using D = plist::Dictionary;
    const struct {
        const char* name;
        std::optional<std::string> running;
        std::optional<std::string> served;  // nothing: the server has no file (404 page)
        bool notice;
    } rows[] = {
        {"same version", "3.1", newInfo({D{{"version", "3.1"}}}), false},
        {"numeric compare", "3.9", newInfo({D{{"version", "3.10"}}}), true},
        {"older on the server counts too", "3.2", newInfo({D{{"version", "3.1"}}}), true},
        {"leading zeros compare equal", "3.1", newInfo({D{{"version", "3.01"}}}), false},
        {"other keys ignored", "3.1", newInfo({D{{"version", "3.1"}, {"url", "x"}}}), false},
        {"two dictionaries", "3.0", newInfo({D{{"version", "3.1"}}, D{{"version", "3.2"}}}), false},
        {"no version", "3.0", newInfo({D{{"ver", "3.1"}}}), false},
        {"version not a string", "3.0", newInfo({D{{"version", 4}}}), false},
        {"dictionary root", "3.0", plist::toXml(D{{"version", "3.1"}}), false},
        {"error page", "3.0", std::nullopt, false},
        {"application without a version", std::nullopt, newInfo({D{{"version", "3.1"}}}), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RunningBundle app(row.running);
        TestServer server;
        if (row.served)
            server.put(kNewInfoPath, *row.served);
        EXPECT_TRUE(UpdateCheck::fetchNewInfo());
        EXPECT_EQ(UpdateCheck::isUpdateAvailable(), row.notice);
        if (row.served) {
            EXPECT_EQ(app.vol.read(app.localCopy()), *row.served);  // stored byte for byte
        }
    }
}

TEST(UpdateCheck, AFailedDownloadRemovesTheStaleCopy) {
    RunningBundle app("3.0");
    {
        TestServer server;
        server.put(kNewInfoPath, newInfo({plist::Dictionary{{"version", "3.1"}}}));
        UpdateCheck::fetchNewInfo();
        ASSERT_TRUE(UpdateCheck::isUpdateAvailable());
    }
    ScopedEnv url("VENDREL_SERVER_URL", test::unreachableServerUrl());
    EXPECT_TRUE(UpdateCheck::fetchNewInfo());
    EXPECT_FALSE(app.vol.exists(app.localCopy()));
    EXPECT_FALSE(UpdateCheck::isUpdateAvailable());
}

// ---- Uninstall report and reviews ----

TEST(CloudReport, GuidIsAFreshUuidInBraces) {
    const std::regex format("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
    std::set<std::string> seen;
    for (int i = 0; i < 3; ++i) {
        CloudReport report;
        const std::string guid = report.guid();
        EXPECT_EQ(guid.size(), 38u);
        EXPECT_TRUE(std::regex_match(guid, format)) << guid;
        seen.insert(guid);
    }
    EXPECT_EQ(seen.size(), 3u);
}

TEST(CloudReport, PostsReachTheServerByteForByte) {
    TestServer server;
    CloudReport report;
    const std::string guid = report.guid();
    const struct {
        std::function<bool()> send;
        std::string path;
        std::string body;
    } rows[] = {
        {[&] { return report.postUninstall("Example App", "10.15.7", "KEY-1"); },
         "/ucloudcenter/uninstall.php",
         "softwarename=Example App&os=10.15.7&os_32_64=64&cd_key=KEY-1"},
        {[&] { return report.postUninstall("A&B=C", "11.0", std::nullopt); },
         "/ucloudcenter/uninstall.php", "softwarename=A&B=C&os=11.0&os_32_64=64&cd_key=" + guid},
        {[&] { return report.postReview("", "Great", ""); }, "/apps_comment/comment/add",
         "appname=Vendrel&comment=Great"},
        {[&] { return report.postReview("Ann", "Nice\r\nwork", "ann@x.org"); },
         "/apps_comment/comment/add",
         "appname=Vendrel&comment=E-mail: ann@x.org\r\n\r\nNice\r\nwork&name=Ann"},
        {[&] { return report.postReview("", "Caf\xc3\xa9", "b@y"); }, "/apps_comment/comment/add",
         "appname=Vendrel&comment=E-mail: b@y\r\n\r\nCaf\xc3\xa9"},
    };
    // One at a time, so that the log's order is the sending order.
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].body);
        EXPECT_TRUE(rows[i].send());
        const auto posts = server.waitForPosts(i + 1);
        ASSERT_EQ(posts.size(), i + 1);
        EXPECT_EQ(posts[i].path, rows[i].path);
        EXPECT_EQ(posts[i].contentType, "application/x-www-form-urlencoded");
        EXPECT_EQ(posts[i].body, rows[i].body);
    }
}

TEST(UserReviews, ChecksInOrderWithTheirAlerts) {
    using Kind = UserReviewsSubmission::Decision::Kind;
    const std::string emoji = "\xf0\x9f\x98\x80";  // two UTF-16 units
    auto times = [](const std::string& s, size_t n) {
        std::string out;
        for (size_t i = 0; i < n; ++i)
            out += s;
        return out;
    };
    const std::string nameAlert = "The field Name must be a string with a maximum length of 40.";
    const std::string emailAlert = "The field E-mail must be a string with a maximum length of 40.";
    const std::string reviewAlert =
        "The field Review must be a string with a maximum length of 2048.";
    const struct {
        const char* name;
        std::string userName, email, review;
        Kind kind;
        std::string alert;
    } rows[] = {
        {"name of 40", times("n", 40), "", "ok", Kind::Accepted, ""},
        {"name of 41", times("n", 41), "", "ok", Kind::Refused, nameAlert},
        {"blanks around a name of 40 do not count", "  \t" + times("n", 40) + " \n", "", "ok",
         Kind::Accepted, ""},
        {"name counted in UTF-16 units: 20 emoji", times(emoji, 20), "", "ok", Kind::Accepted, ""},
        {"name counted in UTF-16 units: 21 emoji", times(emoji, 21), "", "ok", Kind::Refused,
         nameAlert},
        {"40 accented letters", times("\xc3\xa9", 40), "", "ok", Kind::Accepted, ""},
        {"e-mail of 40", "", times("e", 40), "ok", Kind::Accepted, ""},
        {"e-mail of 41", "", times("e", 41), "ok", Kind::Refused, emailAlert},
        {"empty review: no alert", "", "", "", Kind::Silent, ""},
        {"blank review: no alert", "", "", " \r\n\t ", Kind::Silent, ""},
        {"review of 2048", "", "", times("r", 2048), Kind::Accepted, ""},
        {"review of 2049", "", "", times("r", 2049), Kind::Refused, reviewAlert},
        {"line ends around a review of 2048", "", "", "\n\n" + times("r", 2048) + "\r\n",
         Kind::Accepted, ""},
        {"name checked first", times("n", 41), times("e", 41), "", Kind::Refused, nameAlert},
        {"e-mail checked before the review", "", times("e", 41), times("r", 2049), Kind::Refused,
         emailAlert},
    };
    const auto now = UserReviewsSubmission::Clock::now();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        UserReviewsSubmission reviews;
        const auto d = reviews.check(row.userName, row.email, row.review, now);
        EXPECT_EQ(d.kind, row.kind);
        if (row.kind == Kind::Refused) {
            ASSERT_TRUE(d.alert);
            EXPECT_EQ(*d.alert, (ReviewAlert{"Submit failed", row.alert, true}));
        } else {
            EXPECT_FALSE(d.alert);
        }
    }
}

TEST(UserReviews, ThirtySecondsBetweenSubmissions) {
    UserReviewsSubmission reviews;
    const auto t0 = UserReviewsSubmission::Clock::now();
    using std::chrono::seconds;
    EXPECT_EQ(reviews.check("", "", "first", t0).kind,
              UserReviewsSubmission::Decision::Kind::Accepted);
    reviews.markSubmitted(t0);
    const auto early = reviews.check("", "", "second", t0 + seconds(29));
    ASSERT_TRUE(early.alert);
    EXPECT_EQ(early.alert->informativeText,
              "Please wait 30 seconds if you want to submit a new reivew.");
    EXPECT_EQ(reviews.check("", "", "second", t0 + seconds(30)).kind,
              UserReviewsSubmission::Decision::Kind::Accepted);
    reviews.reset();
    EXPECT_EQ(reviews.check("", "", "again", t0 + seconds(1)).kind,
              UserReviewsSubmission::Decision::Kind::Accepted);

    EXPECT_EQ(UserReviewsSubmission::completeAlert(),
              (ReviewAlert{"Submit complete",
                           "Thank you to support. We have received your reviews.", false}));
}

TEST(UserReviews, AnAcceptedReviewIsPostedTrimmed) {
    TestServer server;
    UserReviewsSubmission reviews;
    const auto d = reviews.check("  Ann \n", " ann@x.org ", "\n Loved it \n",
                                 UserReviewsSubmission::Clock::now());
    ASSERT_TRUE(UserReviewsSubmission::post(d));
    const auto posts = server.waitForPosts(1);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].body, "appname=Vendrel&comment=E-mail: ann@x.org\r\n\r\nLoved it&name=Ann");
    // A refused or silent decision posts nothing.
    EXPECT_FALSE(UserReviewsSubmission::post(reviews.check("", "", "", {})));
}

}  // namespace
}  // namespace vendrel
