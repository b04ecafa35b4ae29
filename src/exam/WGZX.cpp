#include "exam/WGZX.h"

#include "exam/GridDialog.h"
#include "exam/ResultPage.h"
#include "platform/Application.h"
#include "render/Global.h"
#include "store/DataModule.h"

#include <QDateTime>
#include <QHeaderView>

namespace {
// The stored 'yyyy-MM-dd HH:mm:ss' as the user reads dates: 2010-2-16 15:40:29.
QString shownTime(const std::string& stored) {
    const QDateTime t =
        QDateTime::fromString(QString::fromStdString(stored), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return t.isValid() ? t.toString(QStringLiteral("yyyy-M-d H:mm:ss")) : QString::fromStdString(stored);
}

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}
} // namespace

TFrmWGZX::TFrmWGZX(QWidget* parent) : TDialog(parent) {
    InitForm(QStringLiteral("温故知新"), 594, 506, true);
    StringGrid1 = new QTableWidget(this);
    const TGridDialogParts parts = BuildGridDialog(this, StringGrid1, QStringLiteral("显示全部测试"),
                                                   QStringLiteral("生成试卷"), QStringLiteral("退出"));
    Panel1 = parts.Panel;
    BitBtn1 = parts.Button1;
    BitBtn2 = parts.Button2;
    BitBtn3 = parts.Button3;
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { BitBtn2Click(); }));
    AttachButton(BitBtn3, mrCancel);
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, Guarded([this] { StringGrid1DblClick(); }));
    // The header row acts on the selected data row, as a grid's fixed row does.
    connect(StringGrid1->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            Guarded([this] { StringGrid1DblClick(); }));
    FormCreate();
}

int TFrmWGZX::textWidth(const QString& s) const {
    return QFontMetrics(font()).horizontalAdvance(s);
}

QString TFrmWGZX::Cell(int col, int row) const {
    if (row == 0) {
        const QTableWidgetItem* h = StringGrid1->horizontalHeaderItem(col);
        return h ? h->text() : QString();
    }
    const QTableWidgetItem* item = StringGrid1->item(row - 1, col);
    return item ? item->text() : QString();
}

void TFrmWGZX::setColumns(const QStringList& headers, const QList<int>& widths, int rows) {
    StringGrid1->clear();
    StringGrid1->setColumnCount(static_cast<int>(headers.size()));
    StringGrid1->setRowCount(rows);
    StringGrid1->setHorizontalHeaderLabels(headers);
    for (int c = 0; c < widths.size(); ++c)
        StringGrid1->setColumnWidth(c, widths[c]);
    // As in a grid with a fixed row: the first data row is the selected one, so a
    // double-click on the header acts on it before the user picks a row.
    StringGrid1->setCurrentCell(0, 0);
}

void TFrmWGZX::FormCreate() {
    BitBtn1Click();
}

void TFrmWGZX::BitBtn1Click() {
    FillDataTR(DataModule1->ADOQuery2.OpenWith({"SELECT * FROM 测试结果"}));
}

void TFrmWGZX::FillDataTR(AdoQuery& q) {
    RowIds.Clear();
    StringGrid1Tag = 0;
    const int w = textWidth(QStringLiteral(" 题目类型 ")) + 8;
    setColumns({QStringLiteral("    测试时间"), QStringLiteral("  试题数量"), QStringLiteral("  答对题数"),
                QStringLiteral("  总分"), QStringLiteral("  得分"), QStringLiteral(" 正确率")},
               {textWidth(QStringLiteral("2010-2-16 15:40:29")) + 8, w, w, w, w, w}, 1);
    if (q.RecordCount() == 0) {
        StringGrid1->setItem(0, 1, cell(QStringLiteral("没有测试记录")));
        return;
    }
    StringGrid1->setRowCount(q.RecordCount());
    for (int r = 0; !q.Eof(); q.Next(), ++r) {
        StringGrid1->setItem(r, 0, cell(shownTime(q.FieldByName("测试时间").AsString())));
        StringGrid1->setItem(r, 1, cell(QString::number(q.FieldByName("试题数").AsInteger())));
        StringGrid1->setItem(r, 2, cell(QString::number(q.FieldByName("答对").AsInteger())));
        StringGrid1->setItem(r, 3,
                             cell(QString::fromStdString(FormatFixed2(q.FieldByName("总分").AsFloat()))));
        StringGrid1->setItem(r, 4,
                             cell(QString::fromStdString(FormatFixed2(q.FieldByName("得分").AsFloat()))));
        StringGrid1->setItem(
            r, 5,
            cell(QString::fromStdString(FormatFixed2(q.FieldByName("正确率").AsFloat() * 100)) + u'％'));
        RowIds.Add()->Id = q.FieldByName("编号").AsInteger();
    }
}

void TFrmWGZX::FillDataXT(AdoQuery& q) {
    RowIds.Clear();
    StringGrid1Tag = 1;
    setColumns({QStringLiteral("序号"), QStringLiteral("    题目内容"), QStringLiteral("题目类型")},
               {textWidth(QStringLiteral(" 100")) + 8, 480, textWidth(QStringLiteral("题目类型")) + 8}, 1);
    if (q.RecordCount() == 0) {
        StringGrid1->setItem(0, 1, cell(QStringLiteral("没有题目")));
        return;
    }
    StringGrid1->setRowCount(q.RecordCount());
    for (int r = 0; !q.Eof(); q.Next(), ++r) {
        StringGrid1->setItem(r, 0, cell(QString::number(r + 1)));
        StringGrid1->setItem(r, 1, cell(QString::fromStdString(q.FieldByName("题目内容").AsString())));
        StringGrid1->setItem(r, 2, cell(QString::fromStdString(q.FieldByName("题目类型").AsString())));
        RowIds.Add()->Id = q.FieldByName("小题号").AsInteger();
    }
}

void TFrmWGZX::StringGrid1DblClick() {
    const int r = StringGrid1->currentRow();
    if (RowIds.Count() == 0 || r < 0 || r >= RowIds.Count()) return;
    if (StringGrid1Tag == 0) {
        FillDataXT(DataModule1->ADOQuery2.OpenWith(
            {"SELECT * FROM 小题 WHERE 小题号 IN(",
             "SELECT 小题号 FROM 测试题目 WHERE 测试编号=", std::to_string(RowIds[r]->Id), ")"}));
        return;
    }
    XiaoTiList.Clear();
    XiaoTiList.Add()->Id = RowIds[r]->Id;
    ModalResult = mrOk;
    done(mrOk);
}

void TFrmWGZX::BitBtn2Click() {
    if (StringGrid1Tag != 1 || RowIds.Count() == 0) return;
    XiaoTiList.Clear();
    for (const TBH* b : RowIds)
        XiaoTiList.Add()->Id = b->Id;
    ModalResult = mrOk;
    done(mrOk);
}
