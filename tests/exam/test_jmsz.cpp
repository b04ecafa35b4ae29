// The score dialog: the rows it builds, the arrows and typing, and what OK stores.
#include "exam/JMSZ.h"
#include "platform/Beep.h"
#include "platform/MessageBox.h"
#include "store/DataModule.h"
#include "support/TestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const std::string kTypes =
    "INSERT INTO 类型说明 VALUES('单选','',2.0);INSERT INTO 类型说明 VALUES('多选','',3.0);"
    "INSERT INTO 类型说明 VALUES('判断','',0.5);INSERT INTO 类型说明 VALUES('填空','',4.0);"
    "INSERT INTO 类型说明 VALUES('简答','',5.0);INSERT INTO 类型说明 VALUES('O''Brien题','',6.0);"
    "INSERT INTO 类型说明 VALUES(' 论述 ','',7.0);";

double score(const std::string& type) {
    return DataModule1->ADOQuery2.OpenWith({"SELECT 分数 FROM 类型说明 WHERE 题目类型='" + type + "'"})
        .FieldByName("分数")
        .AsFloat();
}

// The row of a type: the table decides the order, not the inserts.
size_t rowOf(const TFrmJMSZ& dlg, const char* type) {
    for (size_t i = 0; i < dlg.ScoreLabels.size(); ++i)
        if (dlg.ScoreLabels[i]->text() == QString::fromUtf8(type)) return i;
    ADD_FAILURE() << "no row for " << type;
    return 0;
}

struct ScoreBank {
    ScoreBank() : bank(kTypes) {
        SetBeepHandler([this] { ++beeps; });
    }
    ~ScoreBank() { SetBeepHandler({}); }
    OpenBank bank;
    MessageBoxRecorder boxes;
    int beeps = 0;
};
} // namespace

TEST(ScoreDialog, SevenTypesStandThreeToARow) {
    ScoreBank s;
    TFrmJMSZ dlg(nullptr);
    ASSERT_EQ(dlg.ScoreLabels.size() + dlg.ScoreEdits.size() + dlg.ScoreSpins.size(), 21u);
    const QPoint edits[] = {{100, 18}, {300, 18}, {500, 18}, {100, 48}, {300, 48}, {500, 48}, {100, 78}};
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(dlg.ScoreEdits[i]->pos(), edits[i]) << i;
        EXPECT_EQ(dlg.ScoreLabels[i]->geometry(), QRect(edits[i].x() - 100, edits[i].y() + 3, 100, 18)) << i;
        EXPECT_EQ(dlg.ScoreSpins[i]->geometry(), QRect(edits[i].x() + 50, edits[i].y() - 1, 20, 26)) << i;
        EXPECT_EQ(dlg.ScoreEdits[i]->text(), "1.0"); // never the stored score
    }
    EXPECT_EQ(dlg.PageControl1->currentWidget(), dlg.TabSheet1);
}

TEST(ScoreDialog, ArrowsStayWithinNoughtAndAHundredAndBeepAtTheEdges) {
    ScoreBank s;
    TFrmJMSZ dlg(nullptr);
    struct Case {
        const char* from;
        bool up;
        const char* to;
        int beeps;
    };
    // Typed values are not range-checked; the arrows work on from them.
    const Case cases[] = {{"99.0", true, "100.0", 0}, {"99.5", true, "99.5", 1},  {"1.0", false, "0.0", 0},
                          {"0.5", false, "0.5", 1},   {"250", false, "249.0", 0}, {"1.25", true, "2.3", 0}};
    for (const Case& c : cases) {
        dlg.ScoreEdits[1]->setText(QString::fromUtf8(c.from));
        const int before = s.beeps;
        (c.up ? dlg.ScoreSpins[1]->UpButton() : dlg.ScoreSpins[1]->DownButton())->click();
        EXPECT_EQ(dlg.ScoreEdits[1]->text(), QString::fromUtf8(c.to)) << c.from;
        EXPECT_EQ(s.beeps - before, c.beeps) << c.from;
    }
    EXPECT_EQ(dlg.ScoreEdits[0]->text(), "1.0"); // only the row of that spin button
}

