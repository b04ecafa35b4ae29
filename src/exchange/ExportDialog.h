#pragma once
// "导出试题": a category with everything below it, the favourites or the
// wrongly answered questions, to the template spreadsheet or Moodle XML.
#include "platform/Dialog.h"

class TRadioGroup;
class QPushButton;

class TFrmExport : public TDialog {
    Q_OBJECT
public:
    // `category` is the tree node the menu was opened on (0: none).
    TFrmExport(int category, const QString& categoryName, QWidget* parent = nullptr);

    TRadioGroup* RgpWhat;   // 本分类, 收藏夹, 错题
    TRadioGroup* RgpFormat; // Excel 题库模板, Moodle XML
    QPushButton* BtnOk;
    QPushButton* BtnCancel;

private:
    void exportNow();
    int category_;
};
