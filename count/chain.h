#pragma once

#include "history.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

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

Figures figuresOf(const Bar &bar);
// Every month any of `bars` has, in order.
QList<QDate> monthsOf(const QList<Figures> &bars);
// The month of `bar` that starts on `month`; null when it has none.
const Month *find(const Figures &bar, const QDate &month);

} // namespace Chain
