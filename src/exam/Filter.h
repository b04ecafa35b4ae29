#pragma once
// The question filter: narrows XiaoTiList in place to a scope and to chosen
// question types.
#include <string>
#include <vector>

enum class TFilterScope { All = 0, Favourites = 1, AnsweredWrongly = 2 };

enum class TFilterResult {
    Filtered,        // XiaoTiList holds the narrowed questions
    NothingToFilter, // XiaoTiList was empty
    NothingInScope,  // the scope or the types left nothing; XiaoTiList is now empty
};

// `types`: the checked question types in list order, at least one. XiaoTiList
// changes before the outcome is known, so a choice that leaves nothing leaves it
// empty. Its new order is the database's. Database errors propagate.
TFilterResult FilterQuestions(TFilterScope scope, const std::vector<std::string>& types);
