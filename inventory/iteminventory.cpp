#include "iteminventory.h"

#include "csvfield.h"
#include "shown.h"
#include "numberinput.h"
#include "settings.h"

#include <QLocale>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace {

double *field(AppendedItem &item, int column)
{
    using C = ItemInventory::Column;
    switch (column) {
    case C::SellUnitColumn:
        return &item.sellUnit;
    case C::PriceColumn:
        return &item.pricePerUnit;
    case C::InitialColumn:
        return &item.initialQuantity;
    case C::FromStockColumn:
        return &item.fromStock;
    case C::FinalColumn:
        return &item.finalQuantity;
    case C::SoldColumn:
        return &item.soldQuantity;
    case C::SalesColumn:
        return &item.totalAmount;
    default:
        return nullptr;
    }
}
} // namespace

ItemInventory::ItemInventory(QObject *parent) : PrintableTableModel(parent) {}

// Any column, including the "---" ones, gets an index, but only for rows that exist: an index past the end
// would let a view or a caller read beyond the list.
QModelIndex ItemInventory::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= rows.size() || column < 0)
        return QModelIndex();
    return createIndex(row, column);
}

int ItemInventory::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows.size();
}

int ItemInventory::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ItemInventory::cellText(const AppendedItem &item, int column) const
{
    if (column == NameColumn)
        return item.name;
    AppendedItem copy = item;
    if (const double *value = field(copy, column))
        return QString::number(*value, 'f', 2);
    return QStringLiteral("---");
}

QVariant ItemInventory::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows.size())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        // A name is shown as typed, even one that looks like a number.
        return index.column() == NameColumn ? rows.at(index.row()).name
                                            : Shown::number(cellText(rows.at(index.row()), index.column()));
    case Qt::EditRole: {
        // Every digit that matters, so that an editor confirmed unchanged gives back the same number.
        AppendedItem copy = rows.at(index.row());
        if (const double *value = field(copy, index.column()))
            return NumberInput::exactText(*value);
        return cellText(copy, index.column());
    }
    case Qt::TextAlignmentRole:
        if (index.column() == NameColumn)
            return QVariant();
        return int(Qt::AlignCenter);
    default:
        return QVariant();
    }
}

bool ItemInventory::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= rows.size())
        return false;
    const QString text = value.toString();
    // Tab or Enter on an editor nobody typed into hands back the editor's own text: that is no edit.
    if (text == data(index, Qt::EditRole).toString())
        return true;
    AppendedItem &item = rows[index.row()];
    if (index.column() == NameColumn) {
        item.name = text;
    } else if (double *target = field(item, index.column())) {
        double number = 0;
        QString reason;
        // Below zero only from stock (pieces sent back); a sell unit of 0 keeps the item out of the takings.
        const bool accepted = index.column() == FromStockColumn ? NumberInput::parseSigned(text, &number, &reason)
                                                                : NumberInput::parse(text, &number, &reason);
        if (!accepted) {
            emit inputRefused(index, reason);
            // The cell keeps its value; callers have always been told true, and the view ignores it.
            return true;
        }
        *target = number;
    } else {
        return false;
    }
    modified = true;
    calculate();
    return true;
}

QVariant ItemInventory::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case NameColumn:
        return tr("Appended Items");
    case SellUnitColumn:
        return tr("Sell\nUnit [pcs]");
    case PriceColumn:
        return tr("Price per\nUnit") + Settings::currencyUnit(currency);
    case InitialColumn:
        return tr("Initial\nQuantity [pcs]");
    case FromStockColumn:
        return tr("From Stock [pcs]");
    case FinalColumn:
        return tr("Final\nQuantity [pcs]");
    case SoldColumn:
        return tr("Sold\nQuantity [pcs]");
    case SalesColumn:
        return tr("Sales") + Settings::currencyUnit(currency);
    default:
        return QStringLiteral("---");
    }
}

bool ItemInventory::insertRows(int row, int count, const QModelIndex &parent)
{
    if (count > 0 && !parent.isValid()) {
        row = std::clamp(row, 0, int(rows.size()));
        beginInsertRows(QModelIndex(), row, row + count - 1);
        for (int i = 0; i < count; ++i)
            rows.insert(row, AppendedItem());
        endInsertRows();
    }
    calculate();
    modified = true;
    return true;
}

bool ItemInventory::removeRows(int row, int count, const QModelIndex &parent)
{
    removeListRows(rows, row, count, parent);
    calculate();
    modified = true;
    return true;
}

Qt::ItemFlags ItemInventory::flags(const QModelIndex &index) const
{
    const int column = index.column();
    if (column >= NameColumn && column <= SoldColumn)
        return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
    if (column == SalesColumn)
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    return Qt::NoItemFlags;
}

void ItemInventory::calculate()
{
    total = 0;
    for (AppendedItem &item : rows) {
        item.soldQuantity = item.initialQuantity + item.fromStock - item.finalQuantity;
        item.totalAmount = item.sellUnit != 0 ? (item.soldQuantity / item.sellUnit) * item.pricePerUnit : 0;
        total += item.totalAmount;
    }
    if (!rows.isEmpty())
        emit dataChanged(index(0, 0), index(rows.size() - 1, ColumnCount - 1));
    emit calculated();
}

void ItemInventory::startFrom(const QList<AppendedItem> &older)
{
    beginResetModel();
    rows.clear();
    // What was left at the end of that period starts this one, and stays its end until edited.
    for (const AppendedItem &old : older) {
        AppendedItem item;
        item.name = old.name;
        item.sellUnit = old.sellUnit;
        item.pricePerUnit = old.pricePerUnit;
        item.initialQuantity = old.finalQuantity;
        item.finalQuantity = old.finalQuantity;
        rows.append(item);
    }
    endResetModel();
}

void ItemInventory::showSaved(const QList<AppendedItem> &saved)
{
    beginResetModel();
    rows = saved;
    total = 0;
    for (const AppendedItem &item : qAsConst(rows))
        total += item.totalAmount;
    endResetModel();
    modified = false;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    emit calculated();
}

bool ItemInventory::saveToCSV(QTextStream &out)
{
    out << '\n';
    for (const AppendedItem &item : qAsConst(rows)) {
        // Only the name is text: "-2.00" in a number column is a number.
        out << csvText(item.name) << ';';
        for (int column = NameColumn + 1; column <= FromStockColumn; ++column)
            out << csvField(cellText(item, column)) << ';';
        // Two empty fields put the final and sold quantities and the sales under the sales table's Final
        // Quantity, Sold Quantity and Cash In.
        out << ";;";
        for (int column = FinalColumn; column <= SalesColumn; ++column)
            out << csvField(cellText(item, column)) << ';';
        out << '\n';
    }
    return true;
}
