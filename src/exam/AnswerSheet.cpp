#include "exam/AnswerSheet.h"

#include <QGridLayout>
#include <QStyle>
#include <QVBoxLayout>

namespace {
constexpr int kColumns = 5;

const char* stateName(TAnswerSheet::Cell c) {
    switch (c) {
    case TAnswerSheet::Cell::Open:
        return "open";
    case TAnswerSheet::Cell::Answered:
        return "answered";
    case TAnswerSheet::Cell::Right:
        return "right";
    case TAnswerSheet::Cell::Wrong:
        return "wrong";
    }
    return "open";
}
} // namespace

TAnswerSheet::TAnswerSheet(QWidget* parent) : QScrollArea(parent) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setStyleSheet(QStringLiteral(
        "QWidget#sheet{background:#EFF8FF;}"
        "QLabel#type{font-weight:bold;color:#1E559A;padding-top:6px;}"
        "QLabel#count{font-weight:bold;padding:4px 0;}"
        "QPushButton{border:1px solid #7F9DB9;background:white;color:black;min-width:28px;max-width:28px;"
        "min-height:22px;max-height:22px;padding:0;}"
        "QPushButton[state=\"answered\"]{background:#2F6FB7;color:white;border-color:#1E559A;}"
        "QPushButton[state=\"right\"]{background:#2E8B57;color:white;border-color:#1F6B40;}"
        "QPushButton[state=\"wrong\"]{background:#D03030;color:white;border-color:#A02020;}"));
}

void TAnswerSheet::Build(const std::vector<TimedQuestion>& questions) {
    delete body_;
    cells_.clear();
    states_.assign(questions.size(), Cell::Open);
    indexOf_.clear();
    answered_ = 0;

    body_ = new QWidget;
    body_->setObjectName(QStringLiteral("sheet"));
    auto* column = new QVBoxLayout(body_);
    column->setContentsMargins(6, 4, 6, 6);
    column->setSpacing(2);
    count_ = new QLabel(body_);
    count_->setObjectName(QStringLiteral("count"));
    column->addWidget(count_);

    QGridLayout* grid = nullptr;
    int at = 0;
    std::string type;
    for (size_t i = 0; i < questions.size(); ++i) {
        const TimedQuestion& q = questions[i];
        // A new group whenever the type changes, as the page shows its type blocks.
        if (!grid || q.type != type) {
            type = q.type;
            auto* name = new QLabel(QString::fromStdString(type), body_);
            name->setObjectName(QStringLiteral("type"));
            column->addWidget(name);
            auto* holder = new QWidget(body_);
            grid = new QGridLayout(holder);
            grid->setContentsMargins(0, 0, 0, 0);
            grid->setSpacing(3);
            grid->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            column->addWidget(holder);
            at = 0;
        }
        auto* cell = new QPushButton(QString::number(q.number), body_);
        cell->setFocusPolicy(Qt::NoFocus);
        cell->setProperty("state", QString::fromLatin1(stateName(Cell::Open)));
        cell->setToolTip(QStringLiteral("第 %1 题").arg(q.number));
        const int id = q.id;
        connect(cell, &QPushButton::clicked, this, [this, id] { emit QuestionClicked(id); });
        grid->addWidget(cell, at / kColumns, at % kColumns);
        ++at;
        cells_.push_back(cell);
        indexOf_.emplace(q.id, i);
    }
    column->addStretch(1);
    setWidget(body_);
    updateCount();
}

void TAnswerSheet::setState(size_t index, Cell state) {
    if (states_[index] == state) return;
    states_[index] = state;
    QPushButton* cell = cells_[index];
    cell->setProperty("state", QString::fromLatin1(stateName(state)));
    cell->style()->unpolish(cell);
    cell->style()->polish(cell);
}

void TAnswerSheet::SetAnswered(int id, bool answered) {
    const auto it = indexOf_.find(id);
    if (it == indexOf_.end()) return;
    const Cell before = states_[it->second];
    if (before == Cell::Right || before == Cell::Wrong) return; // graded: the verdict stays
    if ((before == Cell::Answered) == answered) return;
    answered_ += answered ? 1 : -1;
    setState(it->second, answered ? Cell::Answered : Cell::Open);
    updateCount();
}

void TAnswerSheet::SetVerdict(int id, bool right) {
    const auto it = indexOf_.find(id);
    if (it != indexOf_.end()) setState(it->second, right ? Cell::Right : Cell::Wrong);
}

TAnswerSheet::Cell TAnswerSheet::CellState(int id) const {
    const auto it = indexOf_.find(id);
    return it == indexOf_.end() ? Cell::Open : states_[it->second];
}

QPushButton* TAnswerSheet::CellButton(int id) const {
    const auto it = indexOf_.find(id);
    return it == indexOf_.end() ? nullptr : cells_[it->second];
}

void TAnswerSheet::updateCount() {
    count_->setText(QStringLiteral("已答 %1 / %2").arg(answered_).arg(cells_.size()));
}
