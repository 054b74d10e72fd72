#include "database.h"

#include <QCollator>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr int centred = Qt::AlignHCenter | Qt::AlignVCenter;

// A quantity typed into the editor: false when it is a number outside [min, max] or not a whole one, which
// the editor refuses. Text that is no number at all reads as 0, as it always has.
bool readQuantity(const QVariant &value, qint64 min, qint64 max, qint64 *number)
{
    switch (static_cast<QMetaType::Type>(value.userType())) {
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        *number = qint64(qMin(value.toULongLong(), qulonglong(max) + 1));
        break;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (!(d >= double(min) && d <= double(max)) || d != std::trunc(d))
            return false;
        *number = qint64(d);
        break;
    }
    default: {
        const QString text = value.toString().trimmed();
        bool whole = false;
        *number = text.toLongLong(&whole);
        if (!whole) {
            // A fraction, or a number too long for 64 bits, is still a number, and out of place here.
            bool decimal = false;
            text.toDouble(&decimal);
            if (decimal)
                return false;
            *number = 0;
        }
        break;
    }
    }
    return *number >= min && *number <= max;
}
} // namespace

QString DocumentDamage::toString() const
{
    if (!damaged)
        return QString();
    return QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(reason);
}

Database::Database(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int Database::rowCount(const QModelIndex &parent) const
{
    // A table has no children; answering 0 under a valid parent keeps views from recursing.
    return parent.isValid() ? 0 : bottles.size();
}

int Database::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant Database::data(const QModelIndex &index, int role) const
{
    if (role == Qt::TextAlignmentRole) {
        if (index.column() == DisplayNameColumn || index.column() == FullNameColumn)
            return QVariant();
        return centred;
    }
    if (!index.isValid() || index.model() != this || index.row() >= bottles.size()
        || index.column() >= ColumnCount)
        return QVariant();

    const Bottle &b = bottles.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        switch (index.column()) {
        case EanColumn: return b.ean;
        case DisplayNameColumn: return b.displayName;
        case FullNameColumn: return b.fullName;
        case VolumeColumn: return b.volume;
        case FullWeightColumn: return b.fullWeight;
        case EmptyWeightColumn: return b.emptyWeight;
        case CorrectionColumn: return b.weightCorrection;
        default: return QVariant();
        }
    }
    if (role == Qt::CheckStateRole && index.column() == UseInInventoryColumn)
        return b.useInInventory ? Qt::Checked : Qt::Unchecked;
    return QVariant();
}

bool Database::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole && role != Qt::CheckStateRole)
        return false;
    if (!index.isValid() || index.model() != this || index.row() >= bottles.size())
        return false;

    Bottle &b = bottles[index.row()];
    const auto maxQuantity = qint64(Bottle::maxQuantity);
    qint64 number = 0;
    switch (index.column()) {
    case DisplayNameColumn: b.displayName = value.toString(); break;
    case FullNameColumn: b.fullName = value.toString(); break;
    case VolumeColumn:
        if (!readQuantity(value, 0, maxQuantity, &number))
            return false;
        b.volume = quint64(number);
        break;
    case FullWeightColumn:
        if (!readQuantity(value, 0, maxQuantity, &number))
            return false;
        if (quint64(number) != b.fullWeight)
            b.modified = QDateTime::currentDateTime();
        b.fullWeight = quint64(number);
        break;
    case EmptyWeightColumn:
        if (!readQuantity(value, 0, maxQuantity, &number))
            return false;
        b.emptyWeight = quint64(number);
        break;
    case CorrectionColumn:
        if (!readQuantity(value, -Bottle::maxCorrection, Bottle::maxCorrection, &number))
            return false;
        b.weightCorrection = qint32(number);
        break;
    case UseInInventoryColumn:
        if (role == Qt::CheckStateRole)
            b.useInInventory = value.toBool();
        break;
    default: break;
    }
    emit dataChanged(index, index);
    return true;
}

