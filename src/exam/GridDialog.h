#pragma once
// The layout the list dialogs (history, favourites) share: a grid of whole rows,
// 20 px high, over a 41-px panel holding three buttons at their designed places.
// The dialog makes its own grid (a table widget, or a text grid for long lists).
#include <QPushButton>
#include <QString>
#include <QTableView>

struct TGridDialogParts {
    QWidget* Panel;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
};

TGridDialogParts BuildGridDialog(QWidget* dialog, QTableView* grid, const QString& caption1,
                                 const QString& caption2, const QString& caption3);
