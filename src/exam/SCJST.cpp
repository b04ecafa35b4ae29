#include "exam/SCJST.h"

#include "exam/GridDialog.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "store/DataModule.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

AdoQuery& OpenFavourites() {
    // No ORDER BY: favourites are listed in the table's own order.
    return DataModule1->ADOQuery2.OpenWith({"SELECT 小题号,题目内容,题目类型 FROM 小题 WHERE 是否收藏=1"});
}

TFrmSCJST::TFrmSCJST(QWidget* parent) : TDialog(parent) {
    InitForm(QStringLiteral("收藏夹试题"), 740, 428, true);
    StringGrid1 = new TTextGrid(this);
    const TGridDialogParts parts = BuildGridDialog(this, StringGrid1, QStringLiteral("生成试卷"),
                                                   QStringLiteral("取消收藏"), QStringLiteral("关闭"));
    Panel1 = parts.Panel;
    BitBtn1 = parts.Button1;
    BitBtn2 = parts.Button2;
    BitBtn3 = parts.Button3;
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->setWordWrap(false);
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { BitBtn2Click(); }));
    AttachButton(BitBtn3, mrCancel);
    connect(StringGrid1, &QAbstractItemView::doubleClicked, this, Guarded([this] { StringGrid1DblClick(); }));
    // A double click below the last row is a double click on the grid too.
    StringGrid1->viewport()->installEventFilter(this);
    // Enter opens the selected row: no button may take it by being first or
    // focused last (a paper of every match, thousands on a large bank).
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3})
        b->setAutoDefault(false);
    FormCreate();
}

int TFrmSCJST::textWidth(const QString& s) const {
    return QFontMetrics(font()).horizontalAdvance(s);
}

void TFrmSCJST::FormCreate() {
    StringGrid1->Model().SetHeaders(
        {QStringLiteral("序号"), QStringLiteral("    题目内容"), QStringLiteral("题目类型")});
    StringGrid1->Model().SetCells(std::vector<QString>(3));
    StringGrid1->setColumnWidth(0, textWidth(QStringLiteral(" 100")) + 8);
    StringGrid1->setColumnWidth(1, 640);
    StringGrid1->setColumnWidth(2, textWidth(QStringLiteral("题目类型")) + 8);
    FavouriteIds.Clear();
}

QString TFrmSCJST::Cell(int col, int row) const {
    return row == 0 ? StringGrid1->Model().Header(col) : StringGrid1->Model().Text(row - 1, col);
}

void TFrmSCJST::FillData(AdoQuery& q) {
    // The old text is freed only once the new list replaces it (SetCells):
    // freeing 100,000 strings just before making 100,000 new ones cost more
    // in the allocator than the text itself.
    FavouriteIds.Clear();
    StringGrid1->Model().SetNumbered(q.RecordCount() > 0);
    if (q.RecordCount() == 0) {
        StringGrid1->Model().SetCells({QString(), QStringLiteral("没有题目"), QString()});
        return;
    }
    const int contentField = q.FieldIndex("题目内容"), typeField = q.FieldIndex("题目类型"),
              idField = q.FieldIndex("小题号");
    // Column 0 is numbered by the model; a run of one type shares one string.
    std::vector<QString> cells;
    cells.reserve(static_cast<size_t>(q.RecordCount()) * 3);
    FavouriteIds.Reserve(q.RecordCount());
    std::string type, scratch;
    QString shownType;
    for (; !q.Eof(); q.Next()) {
        cells.emplace_back();
        const std::string_view content = q.Fields(contentField).Text(scratch);
        cells.push_back(QString::fromUtf8(content.data(), static_cast<qsizetype>(content.size())));
        const std::string_view t = q.Fields(typeField).Text(scratch);
        if (t != type || shownType.isNull()) {
            type.assign(t);
            shownType = QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
        }
        cells.push_back(shownType);
        FavouriteIds.Add()->Id = q.Fields(idField).AsInteger();
    }
    StringGrid1->Model().SetCells(std::move(cells));
    // A refilled grid starts at its first row, whatever was current before.
    StringGrid1->setCurrentCell(0, 0);
}

void TFrmSCJST::closeWithPaper() {
    ModalResult = mrOk;
    done(mrOk);
}

void TFrmSCJST::BitBtn1Click() {
    if (FavouriteIds.Count() == 0) {
        MessageBox(QStringLiteral("现在没有试题！"), QStringLiteral("提示"), MB_ICONWARNING);
        return;
    }
    XiaoTiList.Clear();
    for (const TBH* b : FavouriteIds)
        XiaoTiList.Add()->Id = b->Id;
    closeWithPaper();
}

void TFrmSCJST::StringGrid1DblClick() {
    const int r = StringGrid1->currentRow();
    if (FavouriteIds.Count() == 0 || r < 0 || r >= FavouriteIds.Count()) return;
    XiaoTiList.Clear();
    XiaoTiList.Add()->Id = FavouriteIds[r]->Id;
    closeWithPaper();
}

void TFrmSCJST::BitBtn2Click() {
    const int r = StringGrid1->currentRow();
    if (FavouriteIds.Count() == 0 || r < 0 || r >= FavouriteIds.Count()) return;
    DataModule1->ADOQuery2.ExecWith(
        {"UPDATE 小题 SET 是否收藏=0 WHERE 小题号=", std::to_string(FavouriteIds[r]->Id)});
    FillData(OpenFavourites());
}

void TFrmSCJST::FormResize() {
    if (!StringGrid1) return; // sized before its controls exist
    const int outer = frameGeometry().width();
    StringGrid1->setColumnWidth(1, outer - StringGrid1->columnWidth(0) - StringGrid1->columnWidth(2) - 56);
}

void TFrmSCJST::resizeEvent(QResizeEvent* e) {
    TDialog::resizeEvent(e);
    FormResize();
}

bool TFrmSCJST::eventFilter(QObject* watched, QEvent* e) {
    if (watched == StringGrid1->viewport() && e->type() == QEvent::MouseButtonDblClick &&
        !StringGrid1->indexAt(static_cast<QMouseEvent*>(e)->position().toPoint()).isValid()) {
        Guarded([this] { StringGrid1DblClick(); })();
        return true;
    }
    return TDialog::eventFilter(watched, e);
}

void TFrmSCJST::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && e->modifiers() == Qt::NoModifier) {
        // A focused button is pressed as the user aimed; anywhere else Enter opens the row.
        if (auto* b = qobject_cast<QPushButton*>(focusWidget()))
            b->click();
        else
            Guarded([this] { StringGrid1DblClick(); })();
        e->accept();
        return;
    }
    // Esc presses the cancel button "取消收藏"; with that button hidden it does nothing.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        if (!BitBtn2->isHidden() && BitBtn2->isEnabled()) BitBtn2->click();
        e->accept();
        return;
    }
    TDialog::keyPressEvent(e);
}
