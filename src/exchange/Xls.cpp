#include "exchange/Sheets.h"

#include <QFile>
#include <freexl.h>

namespace exchange {
namespace {
// Closes FreeXL's handle whatever way the reading ends.
struct Handle {
    const void* xls = nullptr;
    ~Handle() {
        if (xls) freexl_close(xls);
    }
};

QString numberText(double v) {
    // "1" for 1.0, the shortest exact text otherwise; never the locale's comma.
    return QString::number(v, 'g', 15);
}
} // namespace

bool ReadXlsRows(const QString& path, const Limits&, const RowSink& onRow, QString* error) {
    QString dummy;
    if (!error) error = &dummy;
    const QString notValid = QStringLiteral("文件不是有效的 Excel 97-2003 工作簿（.xls）");
    Handle h;
    const QByteArray local = QFile::encodeName(path);
    if (freexl_open(local.constData(), &h.xls) != FREEXL_OK) {
        *error = notValid;
        return false;
    }
    unsigned int info = 0;
    if (freexl_get_info(h.xls, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED) {
        *error = QStringLiteral("工作簿有密码保护，请先在 Excel 或 WPS 中取消密码再导入");
        return false;
    }
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(h.xls, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(h.xls, &rows, &columns) != FREEXL_OK) {
        *error = notValid;
        return false;
    }
    QStringList cells;
    for (unsigned int r = 0; r < rows; ++r) {
        cells.clear();
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(h.xls, r, c, &v) != FREEXL_OK) continue;
            QString text;
            switch (v.type) {
            case FREEXL_CELL_INT:
                text = QString::number(v.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                text = numberText(v.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                text = QString::fromUtf8(v.value.text_value);
                break;
            default:
                break;
            }
            if (text.isEmpty()) continue;
            while (cells.size() < c)
                cells.append(QString());
            cells.append(text);
        }
        if (!cells.isEmpty() && !onRow(static_cast<int>(r) + 1, cells)) return true;
    }
    return true;
}

} // namespace exchange
