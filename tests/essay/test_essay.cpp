// Writing 申论: the count as the answer sheet has it, the limits tasks state,
// the sample sets' marks, answers of a reviewer's kind held against the 要点,
// and the writing window keeping every attempt.
#include "essay/Attempts.h"
#include "essay/Count.h"
#include "essay/Judge.h"
#include "essay/Task.h"
#include "essay/WritingWindow.h"
#include "platform/CommonDialogs.h"
#include "store/AdoConnection.h"
#include "store/AdoQuery.h"
#include "store/DataModule.h"
#include "store/EncryptionMDB.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <csignal>
#include <cstdio>

using namespace essay;

namespace {
std::string sampleSets() {
    QFile f(QStringLiteral(QUILLORA_SOURCE_DIR "/data/bank/27_shenlun.sql"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll().toStdString();
}

Task taskOf(int id) {
    AdoQuery q(&DataModule1->ADOConnection1);
    q.OpenBound("SELECT 题目内容, 解释 FROM 小题 WHERE 小题号=?", {static_cast<long long>(id)});
    EXPECT_FALSE(q.Eof()) << id;
    return ReadTask(id, QString::fromStdString(q.Fields(0).AsString()),
                    QString::fromStdString(q.Fields(1).AsString()));
}

// A summary task of our own: three 要点 with their points, 200 characters.
Task summaryTask() {
    return ReadTask(
        1, QStringLiteral("<p>概括存在的问题。</p><p>要求：不超过200字。（10分）</p>"),
        QStringLiteral("<p><b>参考要点</b></p><p>1.护理人才短缺：持证护理员少，收入低，流失率高。（4分）</p>"
                       "<p>2.设施闲置：幸福院建而不用，缺少运营经费。（4分）</p>"
                       "<p>3.智能设备离线：老人不会用，信号差。（2分）</p><p>评分提示：按点给分。</p>"));
}
} // namespace

TEST(EssayCount, CellsAsTheAnswerSheetCountsThem) {
    const std::vector<std::pair<QString, int>> cases{
        {QString(), 0},
        {QStringLiteral("一二三"), 5},          // two empty cells, then one a character
        {QStringLiteral("ab12"), 4},            // two half-width characters share a cell
        {QStringLiteral("a一"), 4},             // a lone half-width one takes a cell of its own
        {QStringLiteral("　　一二"), 4},        // the indent typed is the sheet's own
        {QStringLiteral("一二三\n四五"), 29},   // a paragraph ends its row
        {QStringLiteral("一二三\n\n四五"), 29}, // a blank line is no paragraph
        {QString(23, u'字'), 25},
        {QString(24, u'字'), 26},
        {QStringLiteral("标题\n一二三"), 30},         // a title takes a row of its own
        {QStringLiteral("结尾有句号。\n一二三"), 30}, // a first line that ends a sentence is a paragraph
    };
    for (const auto& [text, cells] : cases) {
        EXPECT_EQ(CountCells(text), cells) << text.toStdString();
        EXPECT_EQ(LayOut(text).cells, cells) << text.toStdString();
    }
    // Every hundredth cell falls on the fourth row's end; the title is centred.
    const Sheet sheet = LayOut(QStringLiteral("题目\n") + QString(98, u'文'));
    ASSERT_EQ(sheet.rows.size(), 5u);
    EXPECT_TRUE(sheet.rows[0].title);
    EXPECT_EQ(sheet.rows[0].cells.indexOf(QStringLiteral("题")), 11);
    EXPECT_EQ(sheet.rows[1].cells.mid(0, 3), (QStringList{QString(), QString(), QStringLiteral("文")}));
    EXPECT_EQ(FittingPrefix(QStringLiteral("一二三四"), 4), 2);
}

TEST(EssayCount, TheLimitATaskStates) {
    const std::vector<std::tuple<QString, int, int>> cases{
        {QStringLiteral("要求：全面、准确。不超过200字。（10分）"), 0, 200},
        {QStringLiteral("总字数1000～1200字。"), 1000, 1200},
        {QStringLiteral("字数在800至1000之间"), 800, 1000},
        {QStringLiteral("不少于800字"), 800, 0},
        {QStringLiteral("300字以内"), 0, 300},
        {QStringLiteral("谈谈你的理解。"), 0, 0},
    };
    for (const auto& [text, min, max] : cases) {
        const Limit l = ParseLimit(text);
        EXPECT_EQ(l.min, min) << text.toStdString();
        EXPECT_EQ(l.max, max) << text.toStdString();
    }
}

TEST(EssayTask, TheSampleSetsAreMarkedAsAPaper) {
    OpenBank bank(sampleSets());
    for (int set : {40100, 40200}) {
        double paper = 0;
        for (int n = 1; n <= 5; ++n) {
            const Task t = taskOf(set + n);
            double points = 0;
            for (const KeyPoint& p : t.points)
                points += p.points;
            paper += t.marks;
            EXPECT_TRUE(t.limit.Any()) << t.id;
            ASSERT_GE(t.points.size(), 3u) << t.id;
            // An essay keeps marks for its structure; every other task's 要点 add up to its marks.
            if (t.essay)
                EXPECT_LT(points, t.marks) << t.id;
            else
                EXPECT_DOUBLE_EQ(points, t.marks) << t.id;
        }
        EXPECT_DOUBLE_EQ(paper, 100) << set;
        EXPECT_EQ(taskOf(set + 5).kind, QStringLiteral("文章论述"));
        EXPECT_EQ(taskOf(set + 1).kind, QStringLiteral("归纳概括"));
    }
}

TEST(EssayJudge, AnswersOfAReviewersKind) {
    const Task task = summaryTask();
    // Each 要点 in words of the answer's own (不足 for 短缺, 闲置 for 建而不用).
    const Judgement good =
        Judge(task, QStringLiteral("一是护理人才不足，持证护理员少、收入低、流失率高。\n"
                                   "二是幸福院设施闲置，运营经费缺乏。\n三是智能设备经常离线，老人不会用。"));
    ASSERT_EQ(good.points.size(), 3u);
    for (const PointResult& p : good.points)
        EXPECT_EQ(p.coverage, Coverage::Covered) << p.keyWords.join(u' ').toStdString();
    EXPECT_DOUBLE_EQ(good.score, 10);
    EXPECT_FALSE(good.highlights.empty());

    // Said in the words 申论 answers use for the same thing.
    const Task shortage = ReadTask(2, QStringLiteral("概括问题。（5分）"),
                                   QStringLiteral("<p>1.人才短缺，资金不足。（5分）</p>"));
    EXPECT_EQ(Judge(shortage, QStringLiteral("人员缺乏，经费紧缺。")).points[0].coverage, Coverage::Covered);

    const Judgement empty = Judge(task, QString());
    EXPECT_DOUBLE_EQ(empty.score, 0);
    for (const PointResult& p : empty.points)
        EXPECT_EQ(p.coverage, Coverage::Missed);

    // Long and off the subject: nothing.
    const Judgement off =
        Judge(task, QString(QStringLiteral("我们要坚持以人民为中心，真抓实干，奋勇前进。")).repeated(20));
    EXPECT_DOUBLE_EQ(off.score, 0);

    // One 要点 named in passing is only partly made.
    const Judgement thin = Judge(task, QStringLiteral("护理员收入低。"));
    EXPECT_EQ(thin.points[0].coverage, Coverage::Partial);
    EXPECT_DOUBLE_EQ(thin.score, 2);

    // What stands past the limit is not scored: the same 要点 after 200 cells of padding.
    const QString padding = QString(210, u'啊');
    const Judgement late = Judge(task, padding + QStringLiteral("\n幸福院设施闲置，运营经费缺乏。"));
    EXPECT_EQ(late.points[1].coverage, Coverage::Missed);
    EXPECT_LT(late.scoredChars, padding.size());
    EXPECT_TRUE(late.how.contains(QStringLiteral("超出部分不计分")));
}

TEST(EssayJudge, AnEssayIsScoredForItsStructureToo) {
    OpenBank bank(sampleSets());
    const Task essay = taskOf(40105);
    ASSERT_TRUE(essay.essay);
    QString text = QStringLiteral("对上胃口\n");
    const QString body = QString(280, u'文');
    for (int i = 0; i < 4; ++i)
        text += body + u'\n';
    const Judgement j = Judge(essay, text);
    ASSERT_EQ(j.structure.size(), 5u);
    EXPECT_TRUE(j.structure[0].met) << "title";
    EXPECT_TRUE(j.structure[2].met) << "body paragraphs";
    const Judgement untitled = Judge(essay, body);
    EXPECT_FALSE(untitled.structure[0].met);
    EXPECT_FALSE(untitled.structure[4].met) << "the count out of range";
    EXPECT_LT(untitled.score, j.score);
}

namespace {
// Typing as a keyboard with an input method does: a key event per character.
void type(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c == u'\n' ? Qt::Key_Return : Qt::Key_unknown, Qt::NoModifier,
                        QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, c == u'\n' ? Qt::Key_Return : Qt::Key_unknown, Qt::NoModifier,
                          QString(c));
        QApplication::sendEvent(w, &release);
    }
}

QPushButton* button(QWidget* w, const QString& text) {
    for (QPushButton* b : w->findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}
} // namespace

TEST(WritingWindow, EveryAttemptIsKeptAndJudged) {
    OpenBank bank(sampleSets());
    auto* window = new WritingWindow(DataModule1->ADOConnection1, summaryTask());
    window->show();
    auto* editor = window->findChild<QPlainTextEdit*>();
    ASSERT_TRUE(editor);
    editor->setFocus();
    type(editor, QStringLiteral("一是护理人才不足，持证护理员少、收入低、流失率高。"));
    // The count follows the typing; red once over the limit.
    QLabel* count = nullptr;
    for (QLabel* l : window->findChildren<QLabel*>())
        if (l->text().startsWith(QStringLiteral("字数"))) count = l;
    ASSERT_TRUE(count);
    EXPECT_EQ(count->text(), QStringLiteral("字数 27 / 200"));
    type(editor, QString(200, u'长'));
    EXPECT_TRUE(count->text().contains(QStringLiteral("超出字数")));
    EXPECT_TRUE(count->styleSheet().contains(QStringLiteral("red")));
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    type(editor, QStringLiteral("二是幸福院设施闲置。"));
    window->close(); // saves
    std::vector<Attempt> saved = ReadAttempts(DataModule1->ADOConnection1, 1);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].text, QStringLiteral("二是幸福院设施闲置。"));
    EXPECT_FALSE(saved[0].score);

    // Opened again, the unsubmitted attempt is taken up; 提交 judges and keeps the score.
    window = new WritingWindow(DataModule1->ADOConnection1, summaryTask());
    window->show();
    editor = window->findChild<QPlainTextEdit*>();
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("二是幸福院设施闲置。"));
    type(editor, QStringLiteral("运营经费缺乏。"));
    button(window, QStringLiteral("提交"))->click();
    EXPECT_TRUE(editor->isReadOnly());
    saved = ReadAttempts(DataModule1->ADOConnection1, 1);
    ASSERT_EQ(saved.size(), 1u);
    ASSERT_TRUE(saved[0].score);
    EXPECT_DOUBLE_EQ(*saved[0].score, 4);
    bool shown = false;
    for (QTextBrowser* b : window->findChildren<QTextBrowser*>())
        shown = shown || b->toPlainText().contains(QStringLiteral("估分（仅供参考）：4 / 10"));
    EXPECT_TRUE(shown);

    // The sheet saved as PDF where the user chose.
    const QString pdf = QString::fromStdString(bank.Install.Path("answer.pdf"));
    const FileDialogHandler previous =
        SetFileDialogHandler([&](const TFileDialog&) { return std::optional<QString>(pdf); });
    button(window, QStringLiteral("存为PDF…"))->click();
    SetFileDialogHandler(previous);
    QFile written(pdf);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(5).startsWith("%PDF"));

    // A new attempt is a row of its own; the first stays as it was.
    button(window, QStringLiteral("新作答"))->click();
    EXPECT_FALSE(editor->isReadOnly());
    type(editor, QStringLiteral("三是智能设备离线。"));
    window->close();
    saved = ReadAttempts(DataModule1->ADOConnection1, 1);
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].text, QStringLiteral("三是智能设备离线。"));
    EXPECT_EQ(saved[1].text, QStringLiteral("二是幸福院设施闲置。运营经费缺乏。"));
}

