// The wait cursor around long work: restored however the work ends, and never
// shown over a question the user has to answer.
#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"

#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {
Qt::CursorShape shown() {
    const QCursor* c = QGuiApplication::overrideCursor();
    return c ? c->shape() : Qt::BitmapCursor;  // BitmapCursor: no override at all
}
}  // namespace

TEST(BusyCursor, AMessageBoxDuringLongWorkShowsTheArrowAndTheWaitCursorReturnsAfter) {
    std::vector<Qt::CursorShape> duringBoxes;
    const MessageBoxHandler previous = SetMessageBoxHandler([&](const QString&, const QString&, int) {
        duringBoxes.push_back(shown());
        return IDYES;
    });
    {
        const BusyCursor busy;
        EXPECT_EQ(shown(), Qt::WaitCursor);
        MessageBox(QStringLiteral("继续吗?"), QStringLiteral("询问"), MB_YESNO | MB_ICONQUESTION);
        EXPECT_EQ(shown(), Qt::WaitCursor);
    }
    EXPECT_EQ(shown(), Qt::BitmapCursor);
    // Outside long work a box leaves the cursor as it is.
    MessageBox(QStringLiteral("完成"), QStringLiteral("提示"), MB_ICONINFORMATION);
    SetMessageBoxHandler(previous);

    ASSERT_EQ(duringBoxes.size(), 2u);
    EXPECT_EQ(duringBoxes[0], Qt::ArrowCursor);
    EXPECT_EQ(duringBoxes[1], Qt::BitmapCursor);
}

TEST(BusyCursor, NestedWorkEndedByAnErrorLeavesNoWaitCursor) {
    try {
        const BusyCursor outer;  // a command that builds a page ...
        {
            const BusyCursor inner;  // ... and draws a paper first
        }
        EXPECT_EQ(shown(), Qt::WaitCursor) << "the inner scope ended, the outer work goes on";
        throw std::runtime_error("数据库已损坏");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(shown(), Qt::BitmapCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
