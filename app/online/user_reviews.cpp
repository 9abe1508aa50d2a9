#include "app/online/user_reviews.h"

#include "app/online/cloud_report.h"
#include "platform/strings.h"

namespace vendrel {
namespace {

UserReviewsSubmission::Decision refused(const char* informativeText) {
    UserReviewsSubmission::Decision d;
    d.kind = UserReviewsSubmission::Decision::Kind::Refused;
    d.alert = ReviewAlert{"Submit failed", informativeText, true};
    return d;
}

}  // namespace

UserReviewsSubmission::Decision UserReviewsSubmission::check(std::string_view name,
                                                             std::string_view email,
                                                             std::string_view review,
                                                             Clock::time_point now) const {
    Decision d;
    d.name = platform::trimWhitespaceAndNewlines(name);
    d.email = platform::trimWhitespaceAndNewlines(email);
    d.review = platform::trimWhitespaceAndNewlines(review);
    if (platform::utf16Length(d.name) > kMaxNameLength)
        return refused("The field Name must be a string with a maximum length of 40.");
    if (platform::utf16Length(d.email) > kMaxEmailLength)
        return refused("The field E-mail must be a string with a maximum length of 40.");
    if (d.review.empty())
        return Decision{};  // silent
    if (platform::utf16Length(d.review) > kMaxReviewLength)
        return refused("The field Review must be a string with a maximum length of 2048.");
    if (submitted_ &&
        std::chrono::duration<double>(now - *submitted_).count() < kMinSecondsBetweenSubmissions)
        return refused("Please wait 30 seconds if you want to submit a new reivew.");
    d.kind = Decision::Kind::Accepted;
    return d;
}

bool UserReviewsSubmission::post(const Decision& accepted) {
    if (accepted.kind != Decision::Kind::Accepted)
        return false;
    CloudReport report;
    return report.postReview(accepted.name, accepted.review, accepted.email);
}

ReviewAlert UserReviewsSubmission::completeAlert() {
    return {"Submit complete", "Thank you to support. We have received your reviews.", false};
}

}  // namespace vendrel
