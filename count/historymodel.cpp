#include "historymodel.h"

#include "settings.h"
#include "shown.h"

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
    if (role == Qt::ForegroundRole && !count.counted())
        return QColor(Qt::gray);
    if (role == Qt::ToolTipRole) {
        const QString name = QFileInfo(count.path).fileName();
        if (count.damaged && !count.problem.isEmpty())
            return QStringLiteral("%1: %2").arg(name, count.problem);
        if (count.replaced())
            return tr("%1: corrected by table No. %2, so left out of the totals and charts.")
                .arg(name, QString::number(count.replacedBy));
        if (count.opening)
            return tr("%1: the first count, which sets the stock; it sells nothing, so it is left out of the "
                      "totals and charts.")
                .arg(name);
        return name;
    }
    if (role != Qt::DisplayRole)
        return QVariant();
    if (count.damaged) {
        if (index.column() != FromColumn)
            return QVariant();
        if (count.unreadable)
            return tr("Cannot be read: %1 (%2)").arg(QFileInfo(count.path).fileName(), count.problem);
        return tr("Damaged: %1").arg(QFileInfo(count.path).fileName());
    }
    if (count.opening && index.column() == FromColumn)
        return tr("Opening count");
    if (count.opening && index.column() != TableColumn && index.column() != FromColumn &&
        index.column() != ToColumn && index.column() != CurrencyColumn)
        return QVariant();
    // No till figures, no variance: an empty cell, never a 0.00 that reads as a perfect till.
    if (!count.hasTill && (index.column() == VarianceColumn || index.column() == VarianceUnitsColumn))
        return QVariant();
    const auto money = [](double value) { return Shown::fixed(value, 2); };
    switch (index.column()) {
    case TableColumn:
        if (count.replaced())
            return tr("%1 (replaced by %2)").arg(count.counter).arg(count.replacedBy);
        return QString::number(count.counter);
    case FromColumn:
        return Shown::dateTime(count.from.toLocalTime(), QStringLiteral("yyyy-MM-dd HH:mm"));
    case ToColumn:
        return Shown::dateTime(count.to.toLocalTime(), QStringLiteral("yyyy-MM-dd HH:mm"));
    case AlcoholColumn:
        return money(count.alcohol);
    case ItemsColumn:
        return money(count.items);
    case TotalColumn:
        return money(count.total());
    case CurrencyColumn:
        return Settings::currencyName(count.currency);
    case VarianceColumn:
        return money(count.till.money);
    case VarianceUnitsColumn:
        return Shown::fixed(count.till.units, 2);
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
    case CurrencyColumn:
        return tr("Currency");
    // On two lines, so that the list keeps room for the charts beside it.
    case VarianceColumn:
        return tr("Till\nVariance");
    case VarianceUnitsColumn:
        return tr("Till Variance\n[sell units]");
    default:
        return QVariant();
    }
}
