#pragma once

#include "costs.h"
#include "history.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The bars of a chain side by side: per bar and calendar month (of the period end) the takings, the till
// variance and the pour cost of the counts whose sales are counted. Months make bars comparable whose
// counts end on different days.
namespace Chain {

// One bar as the store hands it over, with the pour cost of those of its counts that have costs (percent,
// by table number).
struct Bar
{
    QString name;
    QList<History::Count> counts;
    QHash<quint32, double> pourCost;
};

struct Month
{
    QDate month; // the first day of the month
    int currency = -1;
    bool mixedCurrencies = false; // counts in two currencies: never added up, shown as such
    int counts = 0;
    double takings = 0;
    bool hasVariance = false;
    double variance = 0; // money, expected - till
    bool hasPourCost = false;
    double pourCost = 0; // percent of the alcohol sales, weighed by them
};

struct Figures
{
    QString bar;
    QList<Month> months; // in order, only months with a counted count
};

// What the bottles sold in a count cost the bar, from the cost of a full bottle per EAN and the bottle volume
// per EAN. Appended items are not in a count's history, so this is the cost of the alcohol sold, the figure
// its pour cost is of. A bottle sold without a cost or without a volume leaves both unknown, never taken as
// free; a count without alcohol sales has a cost of goods but no pour cost.
struct CountCost
{
    bool hasCostOfGoods = false;
    double costOfGoods = 0; // in the count's currency
    bool hasPourCost = false;
    double pourCost = 0;  // percent of the alcohol sales
    QStringList noCost;   // names of the bottles sold without a cost, sorted
    QStringList noVolume; // names of the bottles sold whose volume is not known, sorted
};

CountCost costOf(const History::Count &count, const CostList &costs, const QHash<QString, quint64> &volumes);

// The pour cost of `count` (percent) as costOf finds it; false when it has none.
bool pourCostOf(const History::Count &count, const CostList &costs, const QHash<QString, quint64> &volumes,
                double *percent);

Figures figuresOf(const Bar &bar);
// Every month any of `bars` has, in order.
QList<QDate> monthsOf(const QList<Figures> &bars);
// The month of `bar` that starts on `month`; null when it has none.
const Month *find(const Figures &bar, const QDate &month);

} // namespace Chain
