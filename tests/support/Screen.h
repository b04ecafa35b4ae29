#pragma once
// Screenshot checks for windows with a browser: what the display really shows,
// not what a widget would paint if asked (an unpainted window on Xvfb shows
// whatever was there before).
#include <QColor>
#include <QImage>
#include <QRect>
#include <functional>

class QWidget;

// The screen's pixels under `widget` (its whole rectangle).
QImage ScreenPixelsOf(QWidget* widget);

// How many pixels of `image` have exactly `colour`.
int CountColour(const QImage& image, QColor colour);

// Share (0..1) of pixels that are equal in two images of the same size.
double SameShare(const QImage& a, const QImage& b);

// Runs events until `done` holds or `ms` have passed.
bool SpinUntil(const std::function<bool()>& done, int ms);
