#include "exam/ShowTestResult.h"

#include "browser/WebBrowser.h"
#include "exam/History.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "platform/Seam.h"
#include "render/Global.h"

#include <QDateTime>

namespace {
Seam<QDateTime()> clockSeam;
} // namespace

void TFrmShowTestResult::SetClockForTests(std::function<QDateTime()> clock) {
    clockSeam.Replace(std::move(clock));
}

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
    for (const std::string& line : ResultPageLines(ResultTotals))
        WebBrowser1->Document().Writeln(line);
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

void TFrmShowTestResult::QuerySave() {
    if (MessageBox(QStringLiteral("是否将本次测试结果保存到测试历史中？(Y/N)"),
                   QStringLiteral("保存测试历史"), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const QDateTime now = clockSeam ? clockSeam() : QDateTime::currentDateTime();
    switch (SaveTestToHistory(ResultTotals, now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString(),
                              SaveAlso)) {
    case TSaveResult::Saved:
        MessageBox(QStringLiteral("已经成功地保存到测试历史中！"), QStringLiteral("保存成功"),
                   MB_ICONINFORMATION | MB_OK);
        break;
    case TSaveResult::TestFailed:
        MessageBox(QStringLiteral("保存测试结果到测试历史中出错，请重新操作！"), QStringLiteral("保存失败"),
                   MB_ICONWARNING | MB_OK);
        break;
    case TSaveResult::QuestionsFailed:
        MessageBox(QStringLiteral("保存测试题目到测试历史中出错，请重新操作！"), QStringLiteral("保存失败"),
                   MB_ICONWARNING | MB_OK);
        break;
    }
}
