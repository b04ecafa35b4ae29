#include "exam/ShowTestResult.h"

#include "browser/WebBrowser.h"
#include "exam/Log.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "platform/Seam.h"
#include "render/Global.h"
#include "store/DataModule.h"
#include "store/SqlText.h"

#include <QDateTime>

namespace {
Seam<QDateTime()> clockSeam;
}  // namespace

void TFrmShowTestResult::SetClockForTests(std::function<QDateTime()> clock) { clockSeam.Replace(std::move(clock)); }

TFrmShowTestResult::TFrmShowTestResult(QWidget* parent) : TDialog(parent) {
    InitForm(QStringLiteral("测试结果"), 688, 406);
    WebBrowser1 = new WebBrowser(this);
    WebBrowser1->setGeometry(8, 8, 670, 337);
    BitBtn1 = new QPushButton(QStringLiteral("关闭"), this);
    BitBtn1->setGeometry(591, 351, 89, 25);
    AttachButton(BitBtn1, mrClose);
    FormCreate();
}

void TFrmShowTestResult::FormCreate() {
    WebBrowser1->Navigate(QStringLiteral("about:blank"));
    for (const std::string& line : ResultPageLines(ResultTotals)) WebBrowser1->Document().Writeln(line);
}

void TFrmShowTestResult::done(int result) {
    // Every way of closing asks once, and the dialog closes whatever saving did.
    try {
        QuerySave();
    } catch (...) {
        HandleException();
    }
    TDialog::done(result);
}

namespace {
// Undoes a failed save; a rollback that fails too is logged, never thrown over
// the message the user is about to see.
void abandon(AdoConnection& connection, const std::exception& cause) {
    qCWarning(lcExam) << "saving the test failed:" << cause.what();
    try {
        connection.RollbackTrans();
    } catch (const std::exception& e) {
        qCWarning(lcExam) << "rollback failed:" << e.what();
    }
}
}  // namespace

void TFrmShowTestResult::QuerySave() {
    if (MessageBox(QStringLiteral("是否将本次测试结果保存到测试历史中？(Y/N)"), QStringLiteral("保存测试历史"),
                   MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const QDateTime now = clockSeam ? clockSeam() : QDateTime::currentDateTime();
    const std::string stamp = now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
    AdoConnection& connection = DataModule1->ADOConnection1;
    AdoQuery& q = DataModule1->ADOQuery2;

    // The test and its questions go in together or not at all, and the test's
    // number comes from the insert itself, never from its time.
    long long testId = 0;
    try {
        connection.BeginTrans();
        q.ExecWith({"INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) ",
                    "VALUES(" + std::to_string(ResultTotals.Count) + ",",
                    std::to_string(ResultTotals.Right) + "," + SqlNumber(ResultTotals.FullScore) + "," +
                        SqlNumber(ResultTotals.Score) + ",",
                    SqlNumber(ResultTotals.Rate()), "," + QuotedStr(stamp), ")"});
        testId = connection.LastInsertId();
    } catch (const std::exception& e) {
        abandon(connection, e);
        MessageBox(QStringLiteral("保存测试结果到测试历史中出错，请重新操作！"), QStringLiteral("保存失败"),
                   MB_ICONWARNING | MB_OK);
        return;
    }
    try {
        for (const TShiTi* s : ShiTiList)
            q.ExecWith({"INSERT INTO 测试题目(测试编号,小题号,回答正确) VALUES(" + std::to_string(testId) + "," +
                            std::to_string(s->Id) + "," + (s->Correct ? "-1" : "0"),
                        ")"});
        connection.CommitTrans();
    } catch (const std::exception& e) {
        abandon(connection, e);
        MessageBox(QStringLiteral("保存测试题目到测试历史中出错，请重新操作！"), QStringLiteral("保存失败"),
                   MB_ICONWARNING | MB_OK);
        return;
    }
    MessageBox(QStringLiteral("已经成功地保存到测试历史中！"), QStringLiteral("保存成功"), MB_ICONINFORMATION | MB_OK);
}
