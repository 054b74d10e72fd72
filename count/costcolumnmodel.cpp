#include "costcolumnmodel.h"

#include "inventory.h"
#include "iteminventory.h"
#include "numberinput.h"
#include "shown.h"

#include <QColor>

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcCostColumnModel, "costcolumnmodel")

CostColumnModel::CostColumnModel(int eanColumn, const QString &path, QObject *parent)
    : QIdentityProxyModel(parent), eanColumn(eanColumn), path(path)
{
    QString reason;
    if (!reload(&reason))
        qCWarning(lcCostColumnModel) << "Costs not read:" << path << reason;
}

int CostColumnModel::costColumn() const
{
    return sourceModel() ? sourceModel()->columnCount() : 0;
}

bool CostColumnModel::reload(QString *reason)
{
    CostList read;
    readable = read.load(path, reason);
    list = readable ? read : CostList();
    const int rows = rowCount();
    if (rows > 0)
        emit dataChanged(index(0, costColumn()), index(rows - 1, supplierColumn()));
    return readable;
}

bool CostColumnModel::merge(const CostList &imported, QString *reason)
{
    if (!readable) {
        *reason = tr("The cost list in the data folder cannot be read, so it is not replaced.");
        return false;
    }
    CostList merged = list;
    merged.merge(imported);
    if (!merged.save(path, reason))
        return false;
    list = merged;
    const int rows = rowCount();
    if (rows > 0)
        emit dataChanged(index(0, costColumn()), index(rows - 1, supplierColumn()));
    return true;
}

int CostColumnModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !sourceModel())
        return 0;
    return sourceModel()->columnCount() + 3;
}

bool CostColumnModel::isAdded(int column) const
{
    return sourceModel() && column >= costColumn() && column <= supplierColumn();
}

QModelIndex CostColumnModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!parent.isValid() && isAdded(column)) {
        if (row < 0 || row >= rowCount())
            return QModelIndex();
        return createIndex(row, column);
    }
    return QIdentityProxyModel::index(row, column, parent);
}

QModelIndex CostColumnModel::parent(const QModelIndex &child) const
{
    if (child.isValid() && isAdded(child.column()))
        return QModelIndex();
    return QIdentityProxyModel::parent(child);
}

QModelIndex CostColumnModel::sibling(int row, int column, const QModelIndex &idx) const
{
    return idx.isValid() ? index(row, column, parent(idx)) : QModelIndex();
}

QModelIndex CostColumnModel::mapToSource(const QModelIndex &proxyIndex) const
{
    // The cost belongs to the bottle: when the catalogue is sorted, a current cost cell follows its bottle
    // (to the bottle's EAN cell) rather than being dropped.
    if (proxyIndex.isValid() && isAdded(proxyIndex.column()))
        return sourceModel()->index(proxyIndex.row(), eanColumn);
    return QIdentityProxyModel::mapToSource(proxyIndex);
}

QModelIndex CostColumnModel::buddy(const QModelIndex &index) const
{
    if (index.isValid() && isAdded(index.column()))
        return index;
    return QIdentityProxyModel::buddy(index);
}

QMap<int, QVariant> CostColumnModel::itemData(const QModelIndex &index) const
{
    if (index.isValid() && isAdded(index.column()))
        return QAbstractItemModel::itemData(index);
    return QIdentityProxyModel::itemData(index);
}

QString CostColumnModel::keyOf(int row) const
{
    return sourceModel()->index(row, eanColumn).data(Qt::EditRole).toString().trimmed();
}

