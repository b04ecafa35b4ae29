// TFrmMain: the mock exam, grading the page, the test history, favourites,
// the question search and the question filter.
#include "app/FrmMain.h"

#include "browser/WebBrowser.h"
#include "exam/Grading.h"
#include "exam/MLKC.h"
#include "exam/SCJST.h"
#include "exam/STCZ.h"
#include "exam/STGL.h"
#include "exam/ShowTestResult.h"
#include "exam/TimedExam.h"
#include "exam/WGZX.h"
#include "platform/AppFolder.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "render/QuestionPage.h"
#include "store/AdoQuery.h"
#include "store/DataModule.h"

#include <QJsonArray>
#include <QJsonDocument>

void TFrmMain::showPaper(const char* title, bool practice) {
    const BusyCursor busy;
    BuildQuestionPage(title);
    practicePage_ = practice;
    WebBrowser1->Navigate(AppFolder() + "css/Question.html");
}

void TFrmMain::ActMLKCExecute() {
    TFrmMLKC dlg(this);
    if (dlg.ShowModal() == mrOk) showPaper("模拟考场");
}

void TFrmMain::ActWGZXExecute() {
    TFrmWGZX dlg(this);
    if (dlg.ShowModal() == mrOk) showPaper("温故知新", true);
}

void TFrmMain::ActSCJSTExecute() {
    TFrmSCJST dlg(this);
    AdoQuery& favourites = OpenFavourites();
    if (favourites.RecordCount() == 0) {
        MessageBox(QStringLiteral("收藏夹是空的，没有可以显示的试题信息！"), QStringLiteral("收藏夹空"),
                   MB_ICONINFORMATION);
        return;
    }
    dlg.FillData(favourites);
    if (dlg.ShowModal() == mrOk) showPaper("收藏夹试题", true);
}

void TFrmMain::ActSTCZExecute() {
    TFrmSTCZ dlg(this);
    dlg.ShowPaper = [this](const char* title) { showPaper(title, true); };
    dlg.ShowModal();
    reportReviewFailure();
}

void TFrmMain::ToolButton7Click() {
    if (!requirePaper(PaperLoaded) || !ConfirmLeaveTimedExam()) return;
    if (MessageBox(QStringLiteral("试题过滤会清除当前所选择的答案，是否继续？(Y/N)"), QStringLiteral("询问"),
                   MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    TFrmSTGL dlg(this);
    if (dlg.ShowModal() == mrOk)
        showPaper("试题过滤", practicePage_); // a filtered page is practised on as before
}

std::optional<std::vector<std::vector<bool>>> TFrmMain::ReadChoices() {
    QJsonArray questions;
    for (const TShiTi* q : ShiTiList)
        questions.append(QJsonArray{q->Id, q->OptionCount});
    const QString js = QStringLiteral("(function(qs){var out=[];for(var k=0;k<qs.length;k++){var id=qs[k][0];"
                                      "if(!document.getElementById('T'+id+'_'+id)){out.push(null);continue;}"
                                      "var c=[];for(var j=0;j<qs[k][1];j++){var "
                                      "e=document.getElementById(id+'/'+j);c.push(!!(e&&e.checked));}"
                                      "out.push(c);}return out;})(%1)")
                           .arg(QString::fromUtf8(QJsonDocument(questions).toJson(QJsonDocument::Compact)));
    const QVariantList answers = WebBrowser1->Evaluate(js).toList();
    if (answers.size() != ShiTiList.Count()) return std::nullopt;
    std::vector<std::vector<bool>> checked;
    checked.reserve(static_cast<size_t>(answers.size()));
    for (const QVariant& a : answers) {
        if (a.isNull()) return std::nullopt;
        std::vector<bool> options;
        for (const QVariant& c : a.toList())
            options.push_back(c.toBool());
        checked.push_back(std::move(options));
    }
    return checked;
}

void TFrmMain::ToolButton8Click() {
    // Also refused: a page without questions, or a main browser that no longer
    // shows the page the questions were listed for.
    if (!PaperLoaded || ShiTiList.Count() == 0) return void(requirePaper(false));
    const auto checked = ReadChoices();
    if (!checked) return void(requirePaper(false));
    bool answerable = false;
    for (const TShiTi* q : ShiTiList)
        answerable = answerable || !Ungraded(*q);
    if (!answerable) {
        MessageBox(QStringLiteral(
                       "这一页的题目不在页面中作答，没有可以批阅的选择题。请对照答案解析中的参考要点自查。"),
                   QStringLiteral("批阅试卷"), MB_ICONINFORMATION);
        return;
    }

    timedExamGraded(*checked);
    const std::vector<int> wrong = GradeChoices(*checked);
    QJsonArray ids;
    for (int id : wrong)
        ids.append(id);
    WebBrowser1->ExecScript(
        QStringLiteral("%1.forEach(function(id){var t=document.getElementById('T'+id+'_'+id);"
                       "if(t)t.style.color='red';})")
            .arg(QString::fromUtf8(QJsonDocument(ids).toJson(QJsonDocument::Compact))));
    ScoreTallies();
    showTimedVerdicts();
    feedReviewCards(*checked);
    TFrmShowTestResult dlg(this);
    if (timedExam_) {
        // A saved test keeps the exam's time and answers beside it.
        const TTimedExam* exam = timedExam_.get(); // lives on while the dialog is modal
        dlg.SaveAlso = [exam](long long testId) { exam->Save(DataModule1->ADOConnection1, testId); };
    }
    dlg.ShowModal();
    reportReviewFailure();
}
