// A 10,000-question page in the real main window: commands wait for the whole
// page, however long it loads, and grade it as they would grade it in parts.
#include "SyntheticBank.h"
#include "app/FrmMain.h"
#include "browser/WebBrowser.h"
#include "exam/Grading.h"
#include "exam/ShowTestResult.h"
#include "platform/AppFolder.h"
#include "platform/MessageBox.h"
#include "platform/Online.h"
#include "render/Global.h"
#include "render/QuestionPage.h"
#include "store/DataModule.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>

namespace {
constexpr int kQuestions = 10000;

struct Tally {
    int total = 0, right = 0;
    bool operator==(const Tally&) const = default;
};
using Tallies = std::map<std::string, Tally>;

void addTallies(Tallies& into) {
    for (const TTest* t : TestList) {
        into[t->TypeName].total += t->Total;
        into[t->TypeName].right += t->RightCount;
    }
}

// Ticks the first option of every 7th answerable question and the second of
// every 11th: the same choices on any page that holds those questions.
QString tickScript() {
    QJsonArray ids;
    for (const TShiTi* s : ShiTiList)
        if (s->OptionCount > 1 && (s->Id % 7 == 0 || s->Id % 11 == 0)) ids.append(s->Id);
    return QStringLiteral("%1.forEach(function(id){var "
                          "j=id%7==0?0:1;document.getElementById(id+'/'+j).checked=true;});1")
        .arg(QString::fromUtf8(QJsonDocument(ids).toJson(QJsonDocument::Compact)));
}

class LargePage : public ::testing::Test {
protected:
    LargePage() : inst({}, false) {
        bank::SynthOptions o;
        o.questions = kQuestions;
        o.schemaPath = std::string(QUILLORA_SOURCE_DIR) + "/data/bank/schema.sql";
        bank::BuildSynthetic(inst.Path("exam.db"), o);
        SetAppFolder(inst.Folder());
        previousOnline = SetOnlineCheckHandler([](const QString&) { return false; });
        frm = std::make_unique<TFrmMain>();
        frm->resize(1300, 734);
        frm->show();
        EXPECT_TRUE(frm->FormCreate());
    }
    ~LargePage() override {
        frm.reset();
        SetOnlineCheckHandler(previousOnline);
        SetAppFolder({});
    }
    void show(const std::vector<int>& ids) {
        XiaoTiList.Clear();
        for (int id : ids)
            XiaoTiList.Add()->Id = id;
        BuildQuestionPage("模拟考场");
        frm->WebBrowser1->Navigate(inst.Path("css/Question.html"));
    }
    // Closes each result dialog as it comes up, without saving.
    void closeResults() {
        QTimer::singleShot(20, frm.get(), [this] {
            if (auto* d = qobject_cast<TFrmShowTestResult*>(QApplication::activeModalWidget())) {
                ++resultDialogs;
                boxes.Answer(IDNO);
                d->BitBtn1->click();
            }
            if (!stop) closeResults();
        });
    }

    MessageBoxRecorder boxes;
    TestInstall inst;
    std::unique_ptr<TFrmMain> frm;
    std::function<bool(const QString&)> previousOnline;
    int resultDialogs = 0;
    bool stop = false;
};
} // namespace

TEST_F(LargePage, GradingWaitsForTheWholePageAndMatchesGradingItInParts) {
    std::vector<int> ids;
    for (AdoQuery& q = DataModule1->ADOQuery2.OpenWith({"SELECT 小题号 FROM 小题 ORDER BY 小题号"}); !q.Eof();
         q.Next())
        ids.push_back(q.FieldByName("小题号").AsInteger());
    ASSERT_EQ(ids.size(), static_cast<size_t>(kQuestions));

    // The whole page: ticking is itself a command that waits for the load.
    show(ids);
    const int answerable = ShiTiList.Count();
    frm->WebBrowser1->ExecScript(tickScript());
    ASSERT_FALSE(frm->WebBrowser1->IsLoading());
    closeResults();
    // A second press while the first one runs is ignored.
    QTimer::singleShot(0, frm.get(), [this] { frm->ToolButton8->click(); });
    frm->ToolButton8->click();
    EXPECT_EQ(resultDialogs, 1);
    ASSERT_EQ(ShiTiList.Count(), answerable);
    Tallies whole;
    addTallies(whole);
    EXPECT_TRUE(std::none_of(boxes.shown.begin(), boxes.shown.end(),
                             [](const auto& b) { return b.text == "请先选择试卷！"; }));

    // The same questions in pages of 1,000.
    Tallies parts;
    for (size_t from = 0; from < ids.size(); from += 1000) {
        show(std::vector<int>(ids.begin() + static_cast<long>(from),
                              ids.begin() + static_cast<long>(std::min(ids.size(), from + 1000))));
        frm->WebBrowser1->ExecScript(tickScript());
        const auto checked = frm->ReadChoices();
        ASSERT_TRUE(checked.has_value());
        GradeChoices(*checked);
        ScoreTallies();
        addTallies(parts);
    }
    stop = true;
    EXPECT_EQ(whole, parts);
    int total = 0, right = 0;
    for (const auto& [type, t] : whole)
        total += t.total, right += t.right;
    EXPECT_EQ(total, answerable);
    EXPECT_GT(right, 0);
    EXPECT_LT(right, total);
}
