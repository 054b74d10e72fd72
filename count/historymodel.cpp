#include "historymodel.h"

#include <QColor>
#include <QFileInfo>

HistoryModel::HistoryModel(QObject *parent) : PrintableTableModel(parent) {}

void HistoryModel::setCounts(const QList<History::Count> &counts)
{
    beginResetModel();
    list = counts;
    endResetModel();
}

int HistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : list.size();
}

int HistoryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= list.size())
        return QVariant();
    const History::Count &count = list.at(index.row());
    if (role == Qt::TextAlignmentRole)
        return index.column() == FromColumn || index.column() == ToColumn ? QVariant() : int(Qt::AlignCenter);
    if (role == Qt::ForegroundRole && count.damaged)
        return QColor(Qt::darkRed);
    if (role == Qt::ToolTipRole)
        return QFileInfo(count.path).fileName();
    if (role != Qt::DisplayRole)
        return QVariant();
    if (count.damaged) {
        if (index.column() == FromColumn)
            return tr("Damaged: %1").arg(QFileInfo(count.path).fileName());
        return QVariant();
    }
    const auto money = [](double value) { return QString::number(value, 'f', 2); };
    switch (index.column()) {
    case TableColumn:
        return QString::number(count.counter);
    case FromColumn:
        return History::shownTime(count.from);
    case ToColumn:
        return History::shownTime(count.to);
    case AlcoholColumn:
        return money(count.alcohol);
    case ItemsColumn:
        return money(count.items);
    case TotalColumn:
        return money(count.total());
    default:
        return QVariant();
    }
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case TableColumn:
        return tr("Table");
    case FromColumn:
        return tr("From");
    case ToColumn:
        return tr("To");
    case AlcoholColumn:
        return tr("Alcohol Sales");
    case ItemsColumn:
        return tr("Other Items");
    case TotalColumn:
        return tr("Total Sales");
    default:
        return QVariant();
    }
}
