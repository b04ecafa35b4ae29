#include "exchange/XlsxWriter.h"

#include <QXmlStreamWriter>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>
#include <zlib.h>

namespace exchange {

QString ColumnName(int column) {
    QString name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + (c - 1) % 26));
    return name;
}

XlsxWriter::XlsxWriter() = default;
XlsxWriter::~XlsxWriter() = default;

bool XlsxWriter::part(const QString& name, const QByteArray& bytes) {
    QuaZipFile f(zip_.get());
    if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(name))) return false;
    const bool ok = f.write(bytes) == bytes.size();
    f.close();
    return ok && f.getZipError() == ZIP_OK;
}

bool XlsxWriter::Open(const QString& path, const QString& sheet, QString* error) {
    sheetName_ = sheet;
    zip_ = std::make_unique<QuaZip>(path);
    zip_->setUtf8Enabled(true);
    if (!zip_->open(QuaZip::mdCreate)) {
        *error = QStringLiteral("无法创建文件：") + path;
        return false;
    }
    sheet_ = std::make_unique<QuaZipFile>(zip_.get());
    // The fastest deflate level: the sheet is large and mostly text.
    if (!sheet_->open(QIODevice::WriteOnly, QuaZipNewInfo(QStringLiteral("xl/worksheets/sheet1.xml")),
                      nullptr, 0, Z_DEFLATED, 1)) {
        *error = QStringLiteral("无法写入文件：") + path;
        return false;
    }
    xml_ = std::make_unique<QXmlStreamWriter>(sheet_.get());
    xml_->writeStartDocument(QStringLiteral("1.0"), true);
    xml_->writeStartElement(QStringLiteral("worksheet"));
    xml_->writeDefaultNamespace(QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main"));
    xml_->writeStartElement(QStringLiteral("sheetData"));
    return true;
}

void XlsxWriter::Row(const QStringList& cells) {
    ++row_;
    xml_->writeStartElement(QStringLiteral("row"));
    xml_->writeAttribute(QStringLiteral("r"), QString::number(row_));
    for (int c = 0; c < cells.size(); ++c) {
        if (cells[c].isEmpty()) continue;
        xml_->writeStartElement(QStringLiteral("c"));
        xml_->writeAttribute(QStringLiteral("r"), ColumnName(c) + QString::number(row_));
        xml_->writeAttribute(QStringLiteral("t"), QStringLiteral("inlineStr"));
        xml_->writeStartElement(QStringLiteral("is"));
        xml_->writeStartElement(QStringLiteral("t"));
        xml_->writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        xml_->writeCharacters(cells[c]);
        xml_->writeEndElement();
        xml_->writeEndElement();
        xml_->writeEndElement();
    }
    xml_->writeEndElement();
}

bool XlsxWriter::Close(QString* error) {
    xml_->writeEndElement(); // sheetData
    xml_->writeEndElement(); // worksheet
    xml_->writeEndDocument();
    const bool sheetOk = !xml_->hasError();
    sheet_->close();
    const bool written = sheetOk && sheet_->getZipError() == ZIP_OK;
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    QString name = sheetName_.toHtmlEscaped();
    const bool parts =
        written &&
        part(
            QStringLiteral("[Content_Types].xml"),
            head +
                "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                "<Default Extension=\"rels\" "
                "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                "<Override PartName=\"/xl/workbook.xml\" "
                "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
                "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
                "</Types>") &&
        part(
            QStringLiteral("_rels/.rels"),
            head +
                "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                "<Relationship Id=\"rId1\" "
                "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                "Target=\"xl/workbook.xml\"/></Relationships>") &&
        part(QStringLiteral("xl/workbook.xml"),
             head +
                 "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                 "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
                 "<sheet name=\"" +
                 name.toUtf8() + "\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>") &&
        part(QStringLiteral("xl/_rels/workbook.xml.rels"),
             head + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                    "<Relationship Id=\"rId1\" "
                    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                    "Target=\"worksheets/sheet1.xml\"/></Relationships>");
    zip_->close();
    if (!parts || zip_->getZipError() != ZIP_OK) {
        *error = QStringLiteral("写入 Excel 文件失败");
        return false;
    }
    return true;
}

} // namespace exchange
