// The scheduler's numbers against values worked out by hand from the published
// FSRS-5 formulas and default parameters.
#include "review/Fsrs.h"

#include <gtest/gtest.h>

using namespace fsrs;

namespace {
constexpr double kDay0 = 20000;  // any day; times are in days
}

TEST(Fsrs, AGoodLearningRunThenAReviewAndALapse) {
    EXPECT_NEAR(InitialDifficulty(Rating::Again), 7.1949, 1e-9);
    EXPECT_NEAR(InitialDifficulty(Rating::Good), 5.282434422, 1e-8);
    EXPECT_NEAR(InitialDifficulty(Rating::Easy), 3.224501589, 1e-8);

    // First Good: learning, next step in ten minutes.
    Card c = Review({}, Rating::Good, kDay0);
    EXPECT_EQ(c.state, State::Learning);
    EXPECT_NEAR(c.stability, 3.173, 1e-12);
    EXPECT_NEAR(c.due - kDay0, 10 * kMinute, 1e-9);

    // Good again the same day: the same-day formula, then review in 4 days.
    c = Review(c, Rating::Good, kDay0 + 10 * kMinute);
    EXPECT_EQ(c.state, State::Review);
    EXPECT_NEAR(c.stability, 4.466858064, 1e-8);
    EXPECT_NEAR(c.difficulty, 5.272967931, 1e-8);
    EXPECT_NEAR(c.due - c.lastReview, 4, 1e-9);

    // Good when due: recall after 4 days (R = 0.90907), 14 days next.
    double now = c.due;
    EXPECT_NEAR(Retrievability(now - c.lastReview, c.stability), 0.909071448, 1e-8);
    c = Review(c, Rating::Good, now);
    EXPECT_NEAR(c.stability, 14.217284109, 1e-7);
    EXPECT_NEAR(c.difficulty, 5.263544986, 1e-8);
    EXPECT_NEAR(c.due - now, 14, 1e-9);

    // Forgotten when due: the lapse's stability is the smaller of the two forms.
    now = c.due;
    c = Review(c, Rating::Again, now);
    EXPECT_EQ(c.state, State::Relearning);
    EXPECT_EQ(c.lapses, 1);
    EXPECT_EQ(c.reps, 4);
    EXPECT_NEAR(c.stability, 2.504170139, 1e-8);
    EXPECT_NEAR(c.difficulty, 6.784232088, 1e-8);
    EXPECT_NEAR(c.due - now, 10 * kMinute, 1e-9);
    // Relearnt: back to review with an interval from the new stability.
    c = Review(c, Rating::Good, now + 10 * kMinute);
    EXPECT_EQ(c.state, State::Review);
    EXPECT_GE(c.due - c.lastReview, 1);
}

TEST(Fsrs, AgainKeepsACardLearningAndIntervalsStayWithinAYear) {
    Card c = Review({}, Rating::Again, kDay0);
    EXPECT_EQ(c.state, State::Learning);
    EXPECT_NEAR(c.stability, 0.40255, 1e-12);
    EXPECT_NEAR(c.difficulty, 7.1949, 1e-9);
    EXPECT_NEAR(c.due - kDay0, kMinute, 1e-9);
    EXPECT_EQ(Review({}, Rating::Easy, kDay0).state, State::Review);  // Easy skips the steps
    // A card long overdue is forgotten no worse than it stood, short-term form included:
    // long-term 1.27367 for S 0.5, D 5, R 0.2, capped by 0.5 / e^(w17 w18) = 0.35517.
    EXPECT_NEAR(ForgetStability(5, 0.5, 0.2), 0.355171348, 1e-8);
    EXPECT_EQ(IntervalDays(0.2), 1);
    EXPECT_EQ(IntervalDays(4.4), 4);  // at 0.9 retention the interval is the stability
    EXPECT_EQ(IntervalDays(5000), kMaxIntervalDays);
    // Difficulty stays within 1 to 10 however often a card is forgotten.
    double d = 9.9;
    for (int i = 0; i < 20; ++i) d = NextDifficulty(d, Rating::Again);
    EXPECT_LE(d, 10);
}
