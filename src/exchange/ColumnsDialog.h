#pragma once
// "指定各列": the first rows of a spreadsheet with a choice above each column
// of what it holds, for a sheet whose column names the program does not know.
#include "exchange/Template.h"
#include "platform/Dialog.h"

class QComboBox;
class QTableWidget;

class TFrmColumns : public TDialog {
    Q_OBJECT
public:
    // `rows`: the sheet's first rows; the one with the most names is taken as
    // the header. `choice`: what was chosen before, kept where it still fits.
    TFrmColumns(const std::vector<QStringList>& rows, const exchange::ColumnChoice& choice,
                QWidget* parent = nullptr);

    // Header name → role, for every named column; valid after OK.
    exchange::ColumnChoice Choice() const;
    // The header's names joined, the key a choice is remembered under.
    QString HeaderKey() const { return header_.join(u'|'); }
    // The header of `rows`: the first of them with the most cells filled, its names bare.
    static QStringList HeaderOf(const std::vector<QStringList>& rows);
    // A choice as 系统参数 keeps it, and back ("题干=试题内容,答案=标准答案").
    static QString ChoiceText(const exchange::ColumnChoice& choice);

    QTableWidget* Grid;
    std::vector<QComboBox*> Roles; // one per column

private:
    bool check();
    QStringList header_;
};