TEST(ScoreDialog, TextThatIsNoNumberBecomesOneAtOnce) {
    ScoreBank s;
    TFrmJMSZ dlg(nullptr);
    QLineEdit* edit = dlg.ScoreEdits[0];
    for (const char* bad : {"", "-", "2;DELETE FROM 类型说明", "1e999"}) {
        const int before = s.beeps;
        edit->setText(QString::fromUtf8(bad));
        EXPECT_EQ(edit->text(), "1.0") << bad;
        EXPECT_EQ(s.beeps, before + 1) << bad;
    }
    for (const char* good : {"2.50", " 7", ".5"}) {
        edit->setText(QString::fromUtf8(good));
        EXPECT_EQ(edit->text(), QString::fromUtf8(good));
    }
}

TEST(ScoreDialog, APastedLongNumberIsCutToTheEditsLengthAndReadWithoutRecursion) {
    ScoreBank s;
    TFrmJMSZ dlg(nullptr);
    QLineEdit* edit = dlg.ScoreEdits[0];
    const QString digits(30000, u'7');
    QGuiApplication::clipboard()->setText(digits);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), digits.left(32)) << "still a number: kept as pasted, as far as the edit holds";
    EXPECT_EQ(s.beeps, 0);
    // The parser itself takes any length: too large is no number, blanks are blanks.
    double v = 0;
    EXPECT_FALSE(ParseScore(digits, v));
    EXPECT_TRUE(ParseScore(QString(30000, u' ') + QStringLiteral("2.5e0"), v));
    EXPECT_EQ(v, 2.5);
    EXPECT_FALSE(ParseScore(QStringLiteral("1.5e"), v));
    EXPECT_FALSE(ParseScore(QStringLiteral("."), v));
}

TEST(ScoreDialog, OkStoresEveryScoreAsTyped) {
    ScoreBank s;
    {
        TFrmJMSZ dlg(nullptr);
        dlg.BitBtn1->click(); // at once: 1.0 everywhere the names match
        EXPECT_EQ(dlg.ModalResult, mrOk);
    }
    ASSERT_EQ(s.boxes.shown.size(), 1u);
    EXPECT_EQ(s.boxes.shown[0].text, "分数设置保存成功！");
    EXPECT_EQ(s.boxes.shown[0].caption, "操作成功");
    EXPECT_EQ(s.boxes.shown[0].flags, MB_ICONINFORMATION);
    for (const char* t : {"单选", "多选", "判断", "填空", "简答", "O''Brien题"})
        EXPECT_EQ(score(t), 1.0) << t;
    EXPECT_EQ(score(" 论述 "), 7.0); // the trimmed name matches no row

    TFrmJMSZ dlg(nullptr);
    const size_t single = rowOf(dlg, "单选");
    dlg.ScoreEdits[single]->setText(QStringLiteral("2.50"));
    dlg.ScoreEdits[rowOf(dlg, "O'Brien题")]->setText(QStringLiteral("12"));
    dlg.BitBtn1->click();
    EXPECT_EQ(score("单选"), 2.5);
    EXPECT_EQ(score("O''Brien题"), 12.0);
    dlg.ScoreSpins[single]->UpButton()->click();
    EXPECT_EQ(dlg.ScoreEdits[single]->text(), "3.5");

    // Cancel stores nothing.
    TFrmJMSZ cancelled(nullptr);
    cancelled.ScoreEdits[rowOf(cancelled, "单选")]->setText(QStringLiteral("9"));
    cancelled.BitBtn2->click();
    EXPECT_EQ(cancelled.ModalResult, mrCancel);
    EXPECT_EQ(score("单选"), 2.5);

    // A failing statement is shown, and the success message is not.
    TFrmJMSZ failing(nullptr);
    DataModule1->ADOQuery2.ExecWith({"ALTER TABLE 类型说明 RENAME TO 旧类型说明"});
    s.boxes.shown.clear();
    QTest::mouseClick(failing.BitBtn1, Qt::LeftButton);
    ASSERT_EQ(s.boxes.shown.size(), 1u);
    EXPECT_TRUE(s.boxes.shown[0].text.contains("类型说明")) << s.boxes.shown[0].text.toStdString();
    EXPECT_EQ(s.boxes.shown[0].flags, MB_ICONERROR);
}
