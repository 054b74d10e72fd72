#include "ordermodel.h"

#include "settings.h"
#include "shown.h"

#include <QFont>

void OrderModel::setOrder(const OrderList &order)
{
    beginResetModel();
    shown = order;
    rows.clear();
    for (int i = 0; i < shown.lines.size(); ++i) {
        if (i == 0 || shown.lines.at(i).supplier != shown.lines.at(i - 1).supplier)
            rows.append({-1, shown.lines.at(i).supplier});
        rows.append({i, shown.lines.at(i).supplier});
    }
    endResetModel();
}

int OrderModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int OrderModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant OrderModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rows.size() || index.column() < 0 ||
        index.column() >= ColumnCount)
        return QVariant();
    const Shown &row = rows.at(index.row());
    if (row.line < 0) {
        if (role == Qt::DisplayRole && index.column() == ItemColumn)
            return row.supplier.isEmpty() ? tr("No supplier") : row.supplier;
        if (role == Qt::FontRole) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return QVariant();
    }
    const OrderList::Line &line = shown.lines.at(row.line);
    if (role == Qt::TextAlignmentRole)
        return int((index.column() >= OnHandColumn ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (index.column()) {
    case ItemColumn:
        return line.name;
    case EanColumn:
        return line.ean;
    case OnHandColumn:
        return ::Shown::fixed(line.onHand, 2);
    case ParColumn:
        return ::Shown::fixed(line.par, 2);
    case OrderColumn:
        return QString::number(line.order);
    case CostColumn:
        return ::Shown::fixed(line.cost, 2);
    default:
        return QVariant();
    }
}

QVariant OrderModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return PrintableTableModel::headerData(section, orientation, role);
    switch (section) {
    case ItemColumn:
        return tr("Item");
    case EanColumn:
        return tr("EAN");
    case OnHandColumn:
        return tr("On Hand\n[bottles]");
    case ParColumn:
        return tr("Par\n[bottles]");
    case OrderColumn:
        return tr("Order\n[bottles]");
    case CostColumn:
        return tr("Cost\n[%1]").arg(Settings::currencyName(currency));
    default:
        return QVariant();
    }
}

QString OrderModel::summary() const
{
    return tr("Order cost %1 %2").arg(::Shown::fixed(shown.cost, 2), Settings::currencyName(currency));
}
