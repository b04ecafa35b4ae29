#pragma once
// "用户设置": the points one question of each type is worth, and the way to the
// appearance dialog.
#include "platform/Controls.h"
#include "platform/Dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <vector>

class WebBrowser;

class TFrmJMSZ : public TDialog {
    Q_OBJECT
public:
    // `mainBrowser` is reloaded after the appearance dialog is confirmed.
    explicit TFrmJMSZ(WebBrowser* mainBrowser, QWidget* parent = nullptr);

    void FormCreate();
    void ActUPExecute(TUpDown* sender);
    void ActDownExecute(TUpDown* sender);
    void ActChangeExecute(QLineEdit* sender);
    void BitBtn1Click();
    void BitBtn3Click();

    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;
    std::vector<QLabel*> ScoreLabels;
    std::vector<QLineEdit*> ScoreEdits;
    std::vector<TUpDown*> ScoreSpins;

private:
    WebBrowser* mainBrowser_;
};

// A score as the edits show it after an arrow: one decimal, at least one integer digit.
QString FormatScore(double v);
// Parses a typed score; false for anything that is not a number as a whole.
bool ParseScore(const QString& text, double& v);
