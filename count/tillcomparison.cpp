#include "tillcomparison.h"

#include "csvfield.h"
#include "inventory.h"
#include "iteminventory.h"
#include "savefile.h"
#include "tillexport.h"

#include <QFile>
#include <QLoggingCategory>

#include <cmath>
#include <limits>

Q_LOGGING_CATEGORY(lcTillComparison, "tillcomparison")

namespace {
QString withoutLeadingZeros(const QString &code)
{
    int i = 0;
    while (i < code.size() - 1 && code.at(i) == QLatin1Char('0'))
        ++i;
    return code.mid(i);
}

double percentOf(double part, double whole)
{
    return whole != 0 ? part / whole * 100 : std::numeric_limits<double>::quiet_NaN();
}

} // namespace

QString TillMatches::keyOf(const TillLine &line)
{
    return line.code.isEmpty() ? QStringLiteral("name:") + TillSales::folded(line.name)
                               : QStringLiteral("code:") + line.code;
}

QString TillMatches::bottleTarget(const QString &ean)
{
    return QStringLiteral("ean:") + ean;
}

QString TillMatches::itemTarget(const QString &name)
{
    return QStringLiteral("item:") + name;
}

QString TillMatches::noTarget()
{
    return QStringLiteral("-");
}

QString TillMatches::recipeTarget(const QList<Part> &parts)
{
    QStringList written;
    for (const Part &part : parts)
        written << QString::number(part.amount, 'g', 15) + QLatin1Char(' ') + part.target;
    return QStringLiteral("recipe:") + written.join(QLatin1Char('|'));
}

bool TillMatches::isRecipe(const QString &target)
{
    return target.startsWith(QLatin1String("recipe:"));
}

QList<TillMatches::Part> TillMatches::recipeParts(const QString &target)
{
    if (!isRecipe(target))
        return {};
    QList<Part> parts;
    for (const QString &written : target.mid(7).split(QLatin1Char('|'))) {
        const int space = int(written.indexOf(QLatin1Char(' ')));
        bool ok = false;
        Part part;
        part.amount = written.left(space).toDouble(&ok);
        part.target = written.mid(space + 1);
        if (space <= 0 || !ok || !std::isfinite(part.amount) || part.amount <= 0 || part.amount > 1e6 ||
            !(part.target.startsWith(QLatin1String("ean:")) || part.target.startsWith(QLatin1String("item:"))))
            return {};
        parts.append(part);
    }
    return parts;
}

void TillMatches::load(const QString &path)
{
    targets.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > 4 * 1024 * 1024)
        return;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &raw : lines) {
        const QList<QByteArray> fields = raw.split('\t');
        if (fields.size() != 2 || fields.at(0).isEmpty() || fields.at(1).trimmed().isEmpty())
            continue;
        targets.insert(QString::fromUtf8(fields.at(0)), QString::fromUtf8(fields.at(1).trimmed()));
    }
}

bool TillMatches::save(const QString &path, QString *reason) const
{
    QStringList keys = targets.keys();
    keys.sort();
    QByteArray bytes;
    for (const QString &key : keys) {
        // Tabs and line ends inside a name would break the line apart; tills do not put them in names.
        QString safeKey = key;
        QString safeTarget = targets.value(key);
        for (QString *text : {&safeKey, &safeTarget}) {
            text->replace(QLatin1Char('\t'), QLatin1Char(' '));
            text->replace(QLatin1Char('\n'), QLatin1Char(' '));
            text->replace(QLatin1Char('\r'), QLatin1Char(' '));
        }
        bytes += safeKey.toUtf8() + '\t' + safeTarget.toUtf8() + '\n';
    }
    return writeFileWhole(path, bytes, reason);
}

