#pragma once

#include "costs.h"

#include <QIdentityProxyModel>

// The catalogue with three more columns, the cost of a full bottle, its par level and its supplier, kept in
// the cost list's own file: the catalogue model, its document and the station never see them.
class CostColumnModel : public QIdentityProxyModel
{
    Q_OBJECT

public:
    // `eanColumn` of the source holds the key of each row; the costs are read from and saved to `path`.
    CostColumnModel(int eanColumn, const QString &path, QObject *parent = nullptr);

    int costColumn() const;
    int parColumn() const { return costColumn() + 1; }
    int supplierColumn() const { return costColumn() + 2; }
    // Reads the cost list again; false with the reason when it cannot be read (the list is then empty and
    // no edit is saved over the file).
    bool reload(QString *reason);
    const CostList &costs() const { return list; }
    // Takes what `imported` holds into the list and saves it; false with the reason when it was not saved.
    bool merge(const CostList &imported, QString *reason);

    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex &idx) const override;
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex buddy(const QModelIndex &index) const override;
    QMap<int, QVariant> itemData(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void inputRefused(const QModelIndex &index, const QString &reason);

private:
    QString keyOf(int row) const;
    bool isAdded(int column) const;

    int eanColumn;
    QString path;
    CostList list;
    bool readable = true;
};

class Inventory;

// The sales table with two more columns, the cost of goods sold and the pour cost of each row, so that a
// drink priced low for what it costs stands out where its takings are. Read-only; every other cell is the
// source's.
class SalesCostModel : public QIdentityProxyModel
{
    Q_OBJECT

public:
    // The rows of the source are those of `inventory`, in the same order.
    explicit SalesCostModel(const Inventory *inventory, QObject *parent = nullptr);

    int costOfGoodsColumn() const;
    int pourCostColumn() const { return costOfGoodsColumn() + 1; }
    void setCosts(const CostList &costs);
    bool hasCosts() const { return !list.entries.isEmpty(); }

    void setSourceModel(QAbstractItemModel *source) override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex &idx) const override;
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QMap<int, QVariant> itemData(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    bool isAdded(int column) const;
    const CostFigures &figures() const;
    void sourceChanged();

    const Inventory *inventory;
    CostList list;
    mutable CostFigures cached;
    mutable bool stale = true;
};
