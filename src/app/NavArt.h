#pragma once
#include <QPixmap>
#include <QString>

// The main window's pictures, drawn at start-up rather than shipped as files.
namespace art {

QPixmap StripBackground(int width, int height);

enum class SlotLook { Normal, Hover, Selected };
// A 66 x 74 navigation picture: an emblem over the slot's caption.
QPixmap SlotPicture(int slot, SlotLook look);
QString SlotCaption(int slot);

// A tool-bar picture with its words; hover is the lit variant.
QPixmap ToolPicture(const QString& words, int width, int height, bool hover);

// Tree node pictures, 22 x 20: 0 source, 1 subject, 2 section, 3 selected section.
QPixmap TreePicture(int index);

}  // namespace art
