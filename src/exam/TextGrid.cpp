#include "exam/TextGrid.h"

int TTextGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || headers_.isEmpty()) return 0;
    return static_cast<int>((cells_.size() + headers_.size() - 1) / headers_.size());
}

int TTextGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QString TTextGridModel::Text(int row, int col) const {
    if (row < 0 || col < 0 || col >= headers_.size() || row >= rowCount()) return {};
    if (numbered_ && col == 0) return QString::number(row + 1);
    const size_t i =
        static_cast<size_t>(row) * static_cast<size_t>(headers_.size()) + static_cast<size_t>(col);
    return i < cells_.size() ? cells_[i] : QString();
}

QVariant TTextGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return Text(index.row(), index.column());
}

QVariant TTextGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return Header(section);
}

Qt::ItemFlags TTextGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

void TTextGridModel::SetHeaders(const QStringList& headers) {
    beginResetModel();
    headers_ = headers;
    endResetModel();
}

// Rows kept, removed and added as a table widget's row count changes them, not
// reset: a reset would drop the column widths and move the current row.
void TTextGridModel::SetCells(std::vector<QString> cells) {
    const size_t cols = static_cast<size_t>(columnCount());
    if (cols == 0) return;
    cells.resize((cells.size() + cols - 1) / cols * cols);
    const int old = rowCount(), now = static_cast<int>(cells.size() / cols);
    if (now < old) {
        beginRemoveRows({}, now, old - 1);
        cells_.resize(cells.size());
        endRemoveRows();
    } else if (now > old) {
        beginInsertRows({}, old, now - 1);
        cells_.resize(cells.size());
        endInsertRows();
    }
    cells_ = std::move(cells);
    if (now > 0) emit dataChanged(index(0, 0), index(now - 1, columnCount() - 1));
}

TTextGrid::TTextGrid(QWidget* parent) : QTableView(parent) {
    setModel(&model_);
}
