// The program block: the application object, the main window, the message loop.
#include "app/FrmMain.h"
#include "browser/Graphics.h"
#include "platform/AppFolder.h"
#include "platform/Application.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBox.h"

#include <QIcon>
#include <csignal>
#include <unistd.h>

int main(int argc, char** argv) {
    // Past a file-size limit a write must fail with an error that is reported,
    // not end the program half-way through a save.
    std::signal(SIGXFSZ, SIG_IGN);
    // Chromium refuses to run its sandbox as root; the embedded pages are our own.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox");
    if (ChooseBrowserGraphics()) QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Quillora"));
    // Lets the desktop match the window to its launcher and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quillora.Quillora"));
    QIcon icon;
    for (const char* size : {"16", "32", "48", "256"})
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(QLatin1String(size)));
    QGuiApplication::setWindowIcon(icon);
    app.setQuitOnLastWindowClosed(true);
    // The per-user data folder is named after the application, so this follows setApplicationName.
    if (const QString problem = SettleAppFolder(); !problem.isEmpty()) {
        MessageBox(problem, QStringLiteral("错误"), MB_ICONERROR | MB_OK);
        return 1;
    }

    // A second program on the same bank would run the start-up guard under the
    // first one's feet: it must not touch exam.db at all.
    InstanceLock instance(AppFolder());
    if (!instance.Acquired()) {
        MessageBox(QStringLiteral("启思Quillora 已经在运行。"), QStringLiteral("提示"),
                   MB_ICONINFORMATION | MB_OK);
        return 1;
    }

    TFrmMain frmMain;
    if (!frmMain.FormCreate()) return 1;
    frmMain.showMaximized();
    return app.exec();
}
