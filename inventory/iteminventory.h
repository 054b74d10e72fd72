#pragma once

#include "printabletablemodel.h"

#include <QList>

class QTextStream;

// A good sold by the piece. Every number is a count of pieces or money.
struct AppendedItem
{
    QString name;
    double sellUnit = 1.0;
    double pricePerUnit = 0;
    double initialQuantity = 0;
    double fromStock = 0;
    double finalQuantity = 0;
    double soldQuantity = 0;
    double totalAmount = 0;
};

// The appended items: goods counted by the piece beside the weighed bottles.
class ItemInventory : public PrintableTableModel
{
    Q_OBJECT

public:
    enum Column {
        NameColumn,
        SellUnitColumn,
        PriceColumn,
        InitialColumn,
        FromStockColumn,
        FinalColumn,
        SoldColumn,
        SalesColumn,
        ColumnCount
    };

    explicit ItemInventory(QObject *parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void calculate();
    // Continues from the items of a saved table: each one's final quantity is its initial one here.
    void startFrom(const QList<AppendedItem> &older);
    // Shows saved items as they were saved, to be looked at.
    void showSaved(const QList<AppendedItem> &saved);
    bool saveToCSV(QTextStream &out);

    QList<AppendedItem> rows;
    double total = 0;
    // Settings::Currency of the count, or -1 for the current choice (a count in progress).
    int currency = -1;

signals:
    void calculated();

private:
    QString cellText(const AppendedItem &item, int column) const;
};
