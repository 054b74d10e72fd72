#include "tillvariancemodel.h"

#include "settings.h"

#include <cmath>

namespace {
QString money(double value)
{
    return QString::number(value, 'f', 2);
}

QString percent(double value)
{
    return std::isnan(value) ? QStringLiteral("-") : QString::number(value, 'f', 1);
}
} // namespace

void TillVarianceModel::setComparison(const TillComparison &comparison)
{
    beginResetModel();
    shown = comparison;
    endResetModel();
}

int TillVarianceModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(shown.rows.size());
}

int TillVarianceModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TillVarianceModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= shown.rows.size())
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return index.column() <= EanColumn ? QVariant() : QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
    if (role != Qt::DisplayRole)
        return QVariant();
    const TillVariance &row = shown.rows.at(index.row());
    switch (index.column()) {
    case NameColumn:
        return row.name;
    case EanColumn:
        return row.ean;
    case ExpectedColumn:
        return money(row.expected);
    case TillColumn:
        return money(row.till);
    case VarianceColumn:
        return money(row.money);
    case UnitsColumn:
        return QString::number(row.units, 'f', 2);
    case PercentColumn:
        return percent(row.percent);
    default:
        return QVariant();
    }
}

QVariant TillVarianceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case NameColumn:
        return tr("Matched Items");
    case EanColumn:
        return tr("EAN");
    case ExpectedColumn:
        return tr("Expected") + Settings::currencyUnit();
    case TillColumn:
        return tr("Till") + Settings::currencyUnit();
    case VarianceColumn:
        return tr("Variance") + Settings::currencyUnit();
    case UnitsColumn:
        return tr("Variance\n[sell units]");
    case PercentColumn:
        return tr("Variance\n[%]");
    default:
        return QVariant();
    }
}

QString TillVarianceModel::summary() const
{
    const QString currency = Settings::currencyName();
    return tr("Expected %1 %4, till %2 %4, variance %3 %4 (%5 %)")
        .arg(money(shown.expected), money(shown.till), money(shown.variance), currency,
             percent(shown.percent));
}
