// The program block: the application object, the main window, the message loop.
#include "app/FrmMain.h"
#include "platform/Application.h"

#include <unistd.h>

int main(int argc, char** argv) {
    // Chromium refuses to run its sandbox as root; the embedded pages are our own.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Quillora"));
    app.setQuitOnLastWindowClosed(true);

    TFrmMain frmMain;
    if (!frmMain.FormCreate()) return 1;
    frmMain.showMaximized();
    return app.exec();
}
