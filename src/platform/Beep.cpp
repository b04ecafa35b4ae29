#include "platform/Beep.h"

#include "platform/Seam.h"

#include <QApplication>

namespace {
Seam<void()> seam;
}

void Beep() {
    if (seam) return seam();
    QApplication::beep();
}

std::function<void()> SetBeepHandler(std::function<void()> handler) {
    return seam.Replace(std::move(handler));
}
