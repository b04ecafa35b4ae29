#include "exam/Grading.h"

#include "render/Global.h"
#include "render/QuestionPage.h"
#include "store/DataModule.h"
#include "store/SqlText.h"

#include <stdexcept>

std::string ChosenLetters(const std::vector<bool>& checked) {
    std::string letters;
    for (size_t j = 0; j < checked.size(); ++j)
        if (checked[j]) letters += OptionLetter(static_cast<int>(j));
    return letters;
}

// A question without options and without a key (an essay task) cannot be
// answered in the page: it is neither right nor wrong. One with a key but no
// options stays wrong, as ever.
bool Ungraded(const TShiTi& q) {
    return q.OptionCount == 0 && q.Answer.empty();
}

namespace {
std::string upperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}
} // namespace

bool AnswerMatches(const TShiTi& q, const std::string& letters) {
    return upperAscii(q.Answer) == letters;
}

std::vector<int> GradeChoices(const std::vector<std::vector<bool>>& checked) {
    if (checked.size() != static_cast<size_t>(ShiTiList.Count()))
        throw std::logic_error("GradeChoices: one list of options per question expected");
    std::vector<int> wrong;
    TestList.Clear();
    auto tally = std::make_unique<TTest>();
    for (int k = 0; k < ShiTiList.Count(); ++k) {
        TShiTi* q = ShiTiList[k];
        if (Ungraded(*q)) continue;
        if (q->TypeName != tally->TypeName) {
            if (!tally->TypeName.empty()) TestList.Add(std::move(tally));
            tally = std::make_unique<TTest>();
            tally->TypeName = q->TypeName;
        }
        q->Correct = AnswerMatches(*q, ChosenLetters(checked[static_cast<size_t>(k)]));
        if (q->Correct)
            ++tally->RightCount;
        else
            wrong.push_back(q->Id);
        ++tally->Total;
    }
    if (!tally->TypeName.empty()) TestList.Add(std::move(tally));
    return wrong;
}

void ScoreTallies() {
    const ReadTransaction reads(DataModule1->ADOConnection1);
    AdoQuery& q = DataModule1->ADOQuery2;
    for (TTest* t : TestList) {
        q.OpenWith({"SELECT 分数 FROM 类型说明 WHERE 题目类型 =", QuotedStr(t->TypeName)});
        const double points = q.FieldByName("分数").AsFloat();
        t->FullScore = static_cast<float>(points * t->Total);
        t->Score = static_cast<float>(points * t->RightCount);
        t->RightRate = t->Total ? static_cast<float>(t->RightCount) / static_cast<float>(t->Total) : 0.0f;
    }
}
