#pragma once
// The question search: subjects by name to their categories, those to the
// question categories below them, and the questions whose text contains a
// given text. The numbers travel as 16-bit values.
#include "render/Records.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One number of the search's scope: a list index, later a category 编号.
class TSearchBH {
public:
    std::uint16_t Id = 0;
};

enum class TSearchResult {
    Found,        // ADOQuery2 is open on the matching questions' 小题号, 题目内容, 题目类型
    NoSubjects,   // no category bears a checked subject's name
    NoCategories, // those categories have no question categories
    NoQuestions,  // no question of those categories contains the text
};

// `subjects`: the names of the checked subjects, in list order. `scope` is
// refilled at each stage and ends holding the question categories searched.
// Database errors propagate.
TSearchResult SearchQuestions(const std::vector<std::string>& subjects, std::string_view text,
                              TObjectList<TSearchBH>& scope);
