// The scheduler's numbers against values worked out by hand from the published
// FSRS-5 formulas and default parameters, how a graded page's answers rate
// their cards, and how the notebook counts its cards.
#include "review/Fsrs.h"
#include "review/Notebook.h"
#include "review/Rating.h"
#include "review/ReviewCards.h"
#include "store/DataModule.h"
#include "support/TestSupport.h"

#include <cmath>
#include <initializer_list>
#include <optional>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

using namespace fsrs;

namespace {
constexpr double kDay0 = 20000; // any day; times are in days
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
    EXPECT_EQ(Review({}, Rating::Easy, kDay0).state, State::Review); // Easy skips the steps
    // A card long overdue is forgotten no worse than it stood, short-term form included:
    // long-term 1.27367 for S 0.5, D 5, R 0.2, capped by 0.5 / e^(w17 w18) = 0.35517.
    EXPECT_NEAR(ForgetStability(5, 0.5, 0.2), 0.355171348, 1e-8);
    EXPECT_EQ(IntervalDays(0.2), 1);
    EXPECT_EQ(IntervalDays(4.4), 4); // at 0.9 retention the interval is the stability
    EXPECT_EQ(IntervalDays(5000), kMaxIntervalDays);
    // Difficulty stays within 1 to 10 however often a card is forgotten.
    double d = 9.9;
    for (int i = 0; i < 20; ++i)
        d = NextDifficulty(d, Rating::Again);
    EXPECT_LE(d, 10);
}

// The reference scheduler's published runs of the default parameters, each
// review on its due day: whole days to the next one, 0 for a ten-minute step.
TEST(Fsrs, PublishedRunsOfTheDefaultParameters) {
    const auto run = [](std::initializer_list<Rating> ratings) {
        Card c;
        double now = kDay0;
        std::vector<long> days;
        for (Rating r : ratings) {
            c = Review(c, r, now);
            days.push_back(std::lround(c.due - now));
            now = c.due;
        }
        return days;
    };
    constexpr Rating A = Rating::Again, G = Rating::Good, E = Rating::Easy;
    // Good throughout, forgotten on the 328th day: Again and Good at the relearning steps.
    EXPECT_EQ(run({G, G, G, G, G, G, A, A, G, G, G, G, G}),
              (std::vector<long>{0, 4, 14, 44, 125, 328, 0, 0, 7, 16, 34, 71, 142}));
    // Easy skips the steps; Easy again when due.
    EXPECT_EQ(run({E, E}), (std::vector<long>{16, 150}));
}

// Which answers of a graded page rate their cards, and how.
TEST(ReviewRating, ByRightnessSpeedWithinItsTypeAndWhereTheTimeRanOut) {
    using review::AnswerFacts;
    const std::optional<Rating> again = Rating::Again, good = Rating::Good, easy = Rating::Easy, none;
    // answered, right, type, seconds, in the notebook
    const AnswerFacts blank{false, false, "言语", 0, true}, wrongNew{true, false, "言语", 0, false},
        rightNew{true, true, "言语", 0, false};
    const auto right = [](const char* type, int seconds) {
        return AnswerFacts{true, true, type, seconds, true};
    };
    const review::PaperFacts untimed{false, false}, timed{true, false}, ranOut{true, true};
    const struct {
        const char* what;
        review::PaperFacts paper;
        std::vector<AnswerFacts> answers;
        std::vector<std::optional<Rating>> expected;
    } cases[] = {
        {"wrong, new to the notebook too", untimed, {wrongNew}, {again}},
        {"right: keeps a card going, starts none", untimed, {right("言语", 0), rightNew}, {good, none}},
        // 言语 averages 30 s, 数量 150 s: 50 s is slow for the one, quick for the other.
        {"timed right: Easy under half its type's average",
         timed,
         {right("言语", 10), right("言语", 50), right("数量", 50), right("数量", 250), right("言语", 0)},
         {easy, good, easy, good, good}},
        {"blanks untimed", untimed, {blank, right("言语", 0), blank}, {none, good, none}},
        {"blanks handed in before time-up", timed, {blank, right("言语", 20), blank}, {none, good, none}},
        {"blanks at time-up: skipped before the last answer, unreached after",
         ranOut,
         {blank, right("言语", 20), blank, blank},
         {again, good, none, none}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(review::RateAnswers(c.answers, c.paper), c.expected) << c.what;
}

// How the notebook counts its cards, each standing once, by type and subject.
TEST(Notebook, CountsEachStandingByTypeAndSubjectsOfOneNameTogether) {
    OpenBank bank(
        "INSERT INTO 题目类别 VALUES(1,'源甲',0,'0');INSERT INTO 题目类别 VALUES(11,'言语',1,NULL);"
        "INSERT INTO 题目类别 VALUES(101,'节',11,NULL);INSERT INTO 题目类别 VALUES(2,'源乙',0,'0');"
        "INSERT INTO 题目类别 VALUES(21,'言语',2,NULL);INSERT INTO 题目类别 VALUES(201,'节',21,NULL);");
    AdoConnection& c = DataModule1->ADOConnection1;
    const double now = review::DaysOfText("2026-12-10 12:00:00");
    AdoQuery q(&c);
    // id, section, state, due, last review
    const std::tuple<int, int, int, const char*, const char*> cards[] = {
        {1, 101, 2, "2026-12-09 08:00:00", "2026-12-01 08:00:00"}, // overdue
        {2, 201, 2, "2026-12-10 23:00:00", "2026-12-01 08:00:00"}, // due today, from the other source
        {3, 101, 3, "2026-12-11 09:00:00", "2026-12-10 09:00:00"}, // relearning
        {4, 101, 2, "2027-03-01 08:00:00", "2026-12-10 08:00:00"}, // mastered: 81 days
        {5, 101, 2, "2027-01-20 08:00:00", "2026-12-10 08:00:00"}, // waiting: 41 days
    };
    for (const auto& [id, section, state, due, last] : cards) {
        q.ExecBound("INSERT INTO 小题 VALUES(?,?,?,'单选','题','A','',0,0)", {id, id, section});
        q.ExecBound("INSERT INTO 复习卡片 VALUES(?,?,3,5,?,?,1,0)",
                    {id, state, std::string_view(due), std::string_view(last)});
    }
    const auto counts = review::CountStandings(c, now);
    ASSERT_EQ(counts.size(), 1u);
    EXPECT_EQ(counts[0].subject, "言语");
    EXPECT_EQ(counts[0].overdue, 1);
    EXPECT_EQ(counts[0].due, 1);
    EXPECT_EQ(counts[0].learning, 1);
    EXPECT_EQ(counts[0].mastered, 1);
    EXPECT_EQ(counts[0].total, 5);
    // The due queue: the two due by today's end, oldest first.
    EXPECT_EQ(review::DueQueue(c, now, 50), (std::vector<int>{1, 2}));
    EXPECT_EQ(review::DueQueue(c, now, 1), (std::vector<int>{1}));
}
