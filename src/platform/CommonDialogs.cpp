#include "platform/CommonDialogs.h"

#include "platform/Seam.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>

namespace {
Seam<std::optional<QString>(const TFileDialog&)> fileSeam;
Seam<std::optional<QColor>(const QColor&)> colorSeam;
} // namespace

QStringList QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // A description that already names its patterns gets them in Qt's spelling.
        if (description.endsWith(u')')) {
            const qsizetype open = description.lastIndexOf(u'(');
            if (open >= 0) description = description.left(open).trimmed();
        }
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        result << description + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return result;
}

bool TFileDialog::Execute(QWidget* parent) {
    std::optional<QString> chosen;
    if (fileSeam) {
        chosen = fileSeam(*this);
    } else {
        QFileDialog dialog(parent, Title);
        const bool save = DialogKind == Kind::Save;
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setNameFilters(QtNameFilters(Filter));
        // Saving replaces an existing file without asking, as the command says.
        if (save) dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!FileName.isEmpty()) dialog.selectFile(FileName);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().constFirst();
    }
    if (!chosen || chosen->isEmpty()) return false;
    FileName = *chosen;
    if (DialogKind == Kind::Save && !DefaultExt.isEmpty() && QFileInfo(FileName).suffix().isEmpty()) {
        FileName += DefaultExt.startsWith(u'.') ? DefaultExt : u'.' + DefaultExt;
    }
    return true;
}

std::optional<QColor> ColorDialog(QWidget* parent, const QColor& initial) {
    if (colorSeam) return colorSeam(initial);
    const QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid()) return std::nullopt;
    return c;
}

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler) {
    return fileSeam.Replace(std::move(handler));
}
ColorDialogHandler SetColorDialogHandler(ColorDialogHandler handler) {
    return colorSeam.Replace(std::move(handler));
}
