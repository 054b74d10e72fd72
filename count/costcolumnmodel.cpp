#include "costcolumnmodel.h"

#include "numberinput.h"
#include "shown.h"

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
        emit dataChanged(index(0, costColumn()), index(rows - 1, costColumn()));
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
        emit dataChanged(index(0, costColumn()), index(rows - 1, costColumn()));
    return true;
}

int CostColumnModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !sourceModel())
        return 0;
    return sourceModel()->columnCount() + 1;
}

QModelIndex CostColumnModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!parent.isValid() && sourceModel() && column == costColumn()) {
        if (row < 0 || row >= rowCount())
            return QModelIndex();
        return createIndex(row, column);
    }
    return QIdentityProxyModel::index(row, column, parent);
}

QModelIndex CostColumnModel::parent(const QModelIndex &child) const
{
    if (child.isValid() && child.column() == costColumn())
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
    if (proxyIndex.isValid() && proxyIndex.column() == costColumn())
        return sourceModel()->index(proxyIndex.row(), eanColumn);
    return QIdentityProxyModel::mapToSource(proxyIndex);
}

QModelIndex CostColumnModel::buddy(const QModelIndex &index) const
{
    if (index.isValid() && index.column() == costColumn())
        return index;
    return QIdentityProxyModel::buddy(index);
}

QMap<int, QVariant> CostColumnModel::itemData(const QModelIndex &index) const
{
    if (index.isValid() && index.column() == costColumn())
        return QAbstractItemModel::itemData(index);
    return QIdentityProxyModel::itemData(index);
}

QString CostColumnModel::keyOf(int row) const
{
    return sourceModel()->index(row, eanColumn).data(Qt::EditRole).toString().trimmed();
}

QVariant CostColumnModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() != costColumn())
        return QIdentityProxyModel::data(index, role);
    if (index.row() >= rowCount())
        return QVariant();
    const Cost *cost = list.find(keyOf(index.row()));
    switch (role) {
    case Qt::DisplayRole:
        return cost ? Shown::fixed(cost->cost, 2) : QString();
    case Qt::EditRole:
        return cost ? NumberInput::exactText(cost->cost) : QString();
    case Qt::TextAlignmentRole:
        return int(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

bool CostColumnModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != costColumn())
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
    if (reason.isEmpty() && edited.setCostText(key, value.toString(), &reason) &&
        edited.save(path, &reason)) {
        list = edited;
        emit dataChanged(index, index);
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
    return QIdentityProxyModel::headerData(section, orientation, role);
}

Qt::ItemFlags CostColumnModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || index.column() != costColumn())
        return QIdentityProxyModel::flags(index);
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}
