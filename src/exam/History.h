#pragma once
// Storing a graded test in the history tables.
#include "exam/ResultPage.h"

#include <functional>
#include <string>

// Which step of a save failed; the two failures have messages of their own.
enum class TSaveResult { Saved, TestFailed, QuestionsFailed };

// Stores the test (totals, stamped `stamp` as 'yyyy-MM-dd HH:mm:ss') and one row
// per question of ShiTiList, in one transaction: all of it or none of it. The
// cause of a failure is logged.
//
// `also`, when given, adds rows of our own for the new test (its 编号) in the
// same transaction. Its failure is logged and undone alone: the test itself is
// saved as it would be without it.
TSaveResult SaveTestToHistory(const TResultTotals& totals, const std::string& stamp,
                              const std::function<void(long long testId)>& also = {});
