#pragma once
// The timed exam's two questions before the clock starts: how to build the
// paper, and how long the user has for it.
#include "exam/WholePaper.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"

#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <vector>

// "按题型抽题" (the mock exam dialog draws the paper) or "整套试卷" (every
// question of one source).
class TFrmJSMK : public TDialog {
    Q_OBJECT
public:
    explicit TFrmJSMK(QWidget* parent = nullptr);

    enum Choice { ByType = 0, WholeSource = 1 };
    int Choice() const { return RadioGroup1->ItemIndex(); }
    // The chosen source, valid after OK with WholeSource.
    const PaperSource& Source() const { return sources_.at(static_cast<size_t>(ListBox1->currentRow())); }

    TRadioGroup* RadioGroup1;
    QListWidget* ListBox1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

private:
    void BitBtn1Click();
    std::vector<PaperSource> sources_;
};

// The time limit in minutes, with the default the paper suggests.
class TFrmKSSJ : public TDialog {
    Q_OBJECT
public:
    // `advice` replaces the line that proposes a time (a 申论 set proposes its own).
    TFrmKSSJ(int questions, int minutes, QWidget* parent = nullptr, const QString& advice = {});

    int Minutes() const { return SpinEdit1->value(); }

    QLabel* Label1;
    QSpinBox* SpinEdit1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
};
