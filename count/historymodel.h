#pragma once

#include "chain.h"
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
        CostOfGoodsColumn,   // of the bottles sold; empty when a bottle has no cost or no known volume
        PourCostColumn,      // percent of the alcohol sales
        ColumnCount
    };
    // The number behind a cell of a numeric column, so that the list sorts 9.5 before 10; the text for others.
    static constexpr int SortRole = Qt::UserRole + 1;

    explicit HistoryModel(QObject *parent = nullptr);

    // `costs` (a full bottle's cost per EAN) and `volumes` (ml per EAN) give each count its cost of goods and
    // pour cost; `costsProblem` says why the costs could not be read, shown in their place.
    void setCounts(const QList<History::Count> &counts, const CostList &costs = CostList(),
                   const QHash<QString, quint64> &volumes = {}, const QString &costsProblem = QString());
    const QList<History::Count> &counts() const { return list; }
    // The cost figures of each count, in the order of counts().
    const QList<Chain::CountCost> &costs() const { return costList; }
    // Whether the bar keeps costs at all: without them the list has no cost columns.
    bool hasCosts() const { return anyCost; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVariant costData(const Chain::CountCost &cost, int column, int role) const;

    QList<History::Count> list;
    QList<Chain::CountCost> costList;
    bool anyCost = false;
    QString costsProblem;
};
