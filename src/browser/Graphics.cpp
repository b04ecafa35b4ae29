#include "browser/Graphics.h"

#include <QQuickWindow>
#include <QSGRendererInterface>

bool ChooseBrowserGraphics() {
    static const bool openGL = [] {
        if (!qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") ||
            !qEnvironmentVariableIsEmpty("QSG_RHI_BACKEND"))
            return true;
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        // Without this the X11 plugin still opens a GL context for sharing.
        if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION")) qputenv("QT_XCB_GL_INTEGRATION", "none");
        return false;
    }();
    return openGL;
}
