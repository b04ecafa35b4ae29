#include "essay/AttemptsDialog.h"

#include "platform/MessageBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace essay {

AttemptsDialog::AttemptsDialog(std::vector<Attempt> attempts, const Task& task, QWidget* parent)
    : QDialog(parent), attempts_(std::move(attempts)) {
    setWindowTitle(QStringLiteral("历次作答"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("%1（%2分）").arg(task.kind).arg(task.marks), this));
    table_ = new QTableWidget(static_cast<int>(attempts_.size()), 4, this);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("开始时间"), QStringLiteral("字数"), QStringLiteral("用时"), QStringLiteral("估分")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < static_cast<int>(attempts_.size()); ++r) {
        const Attempt& a = attempts_[static_cast<size_t>(r)];
        table_->setItem(r, 0, new QTableWidgetItem(a.started));
        table_->setItem(r, 1, new QTableWidgetItem(QString::number(a.count)));
        table_->setItem(
            r, 2, new QTableWidgetItem(QStringLiteral("%1分%2秒").arg(a.seconds / 60).arg(a.seconds % 60)));
        table_->setItem(r, 3,
                        new QTableWidgetItem(a.score ? QStringLiteral("%1 / %2").arg(*a.score).arg(a.marks)
                                                     : QStringLiteral("未提交")));
    }
    table_->resizeColumnsToContents();
    layout->addWidget(table_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* open = buttons->addButton(QStringLiteral("打开"), QDialogButtonBox::AcceptRole);
    QPushButton* side = buttons->addButton(QStringLiteral("对照阅读"), QDialogButtonBox::ActionRole);
    buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(open, &QPushButton::clicked, this, [this] {
        const int r = table_->currentRow();
        if (r < 0) return;
        chosen_ = &attempts_[static_cast<size_t>(r)];
        accept();
    });
    connect(side, &QPushButton::clicked, this, [this] { compare(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(520, 360);
}

void AttemptsDialog::compare() {
    QList<int> rows;
    for (const QModelIndex& i : table_->selectionModel()->selectedRows())
        rows << i.row();
    if (rows.size() != 2) {
        MessageBox(QStringLiteral("请按住 Ctrl 选中两次作答，再点“对照阅读”。"), windowTitle(),
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::sort(rows.begin(), rows.end());
    QDialog side(this);
    side.setWindowTitle(QStringLiteral("对照阅读"));
    auto* layout = new QHBoxLayout(&side);
    for (int r : rows) {
        const Attempt& a = attempts_[static_cast<size_t>(r)];
        auto* column = new QVBoxLayout;
        column->addWidget(
            new QLabel(QStringLiteral("%1　字数 %2　%3")
                           .arg(a.started)
                           .arg(a.count)
                           .arg(a.score ? QStringLiteral("估分 %1").arg(*a.score) : QStringLiteral("未提交")),
                       &side));
        auto* text = new QTextBrowser(&side);
        text->setPlainText(a.text);
        column->addWidget(text);
        layout->addLayout(column);
    }
    side.resize(900, 560);
    side.exec();
}

} // namespace essay
