#pragma once

#include "printabletablemodel.h"
#include "tillcomparison.h"

// The variance per matched row as a table, shown under the sales table and printed after it.
class TillVarianceModel : public PrintableTableModel
{
    Q_OBJECT

public:
    enum Column {
        NameColumn,
        EanColumn,
        ExpectedColumn,
        TillColumn,
        VarianceColumn,
        UnitsColumn,
        PercentColumn,
        ColumnCount
    };

    using PrintableTableModel::PrintableTableModel;

    void setComparison(const TillComparison &comparison);
    const TillComparison &comparison() const { return shown; }
    // The printout has no lists beside the table: the unmatched till products and rows follow the matched
    // rows, each group under a line naming it.
    void setUnmatchedListed(bool listed);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // "Expected 606.88 CZK, till 670.00 CZK, variance -63.13 CZK (-10.4 %)"
    QString summary() const;

    // Settings::Currency of the count compared, or -1 for the current choice (a count in progress).
    int currency = -1;

private:
    QString unmatchedText(int row, int column) const;

    TillComparison shown;
    bool unmatchedListed = false;
};
