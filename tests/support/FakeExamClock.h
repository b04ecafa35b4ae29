#pragma once
// The timed exam's clock, moved by the test instead of by real minutes.
#include "exam/TimedExam.h"

struct FakeExamClock {
    std::int64_t now = 1'000'000;
    std::function<std::int64_t()> previous = SetExamClockForTests([this] { return now; });
    ~FakeExamClock() { SetExamClockForTests(previous); }
    void advance(double seconds) { now += static_cast<std::int64_t>(seconds * 1000); }
};
