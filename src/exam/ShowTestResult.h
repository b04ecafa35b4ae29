#pragma once
// The result dialog: the tallies as a table, and the offer to keep them in the
// test history whenever it closes.
#include "exam/ResultPage.h"
#include "platform/Dialog.h"

#include <QDateTime>
#include <QPushButton>
#include <functional>

class WebBrowser;

class TFrmShowTestResult : public TDialog {
    Q_OBJECT
public:
    explicit TFrmShowTestResult(QWidget* parent = nullptr);

    void FormCreate();
    // Asks, and on Yes stores the test and its questions, all or nothing.
    void QuerySave();

    WebBrowser* WebBrowser1;
    QPushButton* BitBtn1;
    TResultTotals ResultTotals;
    // Rows of our own stored with a saved test (the timed exam's); none by default.
    std::function<void(long long testId)> SaveAlso;

    // The time stamped on a saved test; the clock by default.
    static void SetClockForTests(std::function<QDateTime()> clock);

protected:
    void done(int result) override;
};
