#include "chain.h"

#include <QMap>

#include <algorithm>

namespace Chain {

CountCost costOf(const History::Count &count, const CostList &costs, const QHash<QString, quint64> &volumes)
{
    CountCost result;
    double cost = 0;
    for (auto it = count.sold.cbegin(); it != count.sold.cend(); ++it) {
        if (it.value() == 0)
            continue;
        const Cost *bottle = costs.find(it.key());
        const quint64 volume = volumes.value(it.key());
        const QString name = count.names.value(it.key(), it.key()).trimmed();
        if (!bottle)
            result.noCost.append(name);
        if (volume == 0)
            result.noVolume.append(name);
        if (bottle && volume != 0)
            cost += bottle->cost * double(it.value()) / double(volume);
    }
    result.noCost.sort(Qt::CaseInsensitive);
    result.noVolume.sort(Qt::CaseInsensitive);
    if (!result.noCost.isEmpty() || !result.noVolume.isEmpty())
        return result;
    result.hasCostOfGoods = true;
    result.costOfGoods = cost;
    // Without alcohol sales a percent of them is no figure at all, not an infinite or a zero one.
    if (count.alcohol > 0) {
        result.hasPourCost = true;
        result.pourCost = cost / count.alcohol * 100;
    }
    return result;
}

bool pourCostOf(const History::Count &count, const CostList &costs, const QHash<QString, quint64> &volumes,
                double *percent)
{
    const CountCost cost = costOf(count, costs, volumes);
    if (cost.hasPourCost)
        *percent = cost.pourCost;
    return cost.hasPourCost;
}

Figures figuresOf(const Bar &bar)
{
    Figures figures;
    figures.bar = bar.name;
    QMap<QDate, Month> months;
    QMap<QDate, double> pourCostWeight; // the alcohol sales of the counts with a pour cost
    for (const History::Count &count : bar.counts) {
        if (!count.counted() || !count.to.isValid())
            continue;
        const QDate local = count.to.toLocalTime().date();
        const QDate first(local.year(), local.month(), 1);
        Month &month = months[first];
        month.month = first;
        if (month.counts == 0)
            month.currency = count.shownCurrency();
        else if (month.currency != count.shownCurrency())
            month.mixedCurrencies = true;
        ++month.counts;
        month.takings += count.total();
        if (count.hasTill) {
            month.hasVariance = true;
            month.variance += count.till.money;
        }
        const auto cost = bar.pourCost.constFind(count.counter);
        if (cost != bar.pourCost.cend() && count.alcohol > 0) {
            // A month's pour cost is its cost of goods over its alcohol sales, not the mean of percents.
            month.pourCost += cost.value() * count.alcohol;
            pourCostWeight[first] += count.alcohol;
            month.hasPourCost = true;
        }
    }
    for (auto it = months.begin(); it != months.end(); ++it) {
        Month month = it.value();
        if (month.hasPourCost)
            month.pourCost /= pourCostWeight.value(it.key());
        figures.months.append(month);
    }
    return figures;
}

QList<QDate> monthsOf(const QList<Figures> &bars)
{
    QList<QDate> months;
    for (const Figures &bar : bars) {
        for (const Month &month : bar.months)
            months.append(month.month);
    }
    std::sort(months.begin(), months.end());
    months.erase(std::unique(months.begin(), months.end()), months.end());
    return months;
}

const Month *find(const Figures &bar, const QDate &month)
{
    const auto found = std::lower_bound(bar.months.cbegin(), bar.months.cend(), month,
                                        [](const Month &m, const QDate &d) { return m.month < d; });
    return found != bar.months.cend() && found->month == month ? &*found : nullptr;
}

} // namespace Chain
