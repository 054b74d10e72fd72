#include "tillvariancemodel.h"

#include "settings.h"
#include "shown.h"

#include <cmath>

namespace {
QString money(double value)
{
    return Shown::fixed(value, 2);
}

QString percent(double value)
{
    return std::isnan(value) ? QStringLiteral("-") : Shown::fixed(value, 1);
}
} // namespace

void TillVarianceModel::setComparison(const TillComparison &comparison)
{
    beginResetModel();
    shown = comparison;
    endResetModel();
}

void TillVarianceModel::setUnmatchedListed(bool listed)
{
    beginResetModel();
    unmatchedListed = listed;
    endResetModel();
}

int TillVarianceModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    int rows = int(shown.rows.size());
    if (unmatchedListed) {
        const auto group = [](int size) { return size > 0 ? size + 1 : 0; };
        rows += group(int(shown.unmatchedTill.size())) + group(int(shown.unmatchedRows.size()));
    }
    return rows;
}

QString TillVarianceModel::unmatchedText(int row, int column) const
{
    row -= int(shown.rows.size());
    if (!shown.unmatchedTill.isEmpty()) {
        if (row == 0)
            return column == NameColumn ? tr("Till products not matched:") : QString();
        if (row <= shown.unmatchedTill.size()) {
            const TillLine &line = shown.unmatchedTill.at(row - 1);
            switch (column) {
            case NameColumn:
                return line.name.isEmpty() ? line.code : line.name;
            case EanColumn:
                return line.name.isEmpty() ? QString() : line.code;
            case TillColumn:
                return money(line.amount);
            default:
                return QString();
            }
        }
        row -= int(shown.unmatchedTill.size()) + 1;
    }
    if (column != NameColumn || row < 0 || row > shown.unmatchedRows.size())
        return QString();
    return row == 0 ? tr("Sold but not in the till:") : shown.unmatchedRows.at(row - 1);
}

int TillVarianceModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TillVarianceModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount() || index.column() < 0 ||
        index.column() >= ColumnCount)
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return index.column() <= EanColumn ? QVariant() : QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
    if (role != Qt::DisplayRole)
        return QVariant();
    if (index.row() >= shown.rows.size())
        return unmatchedText(index.row(), index.column());
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
        return Shown::fixed(row.units, 2);
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
        return tr("Expected") + Settings::currencyUnit(currency);
    case TillColumn:
        return tr("Till") + Settings::currencyUnit(currency);
    case VarianceColumn:
        return tr("Variance") + Settings::currencyUnit(currency);
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
    const QString name = Settings::currencyName(currency);
    // Nothing expected gives no share to state.
    if (std::isnan(shown.percent))
        return tr("Expected %1 %4, till %2 %4, variance %3 %4")
            .arg(money(shown.expected), money(shown.till), money(shown.variance), name);
    return tr("Expected %1 %4, till %2 %4, variance %3 %4 (%5 %)")
        .arg(money(shown.expected), money(shown.till), money(shown.variance), name, percent(shown.percent));
}
