#include "exam/GridDialog.h"

#include <QHeaderView>
#include <QVBoxLayout>

TGridDialogParts BuildGridDialog(QWidget* dialog, QTableView* grid, const QString& caption1,
                                 const QString& caption2, const QString& caption3) {
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    TGridDialogParts parts{};
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(grid, 1);
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
