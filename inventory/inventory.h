#pragma once

#include "inventorybottlelist.h"
#include "printabletablemodel.h"

#include <QDateTime>
#include <QList>

class QTextStream;

// One kind of bottle in the sales table. Quantities in ml, money in the chosen currency.
struct SalesRow
{
    QString ean;
    QString name;
    qint64 sellUnit = 40;
    double pricePerUnit = 0;
    qint64 initialQuantity = 0;
    qint64 fromStock = 0;
    qint64 measuredValue = 0;
    qint64 residualBottlesVolume = 0;
    qint64 finalQuantity = 0;
    qint64 soldQuantity = 0;
    qint64 bottleVolume = 0;
    double totalAmount = 0;
    int weighings = 0; // weighings of this EAN in the overview
    Doubts doubts;     // those of its weighings, then those of its sums
};

// Litres as millilitres, truncated toward zero; the caller keeps the value within the range of qint64.
qint64 millilitresFromLitres(double litres);

// The sales table of one inventory: quantities of the period and the cash that should have been taken.
class Inventory : public PrintableTableModel
{
    Q_OBJECT

public:
    enum Unit { Litres = 0, Pieces = 1 };
    enum Column {
        NameColumn,
        SellUnitColumn,
        PriceColumn,
        InitialColumn,
        FromStockColumn,
        MeasuredColumn,
        BottlesColumn,
        FinalColumn,
        SoldColumn,
        CashInColumn,
        ColumnCount
    };

    explicit Inventory(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void loadFromOverview(const QList<OverviewRow> &overview);
    void carryOver(const QList<SalesRow> &older);
    SalesRow *findRow(const QString &ean);
    void calculate();
    // Continues from a saved table: its number, its period end as this one's start, and per EAN its sell
    // unit, price and final quantity as this one's initial quantity.
    void startFrom(const QList<SalesRow> &older, quint32 number, const QDateTime &start);
    // Shows saved rows as they were saved, to be looked at.
    void showSaved(const QList<SalesRow> &saved);

    quint32 counter = 0;
    QList<SalesRow> rows;
    double total = 0;
    int stockUnit = Litres;
    int finalUnit = Litres;
    QDateTime timeStart = QDateTime::currentDateTime();
    QDateTime timeEnd = timeStart;
    // Settings::Currency of the count, or -1 for the current choice (a count in progress).
    int currency = -1;
    // The first count of a bar: no saved table came before it, so it sets the stock and sells nothing.
    bool opening = false;
    // The number this table was last saved as; saving it again corrects that save.
    quint32 savedAs = 0;
    // Whether a saved table was carried over (or imported): without one every sold quantity of a new bar is
    // negative, which is explained once rather than doubted on every row.
    bool carried = false;
    // Rows of the carried table whose EAN has no row now: their stock is in no sum of this count.
    QList<SalesRow> left;

signals:
    void calculated();

public slots:
    void selectCZK();
    void selectEUR();
    void selectLitresStock();
    void selectLitresFinal();
    void selectPiecesStock();
    void selectPiecesFinal();
    bool saveToCSV(QTextStream &out);

private:
    void doubtSums(SalesRow &row) const;
    QString cellText(const SalesRow &row, int column) const;
    QString editText(const SalesRow &row, int column) const;
};
