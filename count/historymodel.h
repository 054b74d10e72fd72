#pragma once

#include "history.h"
#include "printabletablemodel.h"

// The list of counts on the history page: one row per saved table, oldest first; damaged and unreadable files
// stay listed so that the owner sees them. The opening count and a table a later one corrects are listed as
// such, in grey.
class HistoryModel : public PrintableTableModel
{
    Q_OBJECT

public:
    enum Column {
        TableColumn,
        FromColumn,
        ToColumn,
        AlcoholColumn,
        ItemsColumn,
        TotalColumn,
        CurrencyColumn,
        VarianceColumn,      // the till variance in money; empty for a count saved without till figures
        VarianceUnitsColumn, // in sell units
        ColumnCount
    };

    explicit HistoryModel(QObject *parent = nullptr);

    void setCounts(const QList<History::Count> &counts);
    const QList<History::Count> &counts() const { return list; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<History::Count> list;
};
