#include "diffdatabase.h"
#include "database.h"

#include <QBrush>

namespace {
constexpr int centred = Qt::AlignHCenter | Qt::AlignVCenter;
const QColor updatedWeightColor(197, 67, 67);

// An unknown modification time never counts as later, and any known time counts as later than an unknown one.
bool isEarlier(const QDateTime &a, const QDateTime &b)
{
    if (!b.isValid())
        return false;
    return !a.isValid() || a < b;
}

Bottle placeholder()
{
    Bottle b;
    b.ean = QStringLiteral("---");
    b.displayName = QStringLiteral("---");
    b.fullName = QStringLiteral("---");
    return b;
}
} // namespace

DiffDatabase::DiffDatabase(QObject *parent, Database *database, const QColor &currentColor,
                           const QColor &updatedColor)
    : QAbstractTableModel(parent)
    , database(database)
    , currentColor(currentColor)
    , updatedColor(updatedColor)
{
}

int DiffDatabase::rowCount(const QModelIndex &parent) const
{
    // A table has no children; answering 0 under a valid parent keeps views from recursing.
    return parent.isValid() ? 0 : entries.size() * 2;
}

int DiffDatabase::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DiffDatabase::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= entries.size() * 2
        || index.column() >= ColumnCount)
        return QVariant();
    const bool updatedRow = index.row() % 2 == 1;
    const DiffEntry &entry = entries.at(index.row() / 2);
    const Bottle &b = updatedRow ? entry.updated : entry.current;

    switch (role) {
    case Qt::TextAlignmentRole:
        return centred;
    case Qt::BackgroundRole:
        return updatedRow ? updatedColor : currentColor;
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (index.column()) {
        case EanColumn: return b.ean;
        case FullNameColumn: return b.fullName;
        case VolumeColumn: return b.volume;
        case FullWeightColumn: return b.fullWeight;
        case EmptyWeightColumn: return b.emptyWeight;
        case CorrectionColumn: return b.weightCorrection;
        default: return QVariant();
        }
    case Qt::ForegroundRole:
        if (updatedRow && index.column() == FullWeightColumn)
            return QBrush(updatedWeightColor);
        return QVariant();
    case Qt::CheckStateRole:
        if (updatedRow && index.column() == UpdateColumn)
            return entry.update ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    default:
        return QVariant();
    }
}

bool DiffDatabase::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole && role != Qt::CheckStateRole)
        return false;
    if (!index.isValid() || index.model() != this || index.row() >= entries.size() * 2)
        return false;
    if (index.column() == UpdateColumn && index.row() % 2 == 1)
        entries[index.row() / 2].update = value.toBool();
    emit dataChanged(index, index);
    return true;
}

QVariant DiffDatabase::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QVariant();
    if (role == Qt::DisplayRole) {
        switch (section) {
        case EanColumn: return tr("EAN");
        case FullNameColumn: return tr("Full Item Name");
        case VolumeColumn: return tr("Full Bottle Volume [ml]");
        case FullWeightColumn: return tr("Full Bottle Weight [g]");
        case EmptyWeightColumn: return tr("Empty Bottle Weight [g]");
        case CorrectionColumn: return tr("Weight correction [+/- g]");
        case UpdateColumn: return tr("Update");
        default: return QStringLiteral("---");
        }
    }
    if (role == Qt::ToolTipRole && section == UpdateColumn)
        return tr("Tick to choose the items to update.");
    return QVariant();
}

Qt::ItemFlags DiffDatabase::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemFlags();
    if (index.column() == UpdateColumn)
        return Qt::ItemIsUserCheckable | Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled;
}

void DiffDatabase::setUpdate(const QList<Bottle> &update)
{
    beginResetModel();
    entries.clear();
    const Bottle absent = placeholder();
    for (const Bottle &u : update) {
        const Bottle *c = database ? static_cast<const Database *>(database)->findByEan(u.ean) : nullptr;
        if (!c) {
            entries.append({absent, u, true});
        } else if (c->fullWeight != u.fullWeight && isEarlier(c->modified, u.modified)) {
            entries.append({*c, u, true});
        }
    }
    endResetModel();
}

int DiffDatabase::applyUpdate()
{
    if (!database)
        return 0;
    int applied = 0;
    for (const DiffEntry &entry : qAsConst(entries)) {
        if (!entry.update)
            continue;
        ++applied;
        const int row = database->rowOfEan(entry.updated.ean);
        if (row < 0) {
            database->appendBottle(entry.updated);
            continue;
        }
        database->takeUpdate(row, entry.updated);
    }
    return applied;
}
