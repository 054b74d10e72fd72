#include "historymodel.h"

#include "settings.h"
#include "shown.h"

#include <QColor>
#include <QFileInfo>

HistoryModel::HistoryModel(QObject *parent) : PrintableTableModel(parent) {}

void HistoryModel::setCounts(const QList<History::Count> &counts, const CostList &costs,
                             const QHash<QString, quint64> &volumes, const QString &problem)
{
    beginResetModel();
    list = counts;
    costList.clear();
    costList.reserve(counts.size());
    for (const History::Count &count : counts)
        costList.append(Chain::costOf(count, costs, volumes));
    anyCost = !costs.entries.isEmpty() || !problem.isEmpty();
    costsProblem = problem;
    endResetModel();
}

// An empty cell always says why in its tooltip: a missing figure must never pass for a low one.
QVariant HistoryModel::costData(const Chain::CountCost &cost, int column, int role) const
{
    const bool known = column == CostOfGoodsColumn ? cost.hasCostOfGoods : cost.hasPourCost;
    if (role == Qt::DisplayRole) {
        if (!known || !costsProblem.isEmpty())
            return QVariant();
        return column == CostOfGoodsColumn ? Shown::fixed(cost.costOfGoods, 2)
                                           : QStringLiteral("%1 %").arg(Shown::fixed(cost.pourCost, 2));
    }
    if (role == SortRole) {
        if (!known || !costsProblem.isEmpty())
            return QVariant();
        return column == CostOfGoodsColumn ? cost.costOfGoods : cost.pourCost;
    }
    if (role != Qt::ToolTipRole)
        return QVariant();
    if (!costsProblem.isEmpty())
        return tr("The costs could not be read: %1").arg(costsProblem);
    QStringList why;
    if (!cost.noCost.isEmpty())
        why.append(tr("No cost for: %1.").arg(cost.noCost.join(QStringLiteral(", "))));
    if (!cost.noVolume.isEmpty())
        why.append(tr("Bottle volume not known (not in the catalogue): %1.")
                       .arg(cost.noVolume.join(QStringLiteral(", "))));
    if (!why.isEmpty())
        return tr("Not worked out, as a bottle without a cost is never taken as free. %1")
            .arg(why.join(QLatin1Char(' ')));
    if (column == PourCostColumn && !cost.hasPourCost)
        return tr("No alcohol sales in this period, so no pour cost.");
    return tr("The bottles sold, valued at today's costs; the pour cost is this cost of goods as a share of the "
              "alcohol sales.");
}

int HistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : list.size();
}

int HistoryModel::columnCount(const QModelIndex &parent) const
{
    // A bar that keeps no costs gets no cost columns, on the screen and on paper, as on the sales page.
    return parent.isValid() ? 0 : anyCost ? ColumnCount : CostOfGoodsColumn;
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
    const bool costColumn = index.column() == CostOfGoodsColumn || index.column() == PourCostColumn;
    if (costColumn && count.counted() && (role == Qt::ToolTipRole || role == SortRole))
        return costData(costList.value(index.row()), index.column(), role);
    if (role == SortRole) {
        switch (index.column()) {
        case TableColumn:
            return count.counter;
        case FromColumn:
            return count.from;
        case ToColumn:
            return count.to;
        case AlcoholColumn:
            return count.damaged || count.opening ? QVariant() : QVariant(count.alcohol);
        case ItemsColumn:
            return count.damaged || count.opening ? QVariant() : QVariant(count.items);
        case TotalColumn:
            return count.damaged || count.opening ? QVariant() : QVariant(count.total());
        case VarianceColumn:
            return count.damaged || count.opening || !count.hasTill ? QVariant() : QVariant(count.till.money);
        case VarianceUnitsColumn:
            return count.damaged || count.opening || !count.hasTill ? QVariant() : QVariant(count.till.units);
        default:
            return data(index, Qt::DisplayRole);
        }
    }
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
    case CostOfGoodsColumn:
    case PourCostColumn:
        // A corrected table is listed in grey without figures, as it is left out of every sum.
        return count.counted() ? costData(costList.value(index.row()), index.column(), role) : QVariant();
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
    case CostOfGoodsColumn:
        return tr("Cost of\nGoods");
    case PourCostColumn:
        return tr("Pour\nCost");
    default:
        return QVariant();
    }
}
