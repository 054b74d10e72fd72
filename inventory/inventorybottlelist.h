#pragma once

#include "printabletablemodel.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QPair>

struct Bottle;
struct InventoryBottle;
class Database;

// Something doubtful about a weighing or a sales row. Pointed out to the user, never acted on: the numbers
// stay exactly what the weighings give.
struct Doubt
{
    enum Kind {
        AboveFull = 0x1,    // heavier than full by more than the tolerance
        BelowEmpty = 0x2,   // lighter than the empty bottle
        AboveVolume = 0x4,  // no longer raised: within the tolerance a residue above the volume is no doubt
        WeighedAgain = 0x8, // the same EAN weighed more than once
        NotWeighed = 0x10,  // held stock at the start but was not weighed now: counts as all sold
        SoldNegative = 0x20 // more left than there was plus what was issued
    };
    Kind kind = AboveFull;
    QString text;
};
using Doubts = QList<Doubt>;

// The kinds in `doubts`, or-ed together.
int doubtKinds(const Doubts &doubts);
// The texts of the doubts whose kind is in `kinds`, one per line.
QString doubtTexts(const Doubts &doubts, int kinds);

// The item data role that gives the or-ed doubt kinds of a row (in every column).
constexpr int DoubtRole = Qt::UserRole + 1;

// One weighed bottle of the overview.
struct OverviewRow
{
    QString ean;
    QString name;       // the catalogue's full name
    qint64 residue = 0; // ml; 0 when the weight could not be turned into a residue
    quint64 volume = 0; // ml
    quint64 weight = 0; // g; 0 for a bottle listed without a weighing
    Doubts doubts;
    qint64 fullWeight = 0;      // g with the catalogue's correction, when `weightChecked`
    bool weightChecked = false; // the weighing was held against the catalogue's full bottle
};

// The overview of one inventory: each weighing turned into the remaining content of its bottle.
class InventoryBottleList : public PrintableTableModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, ResidueColumn, ColumnCount };

    explicit InventoryBottleList(QObject *parent = nullptr);

    void setInventory(QList<InventoryBottle> inventory, Database *database);
    void addBottle(Bottle &bottle, const InventoryBottle *measurement);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Both write whole or not at all; `reason` (optional) learns why a write failed.
    bool saveToCSV(QString fileName, QString *reason = nullptr);
    bool saveToXML(QString fileName, QString *reason = nullptr);
    static bool loadFromXML(QString fileName, QList<InventoryBottle> &inventory);

    // The overview XML document of the current rows.
    QByteArray toXML() const;
    // The overview CSV document of the current rows.
    QByteArray toCSV() const;

    QList<OverviewRow> rows;
    // EANs weighed but missing from the catalogue at the last setInventory, in the order weighed.
    QStringList unknownEans;
    QDateTime time;

    // Grams a weighing may lie above the full bottle before it is doubted (the spread of repeated
    // weighings of one bottle). Taken from the settings for each new list.
    qint64 fullWeightTolerance = 15;
    // Holds every weighing against the full bottle again with a new tolerance; the numbers stay as they are.
    void setFullWeightTolerance(qint64 grams);

private:
    void checkFullWeight(OverviewRow &row) const;
    static QString weighedText(const QString &name, const QString &ean, quint64 weight);
    void markRepeatedWeighings();

    void warn(const QString &title, const QString &text);
    void flushWarnings();

    bool building = false;
    QList<QPair<QString, QString>> pendingWarnings; // title, text
};
