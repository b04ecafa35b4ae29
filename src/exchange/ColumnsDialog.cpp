#include "exchange/ColumnsDialog.h"

#include "platform/MessageBox.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {
const QString kCaption = QStringLiteral("指定各列");
} // namespace

TFrmColumns::TFrmColumns(const std::vector<QStringList>& rows, const exchange::ColumnChoice& choice,
                         QWidget* parent)
    : TDialog(parent) {
    InitForm(kCaption, 720, 360, true);
    header_ = HeaderOf(rows);
    const int columns = static_cast<int>(header_.size());

    auto* hint = new QLabel(QStringLiteral("表格中的列名不是程序认得的名字。请在每列上方选择它是什么，"
                                           "至少要有“题干”；选择会为同样列名的表格记住。"),
                            this);
    hint->setWordWrap(true);
    Grid = new QTableWidget(static_cast<int>(rows.size()) + 1, columns, this);
    Grid->verticalHeader()->hide();
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const QStringList roles = exchange::ColumnRoles();
    for (int c = 0; c < columns; ++c) {
        auto* box = new QComboBox(Grid);
        box->addItems(roles);
        // What it was given before, or what its name tells, or nothing.
        const QString name = header_[c];
        QString role = choice.value(name);
        if (role.isEmpty() && roles.contains(name)) role = name;
        box->setCurrentText(role.isEmpty() ? QStringLiteral("不导入") : role);
        Grid->setCellWidget(0, c, box);
        Roles.push_back(box);
        for (size_t r = 0; r < rows.size(); ++r)
            Grid->setItem(static_cast<int>(r) + 1, c, new QTableWidgetItem(rows[r].value(c).left(60)));
    }
    Grid->setHorizontalHeaderLabels(header_);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(Grid, 1);
    layout->addLayout(buttons);
    AttachButton(ok, mrOk, [this] {
        if (!check()) ModalResult = mrNone;
    });
    AttachButton(cancel, mrCancel);
}

bool TFrmColumns::check() {
    const auto stems = std::count_if(Roles.begin(), Roles.end(),
                                     [](const QComboBox* b) { return b->currentText() == u"题干"; });
    if (stems != 1) {
        MessageBox(QStringLiteral("请指定一列（只能一列）为“题干”。"), kCaption, MB_ICONINFORMATION | MB_OK);
        return false;
    }
    for (size_t c = 0; c < Roles.size(); ++c)
        if (header_[static_cast<qsizetype>(c)].isEmpty() && Roles[c]->currentText() != u"不导入") {
            MessageBox(QStringLiteral("第 %1 列没有列名，不能指定。").arg(c + 1), kCaption,
                       MB_ICONINFORMATION | MB_OK);
            return false;
        }
    return true;
}

exchange::ColumnChoice TFrmColumns::Choice() const {
    exchange::ColumnChoice choice;
    for (size_t c = 0; c < Roles.size(); ++c)
        if (!header_[static_cast<qsizetype>(c)].isEmpty())
            choice.insert(header_[static_cast<qsizetype>(c)], Roles[c]->currentText());
    return choice;
}

QStringList TFrmColumns::HeaderOf(const std::vector<QStringList>& rows) {
    size_t best = 0;
    int most = -1, columns = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int filled = static_cast<int>(std::count_if(
            rows[i].begin(), rows[i].end(), [](const QString& c) { return !c.trimmed().isEmpty(); }));
        if (filled > most) {
            most = filled;
            best = i;
        }
        columns = std::max(columns, static_cast<int>(rows[i].size()));
    }
    QStringList header;
    for (int c = 0; c < columns; ++c)
        header << (best < rows.size() ? exchange::HeaderName(rows[best].value(c)) : QString());
    return header;
}

QString TFrmColumns::ChoiceText(const exchange::ColumnChoice& choice) {
    QStringList pairs;
    for (auto it = choice.begin(); it != choice.end(); ++it)
        if (!it.key().contains(u',') && !it.key().contains(u'=')) pairs << it.value() + u'=' + it.key();
    pairs.sort();
    return pairs.join(u',');
}
