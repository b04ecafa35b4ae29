#pragma once
#include <QPixmap>
#include <QString>

// The main window's pictures, drawn at start-up rather than shipped as files.
// Each is drawn at a device-pixel ratio, so it stays sharp on a scaled screen;
// sizes are in logical pixels.
namespace art {

// The largest device-pixel ratio of the screens (1 without a GUI application).
qreal ScreenPixelRatio();

QPixmap StripBackground(int width, int height, qreal dpr = ScreenPixelRatio());

enum class SlotLook { Normal, Hover, Selected };
// A 66 x 74 navigation picture: an emblem over the slot's caption.
QPixmap SlotPicture(int slot, SlotLook look, qreal dpr = ScreenPixelRatio());
QString SlotCaption(int slot);

// A tool-bar picture with its words; hover is the lit variant.
QPixmap ToolPicture(const QString& words, int width, int height, bool hover, qreal dpr = ScreenPixelRatio());

// Tree node pictures, 22 x 20: 0 source, 1 subject, 2 section, 3 selected section.
QPixmap TreePicture(int index, qreal dpr = ScreenPixelRatio());

} // namespace art
