#include "platform/Application.h"

#include "platform/Log.h"
#include "platform/MessageBox.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleException();
        return false;
    }
}

void HandleException() {
    QString text;
    try {
        throw;
    } catch (const std::exception& e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
        text = QStringLiteral("未知错误");
    }
    qCWarning(lcPlatform).noquote() << "unhandled error:" << text;
    // A message ends with a full stop, as the platform's own error boxes do.
    if (!text.isEmpty() && !text.endsWith(u'.') && !text.endsWith(u'。') && !text.endsWith(u'!') &&
        !text.endsWith(u'！'))
        text += u'.';
    MessageBox(text, QCoreApplication::applicationName(), MB_ICONERROR);
}
