#pragma once
// Questions out of the bank, into the spreadsheet template or Moodle XML, so
// that importing the file into another bank gives the same questions back.
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

class AdoConnection;

namespace exchange {

struct Selection {
    enum class Kind { Category, Favourites, Wrong } kind = Kind::Category;
    int category = 0; // with every category below it; 0: every source
};

struct ExportedQuestion {
    int id = 0;
    std::array<QString, 3> path; // source, subject, section
    QString type;
    QString stem; // the bank's HTML
    QStringList options;
    QString key;
    QString explanation;
    int group = 0; // 大题号 shared with other exported questions; 0 for none
    QString material;
};

// The selected questions in tree order (sections as the tree lists them, then
// by number). Throws EDatabaseError.
std::vector<ExportedQuestion> ReadForExport(AdoConnection& connection, const Selection& selection);

// The bytes of a picture the texts show, by its file name ("<sha>.<ext>");
// empty when the bank does not hold it.
using PictureSource = std::function<QByteArray(const QString& name)>;
PictureSource BankPictures(AdoConnection& connection);

// Writes the template spreadsheet. Pictures the texts show are written beside
// it (as <sha>.<ext>) and the texts name them so. Answers false with `error`
// when a text is longer than a cell holds (nothing is cut) or a write fails.
bool WriteTemplateXlsx(const QString& path, const std::vector<ExportedQuestion>& questions,
                       const PictureSource& pictures, QString* error);

// Writes Moodle XML with the pictures embedded.
bool WriteMoodleXml(const QString& path, const std::vector<ExportedQuestion>& questions,
                    const PictureSource& pictures, QString* error);

} // namespace exchange
