#include "exam/TimedExam.h"

#include "store/AdoConnection.h"
#include "store/AdoQuery.h"
#include "store/OwnTables.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {
std::function<std::int64_t()> clockSource;
const std::string kNoAnswer;
} // namespace

std::int64_t BootTimeMs() {
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

std::function<std::int64_t()> SetExamClockForTests(std::function<std::int64_t()> clock) {
    std::swap(clockSource, clock);
    return clock;
}

std::int64_t ExamNowMs() {
    return clockSource ? clockSource() : BootTimeMs();
}

int DefaultLimitMinutes(int questions) {
    const long long seconds = 55LL * std::max(questions, 0);
    const long long fives = (seconds + 299) / 300;
    return static_cast<int>(std::clamp<long long>(fives * 5, kMinLimitMinutes, kMaxLimitMinutes));
}

std::string RemainingText(std::int64_t remainingMs) {
    const std::int64_t s = (std::max<std::int64_t>(remainingMs, 0) + 999) / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    return std::string("剩余 ") + text;
}

TTimedExam::TTimedExam(std::vector<TimedQuestion> questions, int limitSeconds)
    : questions_(std::move(questions)), answers_(questions_.size()), spentMs_(questions_.size()),
      limitSeconds_(limitSeconds), startMs_(ExamNowMs()), lastActionMs_(startMs_) {}

std::int64_t TTimedExam::endMs() const {
    return startMs_ + std::int64_t{limitSeconds_} * 1000;
}

std::int64_t TTimedExam::RemainingMs() const {
    const std::int64_t now = running_ ? ExamNowMs() : stoppedMs_;
    return std::max<std::int64_t>(0, endMs() - now);
}

void TTimedExam::Stop(bool ranOut) {
    if (!running_) return;
    stoppedMs_ = std::min(ExamNowMs(), endMs());
    running_ = false;
    ranOut_ = ranOut;
}

int TTimedExam::UsedSeconds() const {
    const std::int64_t end = running_ ? std::min(ExamNowMs(), endMs()) : stoppedMs_;
    return static_cast<int>((end - startMs_ + 500) / 1000);
}

int TTimedExam::IndexOf(int id) const {
    const auto it = std::find_if(questions_.begin(), questions_.end(),
                                 [id](const TimedQuestion& q) { return q.id == id; });
    return it == questions_.end() ? -1 : static_cast<int>(it - questions_.begin());
}

bool TTimedExam::Answered(int id, const std::string& letters) {
    const int i = IndexOf(id);
    if (!running_ || i < 0) return false;
    // Past the limit the time is no one's: the answer comes too late to count.
    const std::int64_t now = std::min(ExamNowMs(), endMs());
    spentMs_[static_cast<size_t>(i)] += std::max<std::int64_t>(0, now - lastActionMs_);
    lastActionMs_ = std::max(lastActionMs_, now);
    answers_[static_cast<size_t>(i)] = letters;
    return true;
}

void TTimedExam::TakeGraded(int id, const std::string& letters) {
    const int i = IndexOf(id);
    if (i >= 0) answers_[static_cast<size_t>(i)] = letters;
}

const std::string& TTimedExam::AnswerOf(int id) const {
    const int i = IndexOf(id);
    return i < 0 ? kNoAnswer : answers_[static_cast<size_t>(i)];
}

int TTimedExam::SecondsOn(int id) const {
    const int i = IndexOf(id);
    return i < 0 ? 0 : static_cast<int>((spentMs_[static_cast<size_t>(i)] + 500) / 1000);
}

int TTimedExam::AnsweredCount() const {
    return static_cast<int>(
        std::count_if(answers_.begin(), answers_.end(), [](const std::string& a) { return !a.empty(); }));
}

void CreateTimingTables(AdoConnection& connection) {
    owntables::Create(connection, {"测试计时", "测试作答"});
}

void TTimedExam::Save(AdoConnection& connection, long long testId) const {
    CreateTimingTables(connection);
    AdoQuery q(&connection);
    q.ExecBound("INSERT INTO 测试计时(测试编号,限时秒数,用时秒数,是否超时) VALUES(?,?,?,?)",
                {testId, static_cast<long long>(limitSeconds_), static_cast<long long>(UsedSeconds()),
                 ranOut_ ? 1LL : 0LL});
    for (size_t i = 0; i < questions_.size(); ++i)
        q.ExecBound("INSERT INTO 测试作答(测试编号,小题号,作答,用时秒数) VALUES(?,?,?,?)",
                    {testId, static_cast<long long>(questions_[i].id), std::string_view(answers_[i]),
                     static_cast<long long>((spentMs_[i] + 500) / 1000)});
}
