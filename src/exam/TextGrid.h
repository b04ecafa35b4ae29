#pragma once
// A read-only grid of text held in one model: a list of 100,000 rows costs
// their strings, not 300,000 items.
#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>
#include <vector>

class TTextGridModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void SetHeaders(const QStringList& headers);
    // Row-major, columnCount() per row; a short last row reads as empty.
    void SetCells(std::vector<QString> cells);
    QString Text(int row, int col) const;
    QString Header(int col) const { return col >= 0 && col < headers_.size() ? headers_[col] : QString(); }
    // Column 0 shows each row's number from 1, whatever its cell holds.
    void SetNumbered(bool numbered) { numbered_ = numbered; }

private:
    QStringList headers_;
    std::vector<QString> cells_;
    bool numbered_ = false;
};

// The grid the list dialogs show: whole rows, addressed as a table widget's are.
class TTextGrid : public QTableView {
public:
    explicit TTextGrid(QWidget* parent = nullptr);
    TTextGridModel& Model() { return model_; }
    const TTextGridModel& Model() const { return model_; }
    int rowCount() const { return model_.rowCount(); }
    int currentRow() const { return currentIndex().row(); }
    void setCurrentCell(int row, int col) { setCurrentIndex(model_.index(row, col)); }

private:
    TTextGridModel model_;
};
