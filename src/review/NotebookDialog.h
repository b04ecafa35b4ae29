#pragma once
// The wrong-question notebook (slot 17): how the cards stand by type and
// subject, the cards themselves, and a review of the due ones.
#include "platform/Dialog.h"
#include "review/Notebook.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

class TFrmCTFX : public TDialog {
    Q_OBJECT
public:
    explicit TFrmCTFX(QWidget* parent = nullptr);

    // Fills the counts and the list from the bank.
    void FormCreate();
    // "开始复习": the due questions into Questions; closes with OK, or says
    // there is nothing due and stays open.
    void BitBtn1Click();
    // "移出错题本": the selected card leaves the notebook.
    void BitBtn2Click();

    QLabel* Label1;
    QTableWidget* StringGrid1; // counts by type and subject
    QTableWidget* StringGrid2; // the cards
    QSpinBox* SpinEdit1;       // questions per review
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;

    // After OK: the questions of the review page.
    std::vector<int> Questions;

private:
    std::vector<review::NotebookCard> cards_;
};
