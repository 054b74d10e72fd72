#pragma once

#include "chain.h"

#include <QAbstractTableModel>

// The bars side by side: a row per month, a column per bar, each cell one figure of that bar's month (the
// takings, the till variance or the pour cost, as chosen).
class ChainModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Figure { Takings, Variance, PourCost };

    using QAbstractTableModel::QAbstractTableModel;

    void setBars(const QList<Chain::Bar> &bars);
    void setFigure(Figure figure);
    Figure figure() const { return shown; }
    const QList<Chain::Figures> &bars() const { return figures; }
    const QList<QDate> &months() const { return monthList; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<Chain::Figures> figures;
    QList<QDate> monthList;
    Figure shown = Takings;
};
