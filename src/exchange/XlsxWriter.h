#pragma once
// A one-sheet workbook written row by row: the parts go straight into the zip
// as they are made, so 100,000 rows never sit in memory.
#include <QString>
#include <QStringList>
#include <memory>

class QuaZip;
class QuaZipFile;
class QXmlStreamWriter;

namespace exchange {

class XlsxWriter {
public:
    XlsxWriter();
    ~XlsxWriter();
    XlsxWriter(const XlsxWriter&) = delete;
    XlsxWriter& operator=(const XlsxWriter&) = delete;

    // Starts the workbook at `path` with one sheet named `sheet`.
    bool Open(const QString& path, const QString& sheet, QString* error);
    // One row of text cells; empty cells are left out.
    void Row(const QStringList& cells);
    // Finishes the sheet and the other parts; false when a write failed.
    bool Close(QString* error);

private:
    bool part(const QString& name, const QByteArray& bytes);
    std::unique_ptr<QuaZip> zip_;
    std::unique_ptr<QuaZipFile> sheet_;
    std::unique_ptr<QXmlStreamWriter> xml_;
    QString sheetName_;
    int row_ = 0;
};

// The column letters of a 0-based column: 0 → A, 26 → AA.
QString ColumnName(int column);

} // namespace exchange
