#pragma once
#include <functional>
#include <string>
#include <vector>

// What the mock exam dialog asks for: checked sources and subjects by name,
// the scope, and a count per question type (in the order of 类型说明).
struct TDrawRequest {
    std::vector<std::string> Sources;
    std::vector<std::string> Subjects;
    int Scope = 0;  // 0 all questions, 1 favourites, 2 questions answered wrongly
    std::vector<std::pair<std::string, int>> Counts;
};

// The outcome: 0 when XiaoTiList holds the paper, else the number of the
// message that explains why not (3 no source, 4 no subject, 5 no questions,
// 6 nothing in scope). The count checks (1, 2) belong to the dialog.
int DrawPaper(const TDrawRequest& request);

// Seeds for the draws; the clock by default, fixed in tests.
std::function<unsigned()> SetDrawSeedSource(std::function<unsigned()> source);