QVariant Database::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QVariant();
    if (role == Qt::DisplayRole) {
        switch (section) {
        case EanColumn: return tr("EAN");
        case DisplayNameColumn: return tr("Displayed Item Name");
        case FullNameColumn: return tr("Full Item Name");
        case VolumeColumn: return tr("Full Bottle Volume [ml]");
        case FullWeightColumn: return tr("Full Bottle Weight [g]");
        case EmptyWeightColumn: return tr("Empty Bottle Weight [g]");
        case CorrectionColumn: return tr("Weight correction [+/- g]");
        case UseInInventoryColumn: return tr("Use in Inventory");
        default: return QStringLiteral("---");
        }
    }
    if (role == Qt::ToolTipRole) {
        switch (section) {
        case EanColumn: return tr("Click to sort the items by EAN, ascending or descending.");
        case DisplayNameColumn:
        case FullNameColumn: return tr("Click to sort alphabetically, ascending or descending.");
        case CorrectionColumn: return tr("Adds the weight of a pourer or a dispenser.");
        case UseInInventoryColumn:
            return tr("Adds the item to the shown inventory and sales tables. Items read by Quarmel are "
                      "shown anyway.");
        default: return QVariant();
        }
    }
    return QVariant();
}

Qt::ItemFlags Database::flags(const QModelIndex &index) const
{
    switch (index.column()) {
    case EanColumn: return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    case DisplayNameColumn:
    case FullNameColumn:
    case VolumeColumn:
    case FullWeightColumn:
    case EmptyWeightColumn:
    case CorrectionColumn: return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
    case UseInInventoryColumn:
        return locked ? Qt::ItemFlags() : (Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    default: return Qt::ItemFlags();
    }
}

void Database::sort(int column, Qt::SortOrder order)
{
    if (column == EanColumn || column == DisplayNameColumn || column == FullNameColumn
        || column == UseInInventoryColumn) {
        // Keys are computed once; trimming inside the comparison would dominate on large catalogues.
        struct Keyed
        {
            QString text;
            bool flag;
            int row;
        };
        std::vector<Keyed> keys;
        keys.reserve(bottles.size());
        for (int i = 0; i < bottles.size(); ++i) {
            const Bottle &b = bottles.at(i);
            switch (column) {
            case EanColumn: keys.push_back({b.ean, false, i}); break;
            case DisplayNameColumn: keys.push_back({b.displayName.trimmed(), false, i}); break;
            case FullNameColumn: keys.push_back({b.fullName.trimmed(), false, i}); break;
            default: keys.push_back({QString(), b.useInInventory, i}); break;
            }
        }
        const bool ascending = order == Qt::AscendingOrder;
        // Names in the order of the interface's language ("Č" after "C", "Ch" after "H" in Czech); an EAN
        // is a code and sorts by its characters.
        QCollator collator;
        collator.setNumericMode(true);
        const bool byName = column == DisplayNameColumn || column == FullNameColumn;
        std::sort(keys.begin(), keys.end(), [&, column, ascending](const Keyed &a, const Keyed &b) {
            if (column == UseInInventoryColumn)
                return ascending ? (!a.flag && b.flag) : (!b.flag && a.flag);
            if (byName)
                return ascending ? collator.compare(a.text, b.text) < 0 : collator.compare(b.text, a.text) < 0;
            return ascending ? a.text < b.text : b.text < a.text;
        });
        // The rows move, not their contents: a selection or a current index stays on its bottle, so that
        // Delete Item after a sort asks about the bottle the user picked.
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        QList<Bottle> sorted;
        sorted.reserve(bottles.size());
        std::vector<int> newRow(bottles.size());
        for (int i = 0; i < int(keys.size()); ++i) {
            sorted.append(bottles.at(keys[i].row));
            newRow[keys[i].row] = i;
        }
        bottles.swap(sorted);
        invalidateIndex();
        const QModelIndexList before = persistentIndexList();
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex &old : before)
            after.append(index(newRow.at(old.row()), old.column()));
        changePersistentIndexList(before, after);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
}

bool Database::insertBottle(int row, const QString &ean)
{
    row = qBound(0, row, bottles.size());
    Bottle b;
    b.ean = ean;
    if (row == bottles.size()) {
        appendBottle(b);
        return true;
    }
    beginInsertRows(QModelIndex(), row, row);
    bottles.insert(row, b);
    invalidateIndex();
    endInsertRows();
    return true;
}

bool Database::removeBottle(int row)
{
    if (row < 0 || row >= bottles.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row);
    bottles.removeAt(row);
    invalidateIndex();
    endRemoveRows();
    return true;
}

void Database::appendBottle(const Bottle &bottle)
{
    const int row = bottles.size();
    beginInsertRows(QModelIndex(), row, row);
    // An appended row never moves an earlier first match, so the index can follow without a rebuild.
    const bool wasCurrent = indexValid && indexedSize == row;
    bottles.append(bottle);
    if (wasCurrent) {
        if (!eanIndex.contains(bottle.ean))
            eanIndex.insert(bottle.ean, row);
        indexedSize = bottles.size();
    }
    endInsertRows();
}

void Database::setBottles(const QList<Bottle> &list)
{
    beginResetModel();
    bottles = list;
    invalidateIndex();
    endResetModel();
}

void Database::bottleChanged(int row)
{
    if (row < 0 || row >= bottles.size())
        return;
    invalidateIndex();
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

bool Database::takeUpdate(int row, const Bottle &update)
{
    if (row < 0 || row >= bottles.size())
        return false;
    Bottle &bottle = bottles[row];
    bottle.fullWeight = update.fullWeight;
    bottle.emptyWeight = update.emptyWeight;
    bottle.modified = update.modified;
    bottle.inserted = update.inserted;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    return true;
}

void Database::rebuildIndex() const
{
    eanIndex.clear();
    eanIndex.reserve(bottles.size());
    for (int i = bottles.size() - 1; i >= 0; --i)
        eanIndex.insert(bottles.at(i).ean, i); // walking backwards leaves the first row of each EAN
    indexedSize = bottles.size();
    indexValid = true;
}

int Database::rowOfEan(const QString &ean) const
{
    // `bottles` is public, so a change that bypassed this class shows as a size or EAN mismatch.
    if (!indexValid || indexedSize != bottles.size())
        rebuildIndex();
    auto it = eanIndex.constFind(ean);
    if (it == eanIndex.constEnd())
        return -1;
    if (*it >= bottles.size() || bottles.at(*it).ean != ean) {
        rebuildIndex();
        it = eanIndex.constFind(ean);
        return it == eanIndex.constEnd() ? -1 : *it;
    }
    return *it;
}

Bottle *Database::findByEan(const QString &ean)
{
    const int row = rowOfEan(ean);
    return row < 0 ? nullptr : &bottles[row];
}

const Bottle *Database::findByEan(const QString &ean) const
{
    const int row = rowOfEan(ean);
    return row < 0 ? nullptr : &bottles.at(row);
}

QString Database::stationEan(const QString &ean)
{
    if (ean.size() <= 4)
        return ean;
    for (const QChar c : ean) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return ean;
    }
    bool ok = false;
    const quint64 leading = ean.left(ean.size() - 4).toULongLong(&ok);
    if (!ok)
        return ean;
    return QString::number(leading) + ean.right(4);
}

QStringList Database::sameStationEans(const QList<Bottle> &bottles, int limit)
{
    QStringList lines;
    QHash<QString, int> first;
    first.reserve(bottles.size());
    int more = 0;
    for (int row = 0; row < bottles.size(); ++row) {
        const QString &ean = bottles.at(row).ean;
        const auto found = first.constFind(stationEan(ean));
        if (found == first.constEnd()) {
            first.insert(stationEan(ean), row);
            continue;
        }
        if (lines.size() == limit) {
            ++more;
            continue;
        }
        const QString &earlier = bottles.at(*found).ean;
        lines.append(earlier == ean ? tr("rows %1 and %2: EAN %3 twice").arg(*found + 1).arg(row + 1).arg(ean)
                                    : tr("rows %1 and %2: %3 and %4 are one EAN to Quarmel")
                                          .arg(*found + 1)
                                          .arg(row + 1)
                                          .arg(earlier.left(40), ean.left(40)));
    }
    if (more > 0)
        lines.append(tr("... and %1 more rows").arg(more));
    return lines;
}

int Database::checkDigit(const QString &ean)
{
    if (ean.size() < 8 || ean.size() > 14)
        return -1;
    int sum = 0;
    for (int i = ean.size() - 1, weight = 1; i >= 0; --i, weight = 4 - weight) {
        const QChar c = ean.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        if (i < ean.size() - 1)
            sum += c.digitValue() * weight;
    }
    return (10 - sum % 10) % 10;
}

QStringList Database::checkDigitWarnings(const QList<Bottle> &bottles, int limit)
{
    QStringList lines;
    int more = 0;
    for (int row = 0; row < bottles.size(); ++row) {
        const QString &ean = bottles.at(row).ean;
        const int expected = checkDigit(ean);
        if (expected < 0 || expected == ean.back().digitValue())
            continue;
        if (lines.size() == limit) {
            ++more;
            continue;
        }
        lines.append(tr("row %1: the last digit of %2 should be %3 if the other digits are right, so the "
                        "code "
                        "may be mistyped")
                         .arg(row + 1)
                         .arg(ean)
                         .arg(expected));
    }
    if (more > 0)
        lines.append(tr("... and %1 more rows").arg(more));
    return lines;
}
