#pragma once
// The filter dialog: a scope and the question types to keep; its OK button
// narrows XiaoTiList in place.
#include "platform/Controls.h"
#include "platform/Dialog.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

class TFrmSTGL : public TDialog {
    Q_OBJECT
public:
    explicit TFrmSTGL(QWidget* parent = nullptr);

    void FormCreate();
    void BitBtn1Click();
    void SetAllChecked(bool checked);

    TRadioGroup* RadioGroup1;
    QLabel* Label1;
    QListWidget* CheckListBox1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

private:
    void fail(const char* text, const char* caption, int icon);
};
