#pragma once
// The statistics window (slot 18): accuracy over time, by subject, practice
// per day, time per question, a predicted score, the questions answered wrong
// most often, the saved tests and the 申论 attempts; each chart can be saved as
// a picture.
#include "platform/Dialog.h"
#include "stats/StatsData.h"

#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <string>
#include <utility>
#include <vector>

class QChartView;

class TFrmXXTJ : public TDialog {
    Q_OBJECT
public:
    explicit TFrmXXTJ(QWidget* parent = nullptr);

    void FormCreate();

    QTabWidget* PageControl1 = nullptr;  // null when there is no history
    QLabel* Label1 = nullptr;            // what to do first, without history
    QTableWidget* StringGrid1 = nullptr; // the questions answered wrong most often
    QTableWidget* StringGrid2 = nullptr; // the saved tests
    std::vector<QChartView*> Charts;

    // After OK: the page to show, its questions, and the answers to tick in it.
    std::string PageTitle;
    std::vector<int> Questions;
    std::vector<std::pair<int, std::string>> Answers;

private:
    QWidget* chartPage(QChartView* view, const QString& caption);
    // The tabs' pages, in their order (StatsTabs.cpp).
    QWidget* accuracyPage();
    QWidget* subjectPage();
    QWidget* practicePage();
    QWidget* timePage();
    QWidget* predictionPage();
    QWidget* wrongPage();
    QWidget* testsPage();
    // The 申论 tab's page; with `always` false, none when there is nothing to show.
    QWidget* essayPage(bool always);
    void openWrong();
    void openTest(int row);
    stats::Figures figures_;
};