TillComparison TillComparison::compare(const Inventory &inventory, const ItemInventory &items,
                                       const TillFigures &figures, const TillMatches &matches)
{
    TillComparison result;
    // Indexes of the table built once: an export of hundreds of lines is compared on every edit.
    QHash<QString, QString> byEan;
    QHash<QString, QString> byEanWithoutZeros;
    QHash<QString, QString> byName;
    if (!figures.lines.isEmpty()) {
        // The first row wins, as a search from the top would find it.
        const auto note = [](QHash<QString, QString> &index, const QString &key, const QString &target) {
            if (!key.isEmpty() && !index.contains(key))
                index.insert(key, target);
        };
        for (const SalesRow &row : inventory.rows) {
            note(byEan, row.ean, TillMatches::bottleTarget(row.ean));
            note(byEanWithoutZeros, withoutLeadingZeros(row.ean), TillMatches::bottleTarget(row.ean));
        }
        for (const SalesRow &row : inventory.rows)
            note(byName, TillSales::folded(row.name), TillMatches::bottleTarget(row.ean));
        for (const AppendedItem &item : items.rows)
            note(byName, TillSales::folded(item.name), TillMatches::itemTarget(item.name));
    }

    QHash<QString, double> tillAmount;
    QHash<QString, double> tillQuantity;    // as the till counts them
    QHash<QString, double> tillMillilitres; // of the lines whose portion is known
    QHash<QString, double> tillPortioned;   // the quantity of those lines
    QHash<QString, QList<int>> linesOf;
    // Per row of this count: its sell unit and price, for sharing a recipe's money among its rows.
    QHash<QString, QPair<double, double>> rowUnits;
    for (const SalesRow &row : inventory.rows)
        rowUnits.insert(TillMatches::bottleTarget(row.ean), {double(row.sellUnit), row.pricePerUnit});
    for (const AppendedItem &item : items.rows)
        rowUnits.insert(TillMatches::itemTarget(item.name), {1.0, item.pricePerUnit});
    result.lineTargets.reserve(figures.lines.size());
    for (int i = 0; i < figures.lines.size(); ++i) {
        const TillLine &line = figures.lines.at(i);
        QString target = matches.targets.value(TillMatches::keyOf(line));
        // The station drops the zeros in front of an EAN and some tills do too: exact first, then without.
        if (target.isEmpty() && !line.code.isEmpty())
            target = byEan.value(line.code, byEanWithoutZeros.value(withoutLeadingZeros(line.code)));
        // An export without a name column may carry the name in its code column; the portion a till
        // writes after the name ("Tuzemák 4cl") is no part of the row's name.
        if (target.isEmpty()) {
            const QString name = line.name.isEmpty() ? line.code : line.name;
            target = byName.value(TillSales::folded(name));
            QString withoutPortion;
            if (target.isEmpty() && TillExport::portionInName(name, &withoutPortion) > 0)
                target = byName.value(TillSales::folded(withoutPortion));
        }
        if (target.isEmpty() || target == TillMatches::noTarget()) {
            result.lineTargets.append(QString());
            continue;
        }
        if (TillMatches::isRecipe(target)) {
            // Each unit sold takes its portions from every row of the recipe; the money is shared by what
            // the portions are worth at the rows' prices (by their amounts when no row has a price).
            const QList<TillMatches::Part> parts = TillMatches::recipeParts(target);
            bool known = !parts.isEmpty();
            double worth = 0;
            double amounts = 0;
            for (const TillMatches::Part &part : parts) {
                known = known && rowUnits.contains(part.target);
                const QPair<double, double> unit = rowUnits.value(part.target);
                worth += unit.first != 0 ? part.amount / unit.first * unit.second : 0;
                amounts += part.amount;
            }
            if (!known) {
                result.lineTargets.append(QString());
                continue;
            }
            result.lineTargets.append(target);
            for (const TillMatches::Part &part : parts) {
                const QPair<double, double> unit = rowUnits.value(part.target);
                const double share = worth != 0 ? (unit.first != 0 ? part.amount / unit.first * unit.second : 0) / worth
                                                : part.amount / amounts;
                tillAmount[part.target] += line.amount * share;
                if (part.target.startsWith(QLatin1String("ean:")))
                    tillMillilitres[part.target] += line.quantity * part.amount;
                else
                    tillQuantity[part.target] += line.quantity * part.amount;
                linesOf[part.target].append(i);
            }
            continue;
        }
        result.lineTargets.append(target);
        tillAmount[target] += line.amount;
        tillQuantity[target] += line.quantity;
        if (line.portion > 0) {
            tillMillilitres[target] += line.quantity * line.portion;
            tillPortioned[target] += line.quantity;
        }
        linesOf[target].append(i);
    }

    const auto add = [&](const QString &target, const QString &name, const QString &ean, double expected,
                         double sold, double sellUnit, double price, bool millilitres) {
        if (!tillAmount.contains(target)) {
            // A typed amount alone names no product, so no row can be missing from it.
            if (!figures.lines.isEmpty() && (sold > 0 || expected > 0)) {
                result.unmatchedRows.append(ean.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, ean));
                result.unmatchedRowTargets.append(target);
            }
            return;
        }
        TillVariance variance;
        variance.target = target;
        variance.name = name;
        variance.ean = ean;
        variance.expected = expected;
        variance.till = tillAmount.value(target);
        variance.money = expected - variance.till;
        // Mixed portions (2 cl and 4 cl of one bottle) count in the row's sell unit.
        if (figures.hasQuantities && millilitres)
            variance.units = (sellUnit != 0 ? (sold - tillMillilitres.value(target)) / sellUnit : 0) -
                             (tillQuantity.value(target) - tillPortioned.value(target));
        else if (figures.hasQuantities)
            variance.units = (sellUnit != 0 ? sold / sellUnit : 0) - tillQuantity.value(target);
        else
            variance.units = price != 0 ? variance.money / price : 0;
        variance.percent = percentOf(variance.money, expected);
        result.rows.append(variance);
        tillAmount.remove(target); // a row listed twice in the table takes the till's lines once
    };
    for (const SalesRow &row : inventory.rows)
        add(TillMatches::bottleTarget(row.ean), row.name, row.ean, row.totalAmount, double(row.soldQuantity),
            double(row.sellUnit), row.pricePerUnit, true);
    for (const AppendedItem &item : items.rows)
        add(TillMatches::itemTarget(item.name), item.name, QString(), item.totalAmount, item.soldQuantity,
            item.sellUnit, item.pricePerUnit, false);
    // A kept correction may point at a row this count does not have; its till lines are unmatched, not lost.
    QList<int> leftOver;
    for (auto it = linesOf.cbegin(); it != linesOf.cend(); ++it) {
        if (tillAmount.contains(it.key()))
            leftOver += it.value();
    }
    // A recipe reaches only rows this count has (checked above), so it is never left over.
    for (const int i : leftOver)
        result.lineTargets[i].clear();
    // In the order of the export, so that the list reads like the till's report.
    for (int i = 0; i < figures.lines.size(); ++i) {
        if (result.lineTargets.at(i).isEmpty())
            result.unmatchedTill.append(figures.lines.at(i));
    }

    result.quantities = figures.hasQuantities;
    result.expected = inventory.total + items.total;
    result.till = figures.total();
    result.variance = result.expected - result.till;
    result.percent = percentOf(result.variance, result.expected);
    qCDebug(lcTillComparison, "%d rows matched, %d till products and %d rows unmatched",
            int(result.rows.size()), int(result.unmatchedTill.size()), int(result.unmatchedRows.size()));
    return result;
}

