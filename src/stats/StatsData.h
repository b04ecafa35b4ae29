#pragma once
// The figures of the statistics window, from the saved history, the timed
// exams' answers and the points of each type. Reads go through summary tables
// of our own (测试汇总: per test and type the questions and right answers;
// 科目汇总 and 用时汇总: totals per subject name and per type; 错题汇总: per
// question its wrong answers), brought up to date with the tests saved since
// they were last read; and the questions judged while practising (练习记录).
#include <string>
#include <vector>

class AdoConnection;

namespace stats {

// Summarizes the tests not yet in the summary tables (all of them on first use),
// making the tables when missing. One transaction.
void CatchUpSummaries(AdoConnection& connection);

struct TypePoint {
    std::string label; // the test's time, or the week ("2026-W49")
    std::string type;
    int total = 0, right = 0;
};
struct SubjectRate {
    std::string subject;
    int total = 0, right = 0;
};
struct DayCount {
    std::string day; // yyyy-MM-dd
    int questions = 0;
};
struct TypeSeconds {
    std::string type;
    double seconds = 0;
    int answers = 0;
};
struct Prediction {
    bool known = false;
    double score = 0, low = 0, high = 0, full = 0;
};
struct WrongQuestion {
    int id = 0;
    int times = 0;
    std::string text, type;
};
struct SavedTest {
    int id = 0;
    std::string time;
    int questions = 0, right = 0;
    double score = 0, full = 0;
    bool timed = false;
};

struct Figures {
    int tests = 0;
    int practised = 0;   // questions judged while practising (练习模式)
    bool byWeek = false; // more than kTestsForWeeks tests: accuracy per week
    std::vector<TypePoint> accuracy;
    std::vector<SubjectRate> subjects; // weakest first
    std::vector<DayCount> days;        // the last 90 days, every day listed
    std::vector<TypeSeconds> seconds;
    Prediction prediction;
    std::vector<WrongQuestion> wrong; // the 20 answered wrongly most often
    std::vector<SavedTest> history;   // newest first
};
constexpr int kTestsForWeeks = 30;

// Everything the window shows; `today` is yyyy-MM-dd. Questions judged while
// practising count in the accuracy (a point per day, or in their week), the
// subjects and the questions per day, beside the saved tests.
Figures ReadFigures(AdoConnection& connection, const std::string& today);

// Keeps one question judged while practising (练习记录, made when missing), at
// `time` (yyyy-MM-dd HH:mm:ss).
void RecordPractice(AdoConnection& connection, int questionId, bool right, const std::string& time);

// A saved test's answers as the timed exam kept them: question id and letters.
std::vector<std::pair<int, std::string>> AnswersOf(AdoConnection& connection, int testId);
// The questions of a saved test, as 温故知新 lists them.
std::vector<int> QuestionsOf(AdoConnection& connection, int testId);

// 申论: the attempts at writing tasks (申论作答) and their estimated scores.
struct EssayPoint {
    std::string kind;   // 任务类型
    int number = 0;     // its place among the submitted attempts of its kind, from 1
    double percent = 0; // 估分 of 满分
};
struct EssayFigures {
    int attempts = 0, submitted = 0;
    // Kind after kind (归纳概括 … 文章论述, then any other), each in the order started.
    std::vector<EssayPoint> scores;
    // Characters a minute of the attempts of a minute or more, in the order started.
    std::vector<double> speeds;
    double averageSpeed = 0; // of `speeds`
};

// A bank from before the writing window has no 申论作答: no attempts.
EssayFigures ReadEssayFigures(AdoConnection& connection);

} // namespace stats
