#pragma once
#include <functional>
#include <string>
#include <vector>

// What the mock exam dialog asks for: checked sources and subjects by name,
// the scope, and a count per question type (in the order of 类型说明).
struct TDrawRequest {
    std::vector<std::string> Sources;
    std::vector<std::string> Subjects;
    int Scope = 0; // 0 all questions, 1 favourites, 2 questions answered wrongly
    std::vector<std::pair<std::string, int>> Counts;
};

// The outcome: Drawn when XiaoTiList holds the paper, else which message
// explains why not. The numbers are those of the messages; the count checks
// (1, 2) belong to the dialog.
enum class TDrawResult { Drawn = 0, NoSource = 3, NoSubject = 4, NoQuestions = 5, NothingInScope = 6 };
TDrawResult DrawPaper(const TDrawRequest& request);

// Seeds for the draws; the clock by default, fixed in tests.
std::function<unsigned()> SetDrawSeedSource(std::function<unsigned()> source);
