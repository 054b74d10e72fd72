#pragma once

#include "printabletablemodel.h"

#include <QList>

class QTextStream;
class QXmlStreamWriter;

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
    bool load(QString fileName);
    // Takes the appended items of a saved table as they were saved, to be looked at.
    bool openSaved(const QString &fileName);
    bool writeXML(QXmlStreamWriter &writer);
    bool saveToCSV(QTextStream &out);

    QList<AppendedItem> rows;
    double total = 0;

signals:
    void calculated();

private:
    QString cellText(const AppendedItem &item, int column) const;
};
