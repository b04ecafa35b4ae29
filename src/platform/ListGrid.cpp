#include "platform/ListGrid.h"

#include <QHeaderView>
#include <QRegularExpression>

QTableWidget* NewListGrid(QWidget* parent, const QStringList& headers) {
    auto* g = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    g->setHorizontalHeaderLabels(headers);
    g->verticalHeader()->hide();
    g->verticalHeader()->setDefaultSectionSize(20);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    return g;
}

QString ListText(const std::string& html, int length) {
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QString s = QString::fromStdString(html);
    s.remove(tag);
    return s.simplified().left(length);
}
