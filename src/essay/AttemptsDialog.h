#pragma once
// Every attempt at a task with its date, count and score: one reopened, or two
// read side by side.
#include "essay/Attempts.h"
#include "essay/Task.h"

#include <QDialog>
#include <optional>

class QTableWidget;

namespace essay {

class AttemptsDialog : public QDialog {
    Q_OBJECT
public:
    AttemptsDialog(std::vector<Attempt> attempts, const Task& task, QWidget* parent = nullptr);
    // The attempt to reopen, once accepted.
    const Attempt* Chosen() const { return chosen_; }
    QTableWidget* Table() const { return table_; }

private:
    void compare();
    std::vector<Attempt> attempts_;
    const Attempt* chosen_ = nullptr;
    QTableWidget* table_;
};

} // namespace essay
