#pragma once
// The test history: saved tests, the questions of one test, and a new paper
// from them.
#include "platform/Dialog.h"
#include "render/Records.h"

#include <QPushButton>
#include <QTableWidget>

class AdoQuery;

// One row's id: a test's 编号 or a question's 小题号.
class TBH {
public:
    int Id = 0;
};

class TFrmWGZX : public TDialog {
    Q_OBJECT
public:
    explicit TFrmWGZX(QWidget* parent = nullptr);

    void FormCreate();
    void BitBtn1Click();
    void BitBtn2Click();
    void StringGrid1DblClick();
    void FillDataTR(AdoQuery& q);
    void FillDataXT(AdoQuery& q);

    // The grid's text at (column, row); row 0 is the header row.
    QString Cell(int col, int row) const;
    int Mode() const { return StringGrid1Tag; }

    QTableWidget* StringGrid1;
    int StringGrid1Tag = 0; // 0: saved tests, 1: the questions of one test
    QWidget* Panel1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;
    TObjectList<TBH> RowIds;

private:
    void setColumns(const QStringList& headers, const QList<int>& widths, int rows);
    int textWidth(const QString& s) const;
};
