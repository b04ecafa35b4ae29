#include "platform/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

BusyCursor::BusyCursor() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

BusyCursor::~BusyCursor() {
    QGuiApplication::restoreOverrideCursor();
}

ArrowWhileAsking::ArrowWhileAsking() {
    const QCursor* current = QGuiApplication::overrideCursor();
    if (current && current->shape() == Qt::WaitCursor) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
        pushed_ = true;
    }
}

ArrowWhileAsking::~ArrowWhileAsking() {
    if (pushed_) QGuiApplication::restoreOverrideCursor();
}
