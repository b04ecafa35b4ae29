#include "platform/CommonDialogs.h"

#include "platform/Seam.h"

#include <QColorDialog>
#include <QFileDialog>

namespace {
Seam<QString(bool, const QString&, const QString&)> fileSeam;
Seam<std::optional<QColor>(const QColor&)> colorSeam;

QString runFileDialog(QWidget* parent, bool save, const QString& filter, const QString& defaultSuffix) {
    if (fileSeam) return fileSeam(save, filter, defaultSuffix);
    QFileDialog dialog(parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(QtFileFilters(filter));
    // Replacing a backup is what the user asked for; the dialog need not ask again.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!defaultSuffix.isEmpty()) dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}
} // namespace

QStringList QtFileFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        out.append(parts[i] + QStringLiteral(" (") + patterns + u')');
    }
    return out;
}

QString SaveFileDialog(QWidget* parent, const QString& filter, const QString& defaultSuffix) {
    return runFileDialog(parent, true, filter, defaultSuffix);
}

QString OpenFileDialog(QWidget* parent, const QString& filter) { return runFileDialog(parent, false, filter, {}); }

std::optional<QColor> ColorDialog(QWidget* parent, const QColor& initial) {
    if (colorSeam) return colorSeam(initial);
    const QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid()) return std::nullopt;
    return c;
}

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler) { return fileSeam.Replace(std::move(handler)); }
ColorDialogHandler SetColorDialogHandler(ColorDialogHandler handler) { return colorSeam.Replace(std::move(handler)); }
