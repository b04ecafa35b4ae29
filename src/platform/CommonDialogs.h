#pragma once
// The common file and colour dialogs. Filters are written "description|pattern"
// (pairs may follow, each separated by '|').
#include <QColor>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

// The chosen file name, or the empty text when the user cancels. A name typed
// without an extension gets `defaultSuffix` (when given).
QString SaveFileDialog(QWidget* parent, const QString& filter, const QString& defaultSuffix);
QString OpenFileDialog(QWidget* parent, const QString& filter);
// The chosen colour, or nothing when the user cancels.
std::optional<QColor> ColorDialog(QWidget* parent, const QColor& initial);

// "数据文件|*.db" -> "数据文件 (*.db)", one Qt filter per pair.
QStringList QtFileFilters(const QString& filter);

// Tests answer the dialogs instead of the user. Empty handlers restore the real
// dialogs. Each returns the handler it replaced.
using FileDialogHandler = std::function<QString(bool save, const QString& filter, const QString& defaultSuffix)>;
using ColorDialogHandler = std::function<std::optional<QColor>(const QColor& initial)>;
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);
ColorDialogHandler SetColorDialogHandler(ColorDialogHandler handler);
