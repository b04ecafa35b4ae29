#include "exam/History.h"

#include "exam/Grading.h"
#include "exam/Log.h"
#include "render/Global.h"
#include "store/DataModule.h"
#include "store/SqlText.h"
#include "store/Transaction.h"

#include <optional>

namespace {
// A failed save is logged here; its transaction is undone as the save returns.
void abandon(const std::exception& cause) {
    qCWarning(lcExam) << "saving the test failed:" << cause.what();
}
} // namespace

TSaveResult SaveTestToHistory(const TResultTotals& totals, const std::string& stamp,
                              const std::function<void(long long testId)>& also) {
    AdoConnection& connection = DataModule1->ADOConnection1;
    AdoQuery& q = DataModule1->ADOQuery2;

    // The test's number comes from the insert itself, never from its time.
    std::optional<store::WriteTransaction> transaction;
    long long testId = 0;
    try {
        transaction.emplace(connection);
        q.ExecWith({"INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) ",
                    "VALUES(" + std::to_string(totals.Count) + ",",
                    std::to_string(totals.Right) + "," + SqlNumber(totals.FullScore) + "," +
                        SqlNumber(totals.Score) + ",",
                    SqlNumber(totals.Rate()), "," + QuotedStr(stamp), ")"});
        testId = connection.LastInsertId();
    } catch (const std::exception& e) {
        abandon(e);
        return TSaveResult::TestFailed;
    }
    try {
        for (const TShiTi* s : ShiTiList) {
            if (Ungraded(*s)) continue;
            q.ExecWith({"INSERT INTO 测试题目(测试编号,小题号,回答正确) VALUES(" + std::to_string(testId) +
                            "," + std::to_string(s->Id) + "," + (s->Correct ? "-1" : "0"),
                        ")"});
        }
    } catch (const std::exception& e) {
        abandon(e);
        return TSaveResult::QuestionsFailed;
    }
    if (also) {
        try {
            q.ExecWith({"SAVEPOINT 附加记录"});
            try {
                also(testId);
                q.ExecWith({"RELEASE 附加记录"});
            } catch (const std::exception& e) {
                qCWarning(lcExam) << "the test's own additions were not saved:" << e.what();
                q.ExecWith({"ROLLBACK TO 附加记录"});
                q.ExecWith({"RELEASE 附加记录"});
            }
        } catch (const std::exception& e) {
            abandon(e);
            return TSaveResult::QuestionsFailed;
        }
    }
    try {
        transaction->commit();
    } catch (const std::exception& e) {
        abandon(e);
        return TSaveResult::QuestionsFailed;
    }
    return TSaveResult::Saved;
}
