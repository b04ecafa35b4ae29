#include "essay/SheetView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

namespace essay {
namespace {
constexpr int kCell = 24;   // pixels on screen
constexpr int kRowGap = 10; // between rows, where the hundreds are written
const QColor kLine(0x2E, 0x7D, 0x32);
} // namespace

SheetView::SheetView(QWidget* parent) : QWidget(parent) {
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void SheetView::SetAnswer(const QString& answer, int limitCells) {
    sheet_ = LayOut(answer);
    limit_ = limitCells;
    updateGeometry();
    setMinimumHeight(sizeHint().height());
    update();
}

QSize SheetView::sizeHint() const {
    const int rows =
        std::max<int>(static_cast<int>(sheet_.rows.size()), (limit_ + kCellsPerRow - 1) / kCellsPerRow) + 1;
    return {kCellsPerRow * kCell + 60, rows * (kCell + kRowGap) + 20};
}

void SheetView::paintRows(QPainter& p, int firstRow, int rowCount, int cell, int left, int top) const {
    const int gap = cell * kRowGap / kCell;
    QFont font = p.font();
    font.setPixelSize(cell * 2 / 3);
    QFont small = font;
    small.setPixelSize(std::max(6, cell / 3));
    for (int r = 0; r < rowCount; ++r) {
        const int row = firstRow + r;
        const int y = top + r * (cell + gap);
        for (int c = 0; c < kCellsPerRow; ++c) {
            const QRect box(left + c * cell, y, cell, cell);
            const int index = row * kCellsPerRow + c;
            // Past the limit the cells are shaded, as a reminder it is not read.
            if (limit_ > 0 && index >= limit_) p.fillRect(box, QColor(0xFF, 0xEB, 0xEE));
            p.setPen(kLine);
            p.drawRect(box);
            if (row < static_cast<int>(sheet_.rows.size()) &&
                c < sheet_.rows[static_cast<size_t>(row)].cells.size()) {
                p.setPen(Qt::black);
                p.setFont(font);
                p.drawText(box, Qt::AlignCenter, sheet_.rows[static_cast<size_t>(row)].cells[c]);
            }
            if ((index + 1) % 100 == 0) {
                p.setPen(kLine);
                p.setFont(small);
                p.drawText(QRect(box.right() - cell * 2, box.bottom() + 1, cell * 2, gap),
                           Qt::AlignRight | Qt::AlignTop, QString::number(index + 1));
            }
        }
    }
}

void SheetView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int rows =
        std::max<int>(static_cast<int>(sheet_.rows.size()), (limit_ + kCellsPerRow - 1) / kCellsPerRow) + 1;
    paintRows(p, 0, rows, kCell, 20, 10);
}

void SheetView::Print(QPrinter* printer, const QString& heading) const {
    QPainter p(printer);
    if (!p.isActive()) return;
    const QRect page = printer->pageLayout().paintRectPixels(printer->resolution());
    const int cell = page.width() / (kCellsPerRow + 1);
    const int gap = cell * kRowGap / kCell;
    const int left = (page.width() - cell * kCellsPerRow) / 2;
    QTextDocument head;
    head.setPlainText(heading);
    head.setTextWidth(page.width());
    QFont font = p.font();
    font.setPixelSize(cell / 2);
    head.setDefaultFont(font);
    const int headHeight = static_cast<int>(head.size().height()) + cell / 2;
    const int rows =
        std::max<int>(static_cast<int>(sheet_.rows.size()), (limit_ + kCellsPerRow - 1) / kCellsPerRow);
    int row = 0;
    bool first = true;
    while (row < rows || first) {
        int top = 0;
        if (first) {
            head.drawContents(&p);
            top = headHeight;
        }
        const int fit = std::max(1, (page.height() - top) / (cell + gap));
        const int n = std::min(fit, std::max(rows - row, 0));
        paintRows(p, row, n, cell, left, top);
        row += n;
        first = false;
        if (row < rows)
            printer->newPage();
        else
            break;
    }
}

} // namespace essay
