#pragma once
// The common open, save and colour dialogs. A file filter is written as pairs
// of description and patterns separated by '|', patterns by ';':
// "JPEG Image File (*.jpg)|*.jpg".
#include <QColor>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

// An open or save dialog, set up field by field before Execute.
class TFileDialog {
public:
    enum class Kind { Open, Save };
    explicit TFileDialog(Kind kind) : DialogKind(kind) {}

    Kind DialogKind;
    QString Title;
    QString Filter;
    QString DefaultExt; // ".jpg" or "jpg": added to a saved name that has no extension
    QString FileName;   // the chosen file after Execute

    // Runs the dialog modally; false when the user cancels.
    bool Execute(QWidget* parent);
};

// The chosen colour, or nothing when the user cancels.
std::optional<QColor> ColorDialog(QWidget* parent, const QColor& initial);

// The filter as the name filters Qt's dialog shows: "Desc (*.a *.b)".
QStringList QtNameFilters(const QString& filter);

// Tests answer the dialogs instead of the user: the file handler returns the
// chosen path, the colour handler the colour, or nothing to cancel. Empty
// handlers restore the real dialogs. Each returns the handler it replaced.
using FileDialogHandler = std::function<std::optional<QString>(const TFileDialog& dialog)>;
using ColorDialogHandler = std::function<std::optional<QColor>(const QColor& initial)>;
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);
ColorDialogHandler SetColorDialogHandler(ColorDialogHandler handler);
