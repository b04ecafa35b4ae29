#pragma once
// The answer laid on the 答题纸: 25 cells a row, a small number under every
// hundredth cell as the sheet prints it, the title centred on its row.
#include "essay/Count.h"

#include <QWidget>

class QPainter;
class QPrinter;

namespace essay {

class SheetView : public QWidget {
    Q_OBJECT
public:
    explicit SheetView(QWidget* parent = nullptr);
    void SetAnswer(const QString& answer, int limitCells);
    const Sheet& CurrentSheet() const { return sheet_; }
    QSize sizeHint() const override;

    // Prints the sheet (or writes it as PDF through a PDF printer), as many
    // pages as it needs, the task's text on the first.
    void Print(QPrinter* printer, const QString& heading) const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void paintRows(QPainter& p, int firstRow, int rowCount, int cell, int left, int top) const;
    Sheet sheet_;
    int limit_ = 0;
};

} // namespace essay
