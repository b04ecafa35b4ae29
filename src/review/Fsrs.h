#pragma once
// The review schedule of a wrongly answered question: FSRS-5 with its published
// default parameters, desired retention 0.9, no interval fuzz, intervals of at
// most 365 days. Times are in days (fractions for the learning steps).
#include <array>

namespace fsrs {

enum class Rating { Again = 1, Hard = 2, Good = 3, Easy = 4 };
enum class State { New = 0, Learning = 1, Review = 2, Relearning = 3 };

struct Card {
    State state = State::New;
    int step = 0;          // position in the (re)learning steps
    double stability = 0;  // days for recall to fall to 90 %
    double difficulty = 0; // 1 (easy) to 10 (hard)
    double due = 0;        // when it is to be seen again
    double lastReview = 0; // when it was last rated; 0 for a new card
    int reps = 0;
    int lapses = 0;
};

constexpr std::array<double, 19> kDefaultWeights = {
    0.40255, 1.18385, 3.173, 15.69105, 7.1949, 0.5345, 1.4604, 0.0046,  1.54575, 0.1192,
    1.01925, 1.9395,  0.11,  0.29605,  2.2698, 0.2315, 2.9898, 0.51655, 0.6621};
constexpr double kRetention = 0.9;
constexpr int kMaxIntervalDays = 365;
// The reference scheduler's steps: 1 and 10 minutes to learn, 10 to relearn.
constexpr double kMinute = 1.0 / 1440;
constexpr std::array<double, 2> kLearningSteps = {1 * kMinute, 10 * kMinute};
constexpr std::array<double, 1> kRelearningSteps = {10 * kMinute};

// The memory model's pieces, for the tests that check them one by one.
double Retrievability(double elapsedDays, double stability);
double InitialStability(Rating r);
double InitialDifficulty(Rating r);
double NextDifficulty(double difficulty, Rating r);
double RecallStability(double difficulty, double stability, double retrievability, Rating r);
double ForgetStability(double difficulty, double stability, double retrievability);
double SameDayStability(double stability, Rating r);
// Whole days until recall falls to the desired retention, 1 to 365.
int IntervalDays(double stability);

// The card after rating `r` at time `now`.
Card Review(Card card, Rating r, double now);

} // namespace fsrs