// The child of the test below: writes into a window on the bank it is given
// and waits to be killed.
TEST(WritingWindow, ChildWritesUntilKilled) {
    const QByteArray folder = qgetenv("QUILLORA_ESSAY_CHILD");
    if (folder.isEmpty()) GTEST_SKIP() << "run by KilledWhileWriting";
    TDataModule1 module;
    ASSERT_TRUE(module.GuardAndConnect(folder.toStdString()));
    DataModule1 = &module;
    auto* window = new WritingWindow(DataModule1->ADOConnection1, summaryTask());
    window->show();
    type(window->findChild<QPlainTextEdit*>(), QStringLiteral("写到一半被杀掉的作答。"));
    std::fputs("typed\n", stdout);
    std::fflush(stdout);
    for (;;)
        QTest::qWait(100);
}

TEST(WritingWindow, KilledWhileWritingLosesAtMostTheLastSeconds) {
    TestInstall inst(sampleSets());
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUILLORA_ESSAY_CHILD"), QString::fromStdString(inst.Folder()));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=WritingWindow.ChildWritesUntilKilled")});
    ASSERT_TRUE(child.waitForStarted());
    // From the moment the text is typed, one saving period and a little.
    QElapsedTimer wait;
    wait.start();
    QByteArray out;
    while (!out.contains("typed\n") && wait.elapsed() < 60000) {
        child.waitForReadyRead(200);
        out += child.readAllStandardOutput();
    }
    ASSERT_TRUE(out.contains("typed\n")) << out.toStdString();
    QTest::qWait(WritingWindow::kSaveEveryMs + 1500);
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    child.waitForFinished();
    // The bank as the killed program left it, opened as the program opens it.
    DecryptMDB(inst.Path("exam.db"));
    AdoConnection bank;
    bank.ConnectionString = TDataModule1::ConnectionStringForFile(inst.Path("exam.db"));
    bank.Open();
    const std::vector<Attempt> saved = ReadAttempts(bank, 1);
    ASSERT_EQ(saved.size(), 1u) << child.readAllStandardError().toStdString();
    EXPECT_EQ(saved[0].text, QStringLiteral("写到一半被杀掉的作答。"));
}
