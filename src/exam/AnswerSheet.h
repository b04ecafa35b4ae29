#pragma once
// The answer sheet of a timed exam: one cell per question, grouped by type,
// numbered as the page numbers them; answered cells filled, and after grading
// right and wrong.
#include "exam/TimedExam.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <unordered_map>
#include <vector>

class TAnswerSheet : public QScrollArea {
    Q_OBJECT
public:
    explicit TAnswerSheet(QWidget* parent = nullptr);

    // Lays the sheet out for a paper; every cell unanswered.
    void Build(const std::vector<TimedQuestion>& questions);
    void SetAnswered(int id, bool answered);
    // After grading: each question right or wrong.
    void SetVerdict(int id, bool right);

    enum class Cell { Open, Answered, Right, Wrong };
    Cell CellState(int id) const;
    // The cell's button, for tests and the screen; null for a question not on the sheet.
    QPushButton* CellButton(int id) const;
    QLabel* CountLabel() const { return count_; }

signals:
    void QuestionClicked(int id);

private:
    void setState(size_t index, Cell state);
    void updateCount();
    QWidget* body_ = nullptr;
    QLabel* count_ = nullptr;
    std::vector<QPushButton*> cells_;
    std::vector<Cell> states_;
    std::unordered_map<int, size_t> indexOf_;
    int answered_ = 0;
};