QString TillComparison::toText(const QString &currency) const
{
    const auto money = [](double value) { return QString::number(value, 'f', 2); };
    const auto percentText = [](double value) {
        return std::isnan(value) ? QStringLiteral("-") : QString::number(value, 'f', 1);
    };
    // For the command line, which speaks English like the rest of quarmelctl.
    QString text = QStringLiteral("Item;EAN;Expected;Till;Variance;Variance [sell units];Variance [%]\n");
    for (const TillVariance &row : rows)
        text += QStringLiteral("%1;%2;%3;%4;%5;%6;%7\n")
                    .arg(csvText(row.name), row.ean, money(row.expected), money(row.till), money(row.money),
                         QString::number(row.units, 'f', 2), percentText(row.percent));
    text += QStringLiteral("Expected: %1 %2").arg(money(expected), currency) + QLatin1Char('\n');
    text += QStringLiteral("Till: %1 %2").arg(money(till), currency) + QLatin1Char('\n');
    text += QStringLiteral("Variance: %1 %2 (%3 %)").arg(money(variance), currency, percentText(percent)) +
            QLatin1Char('\n');
    for (const TillLine &line : unmatchedTill)
        text += QStringLiteral("Till product not matched: %1 (%2)")
                    .arg((line.code.isEmpty() ? line.name : line.code + QLatin1Char(' ') + line.name).trimmed(),
                         (quantities ? QString::number(line.quantity, 'g', 10) + QStringLiteral(" sold, ")
                                     : QString()) +
                             money(line.amount) + QLatin1Char(' ') + currency) +
                QLatin1Char('\n');
    for (const QString &row : unmatchedRows)
        text += QStringLiteral("Sold but not in the till: %1").arg(row) + QLatin1Char('\n');
    return text;
}
