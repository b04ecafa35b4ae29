// Message boxes, the default error handler and the dialog base.
#include "platform/Application.h"
#include "platform/Dialog.h"
#include "platform/MessageBox.h"
#include "platform/Online.h"
#include "support/TestSupport.h"

#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/stat.h>

TEST(MessageBoxSeam, RecordsAndAnswers) {
    MessageBoxRecorder boxes;
    boxes.Answer(IDNO);
    EXPECT_EQ(MessageBox("是否要退出系统？(Y/N)", "询问", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBox("x", "y", MB_ICONINFORMATION), IDOK);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].caption, "询问");
    EXPECT_EQ(boxes.shown[0].flags, 36);
    EXPECT_EQ(boxes.shown[1].flags, 64);
}

namespace {
class Thrower : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::runtime_error("无效的列名 'x'");
        return QObject::event(e);
    }
};
} // namespace

TEST(DefaultErrorHandler, ShowsTheTextAndTheProgramGoesOn) {
    MessageBoxRecorder boxes;
    Thrower t;
    QEvent e(QEvent::User);
    EXPECT_NO_THROW(QCoreApplication::sendEvent(&t, &e));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "无效的列名 'x'.");
    EXPECT_EQ(boxes.shown[0].flags & MB_ICONERROR, MB_ICONERROR);
    // The loop still runs afterwards.
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    QCoreApplication::processEvents();
    EXPECT_TRUE(ran);
}

TEST(DialogBase, OkSetsTheResultBeforeItsHandlerAndTheHandlerCanKeepTheDialogOpen) {
    TDialog dlg;
    auto* ok = new QPushButton("确定", &dlg);
    auto* cancel = new QPushButton("取消", &dlg);
    int seenInHandler = -1;
    bool refuse = true;
    dlg.AttachButton(ok, mrOk, [&] {
        seenInHandler = dlg.ModalResult;
        if (refuse) dlg.ModalResult = mrNone;
    });
    dlg.AttachButton(cancel, mrCancel);
    int result = -1;
    QTimer::singleShot(0, [&] {
        ok->click(); // refused: stays open
        EXPECT_TRUE(dlg.isVisible());
        refuse = false;
        ok->click();
    });
    result = dlg.ShowModal();
    EXPECT_EQ(seenInHandler, mrOk);
    EXPECT_EQ(result, mrOk);

    QTimer::singleShot(0, [&] { cancel->click(); });
    EXPECT_EQ(dlg.ShowModal(), mrCancel);
    QTimer::singleShot(0, [&] { dlg.reject(); }); // closed by the frame
    EXPECT_EQ(dlg.ShowModal(), mrCancel);
}

TEST(OnlineTest, ConnectsToALoopbackListenerAndGivesUpOnAClosedPort) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString open = QString("http://127.0.0.1:%1/qlr/x.html").arg(server.serverPort());
    EXPECT_TRUE(InternetCheckConnection(open));
    const quint16 port = server.serverPort();
    server.close();
    EXPECT_FALSE(InternetCheckConnection(QString("http://127.0.0.1:%1/").arg(port)));
    EXPECT_FALSE(InternetCheckConnection("not a url"));

    auto previous = SetOnlineCheckHandler([](const QString&) { return true; });
    EXPECT_TRUE(InternetCheckConnection("http://127.0.0.1:1/"));
    SetOnlineCheckHandler(previous);
}

TEST(GuardedHandlers, AnExceptionIsReportedAndNeverLeavesTheSignal) {
    MessageBoxRecorder boxes;
    QPushButton button;
    int calls = 0;
    QObject::connect(&button, &QPushButton::clicked, &button, Guarded([&] {
        ++calls;
        throw std::runtime_error("保存失败");
    }));
    QObject::connect(&button, &QPushButton::toggled, &button,
                     Guarded([&](bool on) { calls += on ? 10 : 100; }));
    EXPECT_NO_THROW(button.click());
    EXPECT_NO_THROW(button.click());
    EXPECT_EQ(calls, 2);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "保存失败.");
    button.setCheckable(true);
    button.setChecked(true); // a handler that takes the signal's argument gets it
    EXPECT_EQ(calls, 2 + 10);
}

TEST(DialogBase, AHandlerThatThrowsIsReportedAndKeepsTheDialogOpen) {
    MessageBoxRecorder boxes;
    TDialog dlg;
    auto* ok = new QPushButton("确定", &dlg);
    dlg.AttachButton(ok, mrOk, [] { throw std::runtime_error("无效的数值"); });
    dlg.show();
    EXPECT_NO_THROW(ok->click());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.ModalResult, mrNone);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "无效的数值.");
}

TEST(ShellOpen, OpensOnlyWebAddressesAndTellsWhenNoBrowserTakesOne) {
    QTemporaryDir bin;
    const std::string log = bin.filePath("asked").toStdString(),
                      opener = bin.filePath("xdg-open").toStdString();
    auto fakeOpener = [&](int exitCode) {
        WriteFileBytes(opener,
                       "#!/bin/sh\necho \"$1\" >> '" + log + "'\nexit " + std::to_string(exitCode) + "\n");
        ::chmod(opener.c_str(), 0755);
    };
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8() + ':' + path);
    MessageBoxRecorder boxes;

    fakeOpener(0);
    ShellOpen(QStringLiteral("http://127.0.0.1:1/x.html"));
    EXPECT_TRUE(boxes.shown.empty());
    fakeOpener(3); // what xdg-open says when the desktop has no browser
    ShellOpen(QStringLiteral("https://127.0.0.1:1/y.html"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.endsWith("https://127.0.0.1:1/y.html"))
        << boxes.shown[0].text.toStdString();
    EXPECT_EQ(boxes.shown[0].caption, "无法打开网址");

    for (const char* address : {"file:///etc/passwd", "smb://host/share", "/usr/share/applications/x.desktop",
                                "http://", "javascript:alert(1)", ""})
        ShellOpen(QString::fromUtf8(address));
    qputenv("PATH", path);
    EXPECT_EQ(boxes.shown.size(), 7u);
    EXPECT_EQ(ReadFileBytes(log), "http://127.0.0.1:1/x.html\nhttps://127.0.0.1:1/y.html\n")
        << "nothing else was handed on";
}
