// TFrmMain: the mock exam, grading the page, and the test history.
#include "app/FrmMain.h"

#include "browser/WebBrowser.h"
#include "exam/Grading.h"
#include "exam/MLKC.h"
#include "exam/ShowTestResult.h"
#include "exam/WGZX.h"
#include "platform/AppFolder.h"
#include "platform/BusyCursor.h"
#include "render/Global.h"
#include "render/QuestionPage.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {
// Shows the page of XiaoTiList under `title` in the main browser.
void showPaper(WebBrowser* browser, const char* title) {
    const BusyCursor busy;
    BuildQuestionPage(title);
    browser->Navigate(AppFolder() + "css/Question.html");
}
}  // namespace

void TFrmMain::ActMLKCExecute() {
    TFrmMLKC dlg(this);
    if (dlg.ShowModal() == mrOk) showPaper(WebBrowser1, "模拟考场");
}

void TFrmMain::ActWGZXExecute() {
    TFrmWGZX dlg(this);
    if (dlg.ShowModal() == mrOk) showPaper(WebBrowser1, "温故知新");
}

std::optional<std::vector<std::vector<bool>>> TFrmMain::ReadChoices() {
    QJsonArray questions;
    for (const TShiTi* q : ShiTiList) questions.append(QJsonArray{q->Id, q->OptionCount});
    const QString js = QStringLiteral(
        "(function(qs){var out=[];for(var k=0;k<qs.length;k++){var id=qs[k][0];"
        "if(!document.getElementById('T'+id+'_'+id)){out.push(null);continue;}"
        "var c=[];for(var j=0;j<qs[k][1];j++){var e=document.getElementById(id+'/'+j);c.push(!!(e&&e.checked));}"
        "out.push(c);}return out;})(%1)")
                           .arg(QString::fromUtf8(QJsonDocument(questions).toJson(QJsonDocument::Compact)));
    const QVariantList answers = WebBrowser1->Evaluate(js).toList();
    if (answers.size() != ShiTiList.Count()) return std::nullopt;
    std::vector<std::vector<bool>> checked;
    checked.reserve(static_cast<size_t>(answers.size()));
    for (const QVariant& a : answers) {
        if (a.isNull()) return std::nullopt;
        std::vector<bool> options;
        for (const QVariant& c : a.toList()) options.push_back(c.toBool());
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

    const std::vector<int> wrong = GradeChoices(*checked);
    QJsonArray ids;
    for (int id : wrong) ids.append(id);
    WebBrowser1->ExecScript(QStringLiteral("%1.forEach(function(id){var t=document.getElementById('T'+id+'_'+id);"
                                           "if(t)t.style.color='red';})")
                                .arg(QString::fromUtf8(QJsonDocument(ids).toJson(QJsonDocument::Compact))));
    ScoreTallies();
    TFrmShowTestResult dlg(this);
    dlg.ShowModal();
}
