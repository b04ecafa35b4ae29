#pragma once
// The mock exam dialog: scope, sources, subjects and counts per type; its
// "开始考试" draws the paper into XiaoTiList.
#include "platform/Controls.h"
#include "platform/Dialog.h"

#include <QCheckBox>
#include <QSpinBox>
#include <QTabWidget>
#include <vector>

class TFrmMLKC : public TDialog {
    Q_OBJECT
public:
    explicit TFrmMLKC(QWidget* parent = nullptr);

    void FormCreate();
    void BitBtn1Click();

    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet4;
    TRadioGroup* RadioGroup1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    std::vector<QCheckBox*> SourceBoxes;
    std::vector<QCheckBox*> SubjectBoxes;
    std::vector<QSpinBox*> CountEdits;
    std::vector<QLabel*> TypeLabels;

private:
    void addBoxes(std::vector<QCheckBox*>& boxes, QWidget* page, const char* sql);
    void fail(const char* text, const char* caption, int icon);
};
