#pragma once

#include "printabletablemodel.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QPair>

struct Bottle;
struct InventoryBottle;
class Database;

// One weighed bottle of the overview.
struct OverviewRow
{
    QString ean;
    QString name;       // the catalogue's full name
    qint64 residue = 0; // ml; 0 when the weight could not be turned into a residue
    quint64 volume = 0; // ml
    quint64 weight = 0; // g; 0 for a bottle listed without a weighing
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

private:
    static QString weighedText(const QString &name, const QString &ean, quint64 weight);
    void warn(const QString &title, const QString &text);
    void flushWarnings();

    bool building = false;
    QList<QPair<QString, QString>> pendingWarnings; // title, text
};
