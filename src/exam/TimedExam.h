#pragma once
// A timed mock exam: its clock, what the user ticked and when, and the rows it
// keeps beside a saved test.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class AdoConnection;

// Milliseconds of real time from CLOCK_BOOTTIME: a suspended machine's sleep
// counts, as it does on the exam's wall clock.
std::int64_t BootTimeMs();
// The clock every exam reads; tests put their own in (empty: BootTimeMs).
std::function<std::int64_t()> SetExamClockForTests(std::function<std::int64_t()> clock);
std::int64_t ExamNowMs();

// The real exam's pace, 55 seconds a question, rounded up to whole 5 minutes
// and kept within the limits a user may set.
constexpr int kMinLimitMinutes = 5, kMaxLimitMinutes = 300;
int DefaultLimitMinutes(int questions);

// "剩余 01:52:07" for a remaining time, seconds rounded up (0 only at the end).
std::string RemainingText(std::int64_t remainingMs);

// One question of the paper that the user can answer (it has options).
struct TimedQuestion {
    int id = 0;
    int number = 0; // as the page numbers it
    std::string type;
    int options = 0;
};

class TTimedExam {
public:
    // Starts the clock at once.
    TTimedExam(std::vector<TimedQuestion> questions, int limitSeconds);

    const std::vector<TimedQuestion>& Questions() const { return questions_; }
    int LimitSeconds() const { return limitSeconds_; }
    bool Running() const { return running_; }
    bool RanOut() const { return ranOut_; }
    // Never below 0; frozen once the clock has stopped.
    std::int64_t RemainingMs() const;
    bool Expired() const { return RemainingMs() == 0; }
    // Grading stops the clock; `ranOut` when it was time-up that graded.
    void Stop(bool ranOut);
    int UsedSeconds() const;

    // The page reports a question's options as now ticked ("AC"; "" when
    // cleared). The time since the user's previous answer, or since the start,
    // is spent on this question. Ignored once the clock has stopped, and for a
    // question not on the paper; false then.
    bool Answered(int id, const std::string& letters);
    // The choices grading read, which are what the test keeps.
    void TakeGraded(int id, const std::string& letters);
    const std::string& AnswerOf(int id) const;
    int SecondsOn(int id) const;
    int AnsweredCount() const;
    // Index of `id` in Questions(), or -1.
    int IndexOf(int id) const;

    // Writes 测试计时 and 测试作答 for test `testId` on the connection's open
    // transaction, making the tables first in a bank that lacks them.
    void Save(AdoConnection& connection, long long testId) const;

private:
    std::int64_t endMs() const;
    std::vector<TimedQuestion> questions_;
    std::vector<std::string> answers_;
    std::vector<std::int64_t> spentMs_;
    int limitSeconds_;
    std::int64_t startMs_;
    std::int64_t lastActionMs_;
    std::int64_t stoppedMs_ = 0;
    bool running_ = true;
    bool ranOut_ = false;
};

// The two tables, as schema.sql lists them.
void CreateTimingTables(AdoConnection& connection);
