#pragma once

#include "costs.h"
#include "printabletablemodel.h"

// The order list as a table, shown after a count and printed: the lines grouped by supplier, each group under
// a line naming it.
class OrderModel : public PrintableTableModel
{
    Q_OBJECT

public:
    enum Column { ItemColumn, EanColumn, OnHandColumn, ParColumn, OrderColumn, CostColumn, ColumnCount };

    using PrintableTableModel::PrintableTableModel;

    void setOrder(const OrderList &order);
    const OrderList &order() const { return shown; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // "Order cost 595.00 CZK"
    QString summary() const;

    // Settings::Currency of the count the order is for.
    int currency = 0;

private:
    struct Shown
    {
        int line = -1; // into shown.lines; -1 for a supplier's heading
        QString supplier;
    };

    OrderList shown;
    QList<Shown> rows;
};
