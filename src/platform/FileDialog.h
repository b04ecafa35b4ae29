#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

// The common open and save dialogs. Filter is written as pairs of description
// and patterns separated by '|', patterns by ';': "JPEG Image File (*.jpg)|*.jpg".
class TFileDialog {
public:
    enum class Kind { Open, Save };
    explicit TFileDialog(Kind kind) : DialogKind(kind) {}

    Kind DialogKind;
    QString Title;
    QString Filter;
    QString DefaultExt;  // ".jpg": added to a saved name that has no extension
    QString FileName;    // the chosen file after Execute

    // Runs the dialog modally; false when the user cancels.
    bool Execute(QWidget* parent);
};

// The filter as the name filters Qt's dialog shows: "Desc (*.a *.b)".
QStringList QtNameFilters(const QString& filter);

// Tests answer the dialogs: the handler returns the chosen path, or nothing to
// cancel. An empty handler restores the real dialog. Returns the previous handler.
using FileDialogHandler = std::function<std::optional<QString>(const TFileDialog& dialog)>;
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);
