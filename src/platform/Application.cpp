#include "platform/Application.h"

#include "platform/Log.h"
#include "platform/MessageBox.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {
// Qt's own dialogs (files, colours, print preview, standard buttons) speak the
// program's language whatever the user's locale: Chinese, in the traditional
// script for a locale that writes it.
void InstallQtTranslation(QApplication& app) {
    const QLocale system = QLocale::system();
    const bool traditional =
        system.language() == QLocale::Chinese && system.script() == QLocale::TraditionalChineseScript;
    const QString name = traditional ? QStringLiteral("qtbase_zh_TW") : QStringLiteral("qtbase_zh_CN");
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(&app);
    if (translator->load(name, dir)) {
        app.installTranslator(translator);
    } else {
        qCWarning(lcPlatform).noquote() << "no" << name << "in" << dir << "(qt6-translations-l10n)";
        delete translator;
    }
    // A desktop's native dialog follows the desktop's language, not ours.
    app.setAttribute(Qt::AA_DontUseNativeDialogs);
}
} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InstallQtTranslation(*this);
}

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
