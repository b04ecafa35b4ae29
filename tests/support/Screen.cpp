#include "support/Screen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QWidget>

QImage ScreenPixelsOf(QWidget* widget) {
    const QPoint at = widget->mapToGlobal(QPoint(0, 0));
    QScreen* screen = widget->screen();
    return screen->grabWindow(0, at.x(), at.y(), widget->width(), widget->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

int CountColour(const QImage& image, QColor colour) {
    const QRgb want = colour.rgb();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF)) ++n;
    return n;
}

double SameShare(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull()) return 0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    long same = 0;
    for (int r = 0; r < x.height(); ++r)
        for (int c = 0; c < x.width(); ++c)
            if ((x.pixel(c, r) & 0xFFFFFF) == (y.pixel(c, r) & 0xFFFFFF)) ++same;
    return static_cast<double>(same) / (static_cast<double>(x.width()) * x.height());
}

bool SpinUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}
