#include "review/NotebookDialog.h"

#include "platform/ListGrid.h"
#include "platform/MessageBox.h"
#include "review/ReviewCards.h"
#include "store/DataModule.h"

#include <QDateTime>
#include <QHeaderView>

namespace {
constexpr int kListed = 1000;

QTableWidgetItem* cell(const QString& text, bool number = false) {
    auto* item = new QTableWidgetItem(text);
    if (number) item->setTextAlignment(Qt::AlignCenter);
    return item;
}
} // namespace

TFrmCTFX::TFrmCTFX(QWidget* parent) : TDialog(parent) {
    InitForm(QStringLiteral("错题复习"), 720, 520);
    Label1 = new QLabel(this);
    Label1->setGeometry(8, 6, 704, 22);
    StringGrid1 =
        NewListGrid(this, {QStringLiteral("题型"), QStringLiteral("科目"), QStringLiteral("今天到期"),
                           QStringLiteral("逾期"), QStringLiteral("学习中"), QStringLiteral("已掌握"),
                           QStringLiteral("合计")});
    StringGrid1->setGeometry(8, 32, 704, 150);
    StringGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    StringGrid1->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    StringGrid1->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    StringGrid2 = NewListGrid(this, {QStringLiteral("题目"), QStringLiteral("题型"), QStringLiteral("科目"),
                                     QStringLiteral("到期时间"), QStringLiteral("遗忘次数")});
    StringGrid2->setGeometry(8, 190, 704, 286);
    StringGrid2->setColumnWidth(0, 250);
    StringGrid2->setColumnWidth(1, 100);
    StringGrid2->setColumnWidth(2, 110);
    StringGrid2->setColumnWidth(3, 140);
    StringGrid2->horizontalHeader()->setStretchLastSection(true);

    auto* label = new QLabel(QStringLiteral("每次复习最多"), this);
    label->setGeometry(8, 488, 96, 22);
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setGeometry(104, 486, 64, 24);
    SpinEdit1->setRange(1, 1000);
    SpinEdit1->setSuffix(QStringLiteral(" 题"));
    BitBtn1 = new QPushButton(QStringLiteral("开始复习"), this);
    BitBtn1->setGeometry(410, 486, 100, 25);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("移出错题本"), this);
    BitBtn2->setGeometry(516, 486, 100, 25);
    BitBtn3 = new QPushButton(QStringLiteral("关闭"), this);
    BitBtn3->setGeometry(622, 486, 90, 25);
    AttachButton(BitBtn1, mrOk, [this] { BitBtn1Click(); });
    AttachButton(BitBtn2, mrNone, [this] { BitBtn2Click(); });
    AttachButton(BitBtn3, mrClose);
    FormCreate();
}

void TFrmCTFX::FormCreate() {
    AdoConnection& connection = DataModule1->ADOConnection1;
    SpinEdit1->setValue(review::DailyLimit(connection));
    // A list of a hundred thousand rows helps no one and takes seconds to fill.
    cards_ = review::ReadNotebook(connection, kListed);
    const auto counts = review::CountStandings(connection, review::NowDays());
    StringGrid1->setRowCount(static_cast<int>(counts.size()));
    review::StandingCounts all;
    for (int r = 0; r < static_cast<int>(counts.size()); ++r) {
        const auto& c = counts[static_cast<size_t>(r)];
        StringGrid1->setItem(r, 0, cell(QString::fromStdString(c.type)));
        StringGrid1->setItem(r, 1, cell(QString::fromStdString(c.subject)));
        int col = 2;
        for (int n : {c.due, c.overdue, c.learning, c.mastered, c.total})
            StringGrid1->setItem(r, col++, cell(QString::number(n), true));
        all.due += c.due;
        all.overdue += c.overdue;
        all.learning += c.learning;
        all.mastered += c.mastered;
        all.total += c.total;
    }
    Label1->setText(
        all.total == 0
            ? QStringLiteral("错题本是空的：批阅试卷时答错的题目会自动记入这里，并按遗忘规律安排复习。")
            : QStringLiteral("今天到期 %1 题，逾期 %2 题，学习中 %3 题，已掌握 %4 题，共 %5 题。")
                      .arg(all.due)
                      .arg(all.overdue)
                      .arg(all.learning)
                      .arg(all.mastered)
                      .arg(all.total) +
                  (all.total > kListed ? QStringLiteral("下表列出最早到期的 %1 题。").arg(kListed)
                                       : QString()));

    StringGrid2->setRowCount(static_cast<int>(cards_.size()));
    for (int r = 0; r < static_cast<int>(cards_.size()); ++r) {
        const auto& c = cards_[static_cast<size_t>(r)];
        StringGrid2->setItem(r, 0, cell(ListText(c.text)));
        StringGrid2->setItem(r, 1, cell(QString::fromStdString(c.type)));
        StringGrid2->setItem(r, 2, cell(QString::fromStdString(c.subject)));
        StringGrid2->setItem(r, 3, cell(QString::fromStdString(c.due).left(16)));
        StringGrid2->setItem(r, 4, cell(QString::number(c.lapses), true));
    }
    if (!cards_.empty()) StringGrid2->selectRow(0);
    BitBtn2->setEnabled(!cards_.empty());
}

void TFrmCTFX::BitBtn1Click() {
    AdoConnection& connection = DataModule1->ADOConnection1;
    if (SpinEdit1->value() != review::DailyLimit(connection))
        review::SetDailyLimit(connection, SpinEdit1->value());
    std::vector<int> ids = review::DueQueue(connection, review::NowDays(), SpinEdit1->value());
    if (ids.empty()) {
        ModalResult = mrNone;
        MessageBox(QStringLiteral("今天没有需要复习的错题。"), QStringLiteral("错题复习"),
                   MB_ICONINFORMATION | MB_OK);
        return;
    }
    Questions = std::move(ids);
}

void TFrmCTFX::BitBtn2Click() {
    const int row = StringGrid2->currentRow();
    if (row < 0 || row >= static_cast<int>(cards_.size())) return;
    if (MessageBox(QStringLiteral("将这道题移出错题本？它的复习记录仍然保留。"), QStringLiteral("移出错题本"),
                   MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    review::RemoveCard(DataModule1->ADOConnection1, cards_[static_cast<size_t>(row)].id);
    FormCreate();
}
