#pragma once
// The search dialog: a text and the subjects to search; its OK button runs the
// search and shows the matches in the favourites dialog.
#include "exam/Search.h"
#include "platform/Dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <functional>

class TFrmSTCZ : public TDialog {
    Q_OBJECT
public:
    using TBH = TSearchBH;

    explicit TFrmSTCZ(QWidget* parent = nullptr);

    void FormCreate();
    void BitBtn1Click();

    void SetAllChecked(bool checked);

    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QLabel* LabeledEdit1Label;
    QLineEdit* LabeledEdit1;
    QLabel* Header1;
    QListWidget* CheckListBox1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    TObjectList<TBH> SearchScope;

    // Builds the page of XiaoTiList under `title` and shows it in the main
    // browser; set by the command that opens the dialog.
    std::function<void(const char* title)> ShowPaper;

private:
    // The item texts of the indices SearchScope holds.
    std::vector<std::string> scopeNames() const;
    void fail(const char* text);
};
