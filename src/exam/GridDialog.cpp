#include "exam/GridDialog.h"

#include <QHeaderView>
#include <QVBoxLayout>

TGridDialogParts BuildGridDialog(QWidget* dialog, const QString& caption1, const QString& caption2,
                                 const QString& caption3) {
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    TGridDialogParts parts{};
    parts.Grid = new QTableWidget(dialog);
    parts.Grid->verticalHeader()->hide();
    parts.Grid->verticalHeader()->setDefaultSectionSize(20);
    parts.Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    parts.Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    parts.Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    parts.Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    parts.Grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(parts.Grid, 1);
    parts.Panel = new QWidget(dialog);
    parts.Panel->setFixedHeight(41);
    layout->addWidget(parts.Panel);
    parts.Button1 = new QPushButton(caption1, parts.Panel);
    parts.Button1->setGeometry(16, 8, 97, 25);
    parts.Button2 = new QPushButton(caption2, parts.Panel);
    parts.Button2->setGeometry(119, 8, 97, 25);
    parts.Button3 = new QPushButton(caption3, parts.Panel);
    parts.Button3->setGeometry(248, 8, 75, 25);
    return parts;
}
