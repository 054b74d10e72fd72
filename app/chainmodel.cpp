#include "chainmodel.h"

#include "settings.h"
#include "shown.h"

#include <QColor>

void ChainModel::setBars(const QList<Chain::Bar> &bars)
{
    beginResetModel();
    figures.clear();
    for (const Chain::Bar &bar : bars)
        figures.append(Chain::figuresOf(bar));
    monthList = Chain::monthsOf(figures);
    endResetModel();
}

void ChainModel::setFigure(Figure figure)
{
    if (figure == shown)
        return;
    shown = figure;
    if (!monthList.isEmpty() && !figures.isEmpty())
        emit dataChanged(index(0, 0), index(monthList.size() - 1, figures.size() - 1));
}

int ChainModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(monthList.size());
}

int ChainModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(figures.size());
}

QVariant ChainModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Chain::Month *month = Chain::find(figures.at(index.column()), monthList.at(index.row()));
    if (role == Qt::TextAlignmentRole)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && month && month->mixedCurrencies)
        return tr("Counts in two currencies this month: not added up.");
    if (role == Qt::ForegroundRole && shown == Variance && month && month->hasVariance && month->variance > 0)
        return QColor(Qt::darkRed);
    if (role != Qt::DisplayRole)
        return {};
    // No count, no till figures, no costs: an empty cell, never a 0 that reads as a figure.
    if (!month)
        return QString();
    switch (shown) {
    case Takings:
        if (month->mixedCurrencies)
            return tr("mixed currencies");
        return QStringLiteral("%1 %2").arg(Shown::fixed(month->takings, 2),
                                           Settings::currencyName(month->currency));
    case Variance:
        if (!month->hasVariance || month->mixedCurrencies)
            return QString();
        return QStringLiteral("%1 %2").arg(Shown::fixed(month->variance, 2),
                                           Settings::currencyName(month->currency));
    case PourCost:
        return month->hasPourCost ? QStringLiteral("%1 %").arg(Shown::fixed(month->pourCost, 1))
                                  : QString();
    }
    return {};
}

QVariant ChainModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < figures.size() ? figures.at(section).bar : QVariant();
    return section >= 0 && section < monthList.size()
               ? monthList.at(section).toString(QStringLiteral("MM/yyyy"))
               : QVariant();
}
