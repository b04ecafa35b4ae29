#pragma once
// The window a candidate writes a task in, beside the page that shows the
// materials: the task on top, the editor below with its count against the
// task's limit, the answer on the 答题纸 grid, and after 提交 the 参考要点
// beside the answer. What is typed is saved every few seconds and on close.
#include "essay/Attempts.h"
#include "essay/Judge.h"
#include "essay/Task.h"

#include <QElapsedTimer>
#include <QWidget>
#include <functional>

class AdoConnection;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTextBrowser;
class QTimer;

namespace essay {

class SheetView;

class WritingWindow : public QWidget {
    Q_OBJECT
public:
    WritingWindow(AdoConnection& connection, Task task, QWidget* parent = nullptr);
    ~WritingWindow() override;

    const Task& CurrentTask() const { return task_; }
    // A timed set: the countdown to `deadlineMs` (since the epoch) shows on top;
    // at zero the answer is saved, judged and locked.
    // `now` is the clock the deadline is read on (the exam's, so tests can move it).
    void SetDeadline(qint64 deadlineMs, std::function<qint64()> now);
    // Saves what is written now (nothing when nothing changed).
    void SaveNow();
    // Time is up, or the set is handed in: saves, judges, locks.
    void HandIn();
    bool Submitted() const { return attempt_.score.has_value(); }

    // For tests and the statistics: the attempt shown.
    const Attempt& CurrentAttempt() const { return attempt_; }

    static constexpr int kSaveEveryMs = 5000;

signals:
    void AttemptSaved(long long id);
    void JudgementShown(double score, double marks);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void textChanged();
    void showCount();
    void submit();
    void showJudgement(const Judgement& j);
    void newAttempt();
    void showAttempt(const Attempt& a);
    void showHistory();
    void toggleSheet(bool on);
    void print(bool pdf);
    void tick();
    void ensureAttempt();

    AdoConnection& connection_;
    Task task_;
    Attempt attempt_;
    bool dirty_ = false;
    bool locked_ = false;
    int secondsBefore_ = 0;
    QElapsedTimer writing_;
    qint64 deadlineMs_ = 0;
    std::function<qint64()> now_;

    QLabel* heading_;
    QLabel* countdown_;
    QTextBrowser* taskView_;
    QStackedWidget* pages_;
    QPlainTextEdit* editor_;
    SheetView* sheet_;
    QTextBrowser* answerView_;
    QTextBrowser* pointsView_;
    QLabel* count_;
    QPushButton* sheetButton_;
    QPushButton* submitButton_;
    QTimer* saveTimer_;
    QTimer* clock_;
};

// The answer as HTML with the words that matched each 要点 marked.
QString HighlightedAnswer(const QString& answer, const Judgement& j);
// The 要点 with their verdicts, the structure checks and how the score was reached.
QString JudgementHtml(const Task& task, const Judgement& j);

} // namespace essay
