#pragma once

#include "bottle.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>

class Database;

// One proposed change of the catalogue: the local record (or a placeholder) and the update's record.
struct DiffEntry
{
    Bottle current;
    Bottle updated;
    bool update = true;
};

// The comparison of an update catalogue with the local one, two rows per entry: current above updated.
class DiffDatabase : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        EanColumn,
        FullNameColumn,
        VolumeColumn,
        FullWeightColumn,
        EmptyWeightColumn,
        CorrectionColumn,
        UpdateColumn,
        ColumnCount
    };

    DiffDatabase(QObject *parent, Database *database, const QColor &currentColor, const QColor &updatedColor);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Rebuilds the entries: new EANs, and known ones whose full weight differs and whose local record was
    // modified strictly before the update's.
    void setUpdate(const QList<Bottle> &update);
    // Takes the ticked entries over into the database: four fields of a known bottle, a whole new row for
    // an unknown EAN. Returns the number of entries applied. The entries stay as they are.
    int applyUpdate();

    QList<DiffEntry> entries;
    Database *database = nullptr;
    QColor currentColor;
    QColor updatedColor;
};
