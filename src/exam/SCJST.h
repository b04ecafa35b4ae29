#pragma once
// The favourites dialog: lists questions (the favourites, or the matches of a
// search, which reuses it), removes favourites, and makes a paper of all or one.
#include "exam/TextGrid.h"
#include "platform/Dialog.h"
#include "render/Records.h"

#include <QPushButton>

class AdoQuery;

// Runs the favourites query on ADOQuery2 and returns it, open.
AdoQuery& OpenFavourites();

class TFrmSCJST : public TDialog {
    Q_OBJECT
public:
    // One row's question: its 小题号.
    class TBH {
    public:
        int Id = 0;
    };

    explicit TFrmSCJST(QWidget* parent = nullptr);

    void FormCreate();
    // Lists the rows of the caller's open query (小题号, 题目内容, 题目类型).
    void FillData(AdoQuery& q);
    void BitBtn1Click();
    void BitBtn2Click();
    void StringGrid1DblClick();
    void FormResize();

    // The grid's text at (column, row); row 0 is the header row.
    QString Cell(int col, int row) const;
    // Rows including the header row, as the grid counts them.
    int RowCount() const { return StringGrid1->rowCount() + 1; }

    TTextGrid* StringGrid1 = nullptr;
    QWidget* Panel1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;
    TRecordList<TBH> FavouriteIds;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    int textWidth(const QString& s) const;
    void closeWithPaper();
};
