#include "app/StripArt.h"

#include <QLinearGradient>
#include <QPainter>

QPixmap StripBackground(int width, int height) {
    QPixmap p(width, height);
    QPainter g(&p);
    QLinearGradient grad(0, 0, 0, height);
    grad.setColorAt(0.0, QColor(0x2F, 0x6F, 0xB7));
    grad.setColorAt(0.55, QColor(0x1E, 0x55, 0x9A));
    grad.setColorAt(1.0, QColor(0x16, 0x3F, 0x78));
    g.fillRect(p.rect(), grad);
    g.setPen(QColor(255, 255, 255, 40));
    g.drawLine(0, 0, width, 0);
    g.setPen(QColor(0, 0, 0, 60));
    g.drawLine(0, height - 1, width, height - 1);
    return p;
}
