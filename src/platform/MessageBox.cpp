#include "platform/MessageBox.h"

#include "platform/BusyCursor.h"
#include "platform/Seam.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace {
Seam<int(const QString&, const QString&, int)> seam;

int realMessageBox(const QString& text, const QString& caption, int flags) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setText(text);
    switch (flags & 0xF0) {
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONWARNING:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    switch (flags & 0x0F) {
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
        box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
        break;
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return IDOK;
    }
}
} // namespace

int MessageBox(const QString& text, const QString& caption, int flags) {
    const ArrowWhileAsking arrow;
    if (seam) return seam(text, caption, flags);
    // A command-line tool has no windows: the message goes to standard error,
    // and a question is answered "no", the answer that changes nothing.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
        return (flags & 0x0F) == MB_YESNO ? IDNO : (flags & 0x0F) == MB_OKCANCEL ? IDCANCEL : IDOK;
    }
    return realMessageBox(text, caption, flags);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return seam.Replace(std::move(handler));
}
