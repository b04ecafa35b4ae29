// The wait cursor around long work is never shown over a question the user has to answer.
#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"

#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>

namespace {
Qt::CursorShape shown() {
    const QCursor* c = QGuiApplication::overrideCursor();
    return c ? c->shape() : Qt::BitmapCursor; // BitmapCursor: no override at all
}
} // namespace

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
