// The reviews window's submission rules, without the window: the checks in their order, the
// alert each failure shows, and the 30-second pause between two submissions. The window
// shows the alerts as sheets ("Submit failed" in the warning style with the image "Warn",
// "Submit complete" informational) and disables its button while the post is started.
//
// Lengths count UTF-16 code units after white space and line ends are trimmed from both
// ends: the name and the e-mail address at most 40, the review at most 2048. An empty
// review ends the submission without an alert.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace vendrel {

struct ReviewAlert {
    std::string messageText;
    std::string informativeText;
    bool warning = false;  // "Submit failed": warning style, image "Warn"
    bool operator==(const ReviewAlert&) const = default;
};

class UserReviewsSubmission {
  public:
    // A monotonic clock: setting the system clock back must not lock the user out.
    using Clock = std::chrono::steady_clock;
    static constexpr size_t kMaxNameLength = 40;
    static constexpr size_t kMaxEmailLength = 40;
    static constexpr size_t kMaxReviewLength = 2048;
    static constexpr double kMinSecondsBetweenSubmissions = 30.0;

    struct Decision {
        enum class Kind { Refused, Silent, Accepted };
        Kind kind = Kind::Silent;
        std::optional<ReviewAlert> alert;  // when Refused
        // The trimmed inputs to post, when Accepted.
        std::string name, email, review;
    };

    // Checks 1-5 of a submission at `now`.
    Decision check(std::string_view name, std::string_view email, std::string_view review,
                   Clock::time_point now) const;
    // Starts the review post for an accepted decision; true when it was started.
    static bool post(const Decision& accepted);
    // After the post was started: the time that the next submission is measured from.
    void markSubmitted(Clock::time_point when) { submitted_ = when; }
    // The window's inputs are emptied and the time forgotten (awakeFromNib).
    void reset() { submitted_.reset(); }

    static ReviewAlert completeAlert();

    std::optional<Clock::time_point> submitted_;
};

}  // namespace vendrel
