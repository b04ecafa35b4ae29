#include "exchange/ImportFile.h"

#include "exchange/Aiken.h"
#include "exchange/Csv.h"
#include "exchange/Docx.h"
#include "exchange/Gift.h"
#include "exchange/Moodle.h"
#include "exchange/OfficeConvert.h"
#include "exchange/Pdf.h"
#include "exchange/PlainText.h"
#include "exchange/Sheets.h"
#include "exchange/Template.h"
#include "exchange/Xlsx.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace exchange {

Format FormatOf(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == u"xlsx") return Format::Xlsx;
    if (ext == u"xls") return Format::Xls;
    if (ext == u"ods") return Format::Ods;
    if (ext == u"csv") return Format::Csv;
    if (ext == u"docx") return Format::Docx;
    if (ext == u"pdf") return Format::Pdf;
    if (ext == u"doc" || ext == u"wps" || ext == u"odt" || ext == u"rtf") return Format::OtherDocument;
    if (ext == u"xml") return Format::MoodleXml;
    if (ext == u"gift") return Format::Gift;
    if (ext == u"txt") return Format::PlainText;
    return Format::Unknown;
}

QString FormatName(Format f) {
    switch (f) {
    case Format::Xlsx:
        return QStringLiteral("Excel 工作簿");
    case Format::Xls:
        return QStringLiteral("Excel 97-2003 工作簿");
    case Format::Ods:
        return QStringLiteral("OpenDocument 表格");
    case Format::Csv:
        return QStringLiteral("CSV 题库模板");
    case Format::PlainText:
        return QStringLiteral("文本");
    case Format::Docx:
        return QStringLiteral("Word 文档");
    case Format::Pdf:
        return QStringLiteral("PDF 文档");
    case Format::OtherDocument:
        return QStringLiteral("Word 97-2003、WPS 或 OpenDocument 文档");
    case Format::MoodleXml:
        return QStringLiteral("Moodle XML");
    case Format::Gift:
        return QStringLiteral("GIFT");
    case Format::Aiken:
        return QStringLiteral("Aiken");
    case Format::Unknown:
        break;
    }
    return QStringLiteral("未知格式");
}

QString ImportFileFilter() {
    return QStringLiteral(
        "题目文件 (*.xlsx;*.xls;*.ods;*.csv;*.docx;*.doc;*.wps;*.odt;*.pdf;*.txt;*.xml;*.gift)|"
        "*.xlsx;*.xls;*.ods;*.csv;*.docx;*.doc;*.wps;*.odt;*.pdf;*.txt;*.xml;*.gift|"
        "表格 (*.xlsx;*.xls;*.ods;*.csv)|*.xlsx;*.xls;*.ods;*.csv|"
        "Word、WPS 文档 (*.docx;*.doc;*.wps;*.odt)|*.docx;*.doc;*.wps;*.odt|PDF 文档 (*.pdf)|*.pdf|文本 "
        "(*.txt)|*.txt|"
        "Moodle XML (*.xml)|*.xml|GIFT (*.gift)|*.gift");
}

namespace {
ParsedFile refused(const QString& text) {
    ParsedFile out;
    out.problems.push_back({0, {}, text, true});
    return out;
}

// A .txt may hold GIFT or Aiken as well as the usual layout.
Format textFormat(const QString& text) {
    static const QRegularExpression aiken(QStringLiteral("^ANSWER:\\s*[A-Z]\\s*$"),
                                          QRegularExpression::MultilineOption);
    static const QRegularExpression gift(QStringLiteral("\\{\\s*(?:[=~]|T\\s*\\}|F\\s*\\}|TRUE|FALSE)"));
    if (aiken.match(text).hasMatch()) return Format::Aiken;
    if (gift.match(text).hasMatch() && !text.contains(u"答案")) return Format::Gift;
    return Format::PlainText;
}
} // namespace

bool IsSheet(Format f) {
    return f == Format::Xlsx || f == Format::Xls || f == Format::Ods || f == Format::Csv;
}

std::vector<QStringList> FirstSheetRows(const QString& path, int count, const Limits& limits) {
    std::vector<QStringList> rows;
    const auto take = [&](int, const QStringList& cells) {
        rows.push_back(cells);
        return static_cast<int>(rows.size()) < count;
    };
    QString error;
    switch (FormatOf(path)) {
    case Format::Xlsx:
        ReadXlsxRows(path, limits, take, &error);
        break;
    case Format::Xls:
        ReadXlsRows(path, limits, take, &error);
        break;
    case Format::Ods:
        ReadOdsRows(path, limits, take, &error);
        break;
    case Format::Csv: {
        QByteArray bytes;
        ParsedFile failure;
        if (ReadImportBytes(path, limits, &bytes, failure)) ReadCsvRows(DecodeSpreadsheetText(bytes), take);
        break;
    }
    default:
        break;
    }
    return rows;
}

ParsedFile ReadImportFile(const QString& path, const Limits& limits, const ColumnChoice& columns) {
    const QFileInfo info(path);
    if (!info.exists()) return refused(QStringLiteral("文件不存在：") + path);
    if (!info.isFile()) return refused(QStringLiteral("不是一个文件：") + path);
    if (info.size() > limits.maxFileBytes)
        return refused(QStringLiteral("文件太大（超过 %1 MB）").arg(limits.maxFileBytes >> 20));
    Format format = FormatOf(path);
    switch (format) {
    case Format::Xlsx:
        return ReadTemplateXlsx(path, limits, columns);
    case Format::Xls:
        return ReadTemplateXls(path, limits, columns);
    case Format::Ods:
        return ReadTemplateOds(path, limits, columns);
    case Format::Csv:
        return ReadTemplateCsv(path, limits, columns);
    case Format::Docx:
    case Format::OtherDocument:
    case Format::Pdf: {
        std::vector<Text> lines;
        Pictures pictures;
        QString error;
        QTemporaryDir scratch;
        QString docx = path;
        if (format == Format::OtherDocument) {
            if (!scratch.isValid()) return refused(QStringLiteral("无法建立临时文件夹"));
            docx = ConvertToDocx(path, scratch, &error);
            if (docx.isEmpty()) return refused(error);
        }
        const bool read = format == Format::Pdf ? ReadPdfLines(path, limits, lines, pictures, &error)
                                                : ReadDocxLines(docx, limits, lines, pictures, &error);
        if (!read) return refused(error);
        ParsedFile out = ReadQuestionLines(lines, limits);
        out.pictures = std::move(pictures);
        return out;
    }
    case Format::Unknown:
        return refused(QStringLiteral("不认识的文件类型“.%1”（可以导入表格 .xlsx、.xls、.ods、.csv，文档 "
                                      ".docx、.doc、.wps、.odt、.pdf、.txt，以及 Moodle .xml 和 .gift）")
                           .arg(info.suffix()));
    case Format::MoodleXml:
    case Format::Gift:
    case Format::PlainText:
    case Format::Aiken:
        break;
    }
    QByteArray bytes;
    ParsedFile failure;
    if (!ReadImportBytes(path, limits, &bytes, failure)) return failure;
    if (format == Format::MoodleXml) return ReadMoodleXml(bytes, limits);
    // Decoded once: a GBK file reaches the GIFT and Aiken readers as UTF-8.
    const QString text = DecodeSpreadsheetText(bytes);
    if (format == Format::PlainText) format = textFormat(text);
    if (format == Format::Gift) return ReadGift(text.toUtf8(), limits);
    if (format == Format::Aiken) return ReadAiken(text.toUtf8(), limits);
    return ReadPlainText(text, limits);
}

} // namespace exchange