QVariant CostColumnModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !isAdded(index.column()))
        return QIdentityProxyModel::data(index, role);
    if (index.row() >= rowCount())
        return QVariant();
    const Cost *cost = list.find(keyOf(index.row()));
    if (index.column() == supplierColumn()) {
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return cost ? cost->supplier : QString();
        return QVariant();
    }
    const bool par = index.column() == parColumn();
    switch (role) {
    case Qt::DisplayRole:
        if (!cost || (par && !cost->hasPar))
            return QString();
        return par ? Shown::number(NumberInput::exactText(cost->par)) : Shown::fixed(cost->cost, 2);
    case Qt::EditRole:
        if (!cost || (par && !cost->hasPar))
            return QString();
        return NumberInput::exactText(par ? cost->par : cost->cost);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

bool CostColumnModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || !isAdded(index.column()))
        return QIdentityProxyModel::setData(index, value, role);
    if (role != Qt::EditRole || index.row() >= rowCount())
        return false;
    const QString key = keyOf(index.row());
    QString reason;
    if (key.isEmpty())
        reason = tr("The bottle has no EAN to keep its cost under.");
    else if (!readable)
        reason = tr("The cost list in the data folder cannot be read, so it is not replaced.");
    CostList edited = list;
    const auto set = [&] {
        if (index.column() == parColumn())
            return edited.setParText(key, value.toString(), &reason);
        if (index.column() == supplierColumn())
            return edited.setSupplierText(key, value.toString(), &reason);
        return edited.setCostText(key, value.toString(), &reason);
    };
    if (reason.isEmpty() && set() && edited.save(path, &reason)) {
        list = edited;
        // An emptied cost takes the par level and supplier with it.
        emit dataChanged(this->index(index.row(), costColumn()), this->index(index.row(), supplierColumn()));
        return true;
    }
    emit inputRefused(index, reason);
    return false;
}

QVariant CostColumnModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == costColumn()) {
        if (role == Qt::DisplayRole)
            return tr("Cost per\nBottle");
        if (role == Qt::ToolTipRole)
            return tr("What one full bottle costs the bar, in the currency of the count. Kept apart from the "
                      "catalogue; an empty cell has no cost.");
        return QVariant();
    }
    if (orientation == Qt::Horizontal && section == parColumn()) {
        if (role == Qt::DisplayRole)
            return tr("Par\n[bottles]");
        if (role == Qt::ToolTipRole)
            return tr("Bottles to have at the bar after a delivery; the order list buys up to it. Kept with "
                      "the cost.");
        return QVariant();
    }
    if (orientation == Qt::Horizontal && section == supplierColumn()) {
        if (role == Qt::DisplayRole)
            return tr("Supplier");
        if (role == Qt::ToolTipRole)
            return tr("Who delivers the bottle; the order list is grouped by it. Kept with the cost.");
        return QVariant();
    }
    return QIdentityProxyModel::headerData(section, orientation, role);
}

Qt::ItemFlags CostColumnModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || !isAdded(index.column()))
        return QIdentityProxyModel::flags(index);
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

SalesCostModel::SalesCostModel(const Inventory *inventory, QObject *parent)
    : QIdentityProxyModel(parent), inventory(inventory)
{
}

void SalesCostModel::setSourceModel(QAbstractItemModel *source)
{
    if (sourceModel())
        disconnect(sourceModel(), nullptr, this, nullptr);
    QIdentityProxyModel::setSourceModel(source);
    stale = true;
    if (!source)
        return;
    // Any change of the table may change what a row sold; the figures are worked out again when next shown.
    connect(source, &QAbstractItemModel::dataChanged, this, &SalesCostModel::sourceChanged);
    connect(source, &QAbstractItemModel::modelReset, this, &SalesCostModel::sourceChanged);
    connect(source, &QAbstractItemModel::layoutChanged, this, &SalesCostModel::sourceChanged);
    connect(source, &QAbstractItemModel::rowsInserted, this, &SalesCostModel::sourceChanged);
    connect(source, &QAbstractItemModel::rowsRemoved, this, &SalesCostModel::sourceChanged);
}

void SalesCostModel::sourceChanged()
{
    stale = true;
    const int rows = rowCount();
    if (rows > 0)
        emit dataChanged(index(0, costOfGoodsColumn()), index(rows - 1, pourCostColumn()));
}

void SalesCostModel::setCosts(const CostList &costs)
{
    list = costs;
    sourceChanged();
}

const CostFigures &SalesCostModel::figures() const
{
    if (stale) {
        cached = CostFigures::of(*inventory, ItemInventory(), list);
        stale = false;
    }
    return cached;
}

