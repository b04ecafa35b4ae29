// The tool buttons' keys: each key named in a button's tool tip reaches that
// button while the user is typing in the page; Esc only leaves full screen.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "exam/STCZ.h"
#include "platform/MessageBox.h"
#include "render/Global.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>

namespace {
class ShortcutTest : public MainWindowFixture {
protected:
    ShortcutTest()
        : MainWindowFixture(
              DefaultSettingsSql() + FixtureText("render/fixtures/page_bank.sql") +
              "INSERT INTO 题目类别 VALUES(1,'源',0,'0');INSERT INTO 题目类别 VALUES(11,'科目',1,NULL);"
              "INSERT INTO 题目类别 VALUES(101,'节',11,NULL);") {}
    void SetUp() override {
        Start();
        ASSERT_TRUE(frm->WebBrowser1->WaitForLoad());
        frm->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));
        frm->WebBrowser1->setFocus();
        QApplication::processEvents();
    }
    // Where a key typed now goes: the page, when the user has clicked into it.
    QWidget* typingIn() { return QApplication::focusWidget() ? QApplication::focusWidget() : frm.get(); }
    void press(const QKeySequence& k) {
        QTest::keySequence(typingIn(), k);
        QApplication::processEvents();
    }
    // The keys a tool tip names: "放大 (Ctrl+=)" -> Ctrl+=.
    static QStringList keysOf(const QString& tip) {
        const qsizetype open = tip.lastIndexOf(u'(');
        if (open < 0 || !tip.endsWith(u')')) return {};
        return tip.mid(open + 1, tip.size() - open - 2).split(QStringLiteral(", "));
    }
};
} // namespace

TEST_F(ShortcutTest, EveryKeyInAToolTipClicksThatButtonOnlyEvenFromInsideThePage) {
    TToolButton* const buttons[] = {frm->ToolButton1, frm->ToolButton2, frm->ToolButton3,
                                    frm->ToolButton6, frm->ToolButton8, frm->ToolButton9};
    std::map<TToolButton*, int> clicks;
    for (TToolButton* b : buttons) {
        // Count clicks instead of running the handlers: printing and grading open dialogs.
        QObject::disconnect(b, &QToolButton::clicked, frm.get(), nullptr);
        QObject::connect(b, &QToolButton::clicked, frm.get(), [&clicks, b] { ++clicks[b]; });
    }
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_TRUE(frm->WebBrowser1->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == frm->WebBrowser1)
        << "the keys are meant to be tried with the page focused";

    int named = 0;
    for (TToolButton* b : buttons) {
        const QStringList keys = keysOf(b->toolTip());
        ASSERT_FALSE(keys.isEmpty()) << "no key in the tool tip " << b->toolTip().toStdString();
        for (const QString& k : keys) {
            if (k == QLatin1String("Esc")) continue; // only in full screen, tested below
            const QKeySequence seq = QKeySequence::fromString(k);
            ASSERT_FALSE(seq.isEmpty()) << k.toStdString();
            const std::map<TToolButton*, int> before = clicks;
            press(seq);
            for (TToolButton* other : buttons)
                EXPECT_EQ(clicks[other] - (before.count(other) ? before.at(other) : 0), other == b ? 1 : 0)
                    << k.toStdString() << " from " << b->toolTip().toStdString();
            ++named;
        }
    }
    EXPECT_EQ(named, 6);
    // The zoom key with Shift, as many keyboards type "+".
    const int larger = clicks[frm->ToolButton2];
    press(QKeySequence(Qt::CTRL | Qt::Key_Plus));
    EXPECT_EQ(clicks[frm->ToolButton2], larger + 1);
}

TEST_F(ShortcutTest, F11TogglesFullScreenEscOnlyLeavesIt) {
    frm->WebBrowser1->ExecScript(QStringLiteral("window.escapes = 0; document.addEventListener('keydown', "
                                                "function (e) { if (e.key == 'Escape') ++escapes; });"));
    press(QKeySequence(Qt::Key_Escape));
    EXPECT_TRUE(frm->Panel1->isVisible()) << "Esc outside full screen does nothing";
    EXPECT_EQ(frm->ToolButton9->Tag, 0);
    QElapsedTimer t;
    t.start();
    while (frm->WebBrowser1->Evaluate(QStringLiteral("escapes")).toInt() == 0 && t.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(frm->WebBrowser1->Evaluate(QStringLiteral("escapes")).toInt(), 1) << "the page gets Esc";

    press(QKeySequence(Qt::Key_F11));
    EXPECT_FALSE(frm->Panel1->isVisible());
    EXPECT_FALSE(frm->Panel6->isVisible());
    EXPECT_EQ(frm->ToolButton9->ImageIndex(), 3);
    press(QKeySequence(Qt::Key_Escape));
    EXPECT_TRUE(frm->Panel1->isVisible());
    EXPECT_EQ(frm->ToolButton9->ImageIndex(), 2);
    press(QKeySequence(Qt::Key_Escape));
    EXPECT_TRUE(frm->Panel1->isVisible()) << "a second Esc must not go back into full screen";

    press(QKeySequence(Qt::Key_F11));
    press(QKeySequence(Qt::Key_F11));
    EXPECT_TRUE(frm->Panel1->isVisible());
}

TEST_F(ShortcutTest, KeysDoNothingWhileTheToolBarsAreHidden) {
    frm->SetMenu(false); // the application zone shows no tool bars
    QApplication::processEvents();
    frm->setFocus();
    press(QKeySequence(Qt::Key_F11));
    EXPECT_EQ(frm->ToolButton9->Tag, 0);
    press(QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_EQ(frm->ToolButton1->Tag, 0);
    EXPECT_TRUE(boxes.shown.empty()) << "not even the no-paper message";
}

TEST_F(ShortcutTest, CtrlFOpensTheSearchFromThePageAsItsSlotDoes) {
    EXPECT_EQ(frm->NavImages[3]->toolTip(), "试题查找 (Ctrl+F)");
    bool opened = false;
    std::function<void(int)> closeWhenUp = [&](int triesLeft) {
        QTimer::singleShot(20, frm.get(), [&, triesLeft] {
            if (auto* d = qobject_cast<TFrmSTCZ*>(QApplication::activeModalWidget())) {
                opened = true;
                d->reject();
            } else if (triesLeft > 0) {
                closeWhenUp(triesLeft - 1);
            }
        });
    };
    closeWhenUp(500);
    press(QKeySequence(Qt::CTRL | Qt::Key_F));
    EXPECT_TRUE(opened);
    EXPECT_EQ(frm->CurrentNavSlot, 3);
}