int SalesCostModel::costOfGoodsColumn() const
{
    return sourceModel() ? sourceModel()->columnCount() : 0;
}

bool SalesCostModel::isAdded(int column) const
{
    return sourceModel() && column >= costOfGoodsColumn() && column <= pourCostColumn();
}

int SalesCostModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !sourceModel())
        return 0;
    return sourceModel()->columnCount() + 2;
}

QModelIndex SalesCostModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!parent.isValid() && isAdded(column)) {
        if (row < 0 || row >= rowCount())
            return QModelIndex();
        return createIndex(row, column);
    }
    return QIdentityProxyModel::index(row, column, parent);
}

QModelIndex SalesCostModel::parent(const QModelIndex &child) const
{
    if (child.isValid() && isAdded(child.column()))
        return QModelIndex();
    return QIdentityProxyModel::parent(child);
}

QModelIndex SalesCostModel::sibling(int row, int column, const QModelIndex &idx) const
{
    return idx.isValid() ? index(row, column, parent(idx)) : QModelIndex();
}

QModelIndex SalesCostModel::mapToSource(const QModelIndex &proxyIndex) const
{
    // A selection of whole rows maps to the row's name, so that Delete Item finds the rows it names.
    if (proxyIndex.isValid() && isAdded(proxyIndex.column()))
        return sourceModel()->index(proxyIndex.row(), Inventory::NameColumn);
    return QIdentityProxyModel::mapToSource(proxyIndex);
}

QMap<int, QVariant> SalesCostModel::itemData(const QModelIndex &index) const
{
    if (index.isValid() && isAdded(index.column()))
        return QAbstractItemModel::itemData(index);
    return QIdentityProxyModel::itemData(index);
}

QVariant SalesCostModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !isAdded(index.column()))
        return QIdentityProxyModel::data(index, role);
    const CostFigures &all = figures();
    if (index.row() >= all.bottles.size() || index.row() >= inventory->rows.size())
        return QVariant();
    const CostFigures::Row &row = all.bottles.at(index.row());
    const SalesRow &sales = inventory->rows.at(index.row());
    const bool counted = sales.soldQuantity != 0 || sales.finalQuantity != 0;
    const bool pour = index.column() == pourCostColumn();
    switch (role) {
    case Qt::DisplayRole:
        if (!row.hasCost)
            return counted && !pour ? tr("no cost") : QString();
        if (pour)
            return row.hasPourCost ? Shown::fixed(row.pourCost, 1) + QStringLiteral(" %") : QString();
        return Shown::fixed(row.costOfGoods, 2);
    case Qt::ToolTipRole:
        if (!row.hasCost && counted)
            return tr("No cost is typed for this bottle on the catalogue page, so it is in none of the cost "
                      "figures.");
        return QVariant();
    case Qt::ForegroundRole:
        // A row above the table's own pour cost by half again is a price worth a look.
        if (pour && row.hasPourCost && all.hasPourCost && row.pourCost > all.pourCost * 1.5)
            return QColor(Qt::darkRed);
        if (!row.hasCost)
            return QColor(Qt::darkGray);
        return QVariant();
    case Qt::TextAlignmentRole:
        return int(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

bool SalesCostModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (index.isValid() && isAdded(index.column()))
        return false;
    return QIdentityProxyModel::setData(index, value, role);
}

QVariant SalesCostModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || !isAdded(section))
        return QIdentityProxyModel::headerData(section, orientation, role);
    const bool pour = section == pourCostColumn();
    if (role == Qt::DisplayRole)
        return pour ? tr("Pour\nCost") : tr("Cost of\nGoods Sold");
    if (role == Qt::ToolTipRole)
        return pour ? tr("Cost of goods sold of the row per its cash in. Far above the table's pour cost, in "
                         "red, the drink is priced low for what it costs.")
                    : tr("Sold quantity / bottle volume × cost per bottle.");
    return QVariant();
}

Qt::ItemFlags SalesCostModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || !isAdded(index.column()))
        return QIdentityProxyModel::flags(index);
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}
