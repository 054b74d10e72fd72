#include "costs.h"

#include "csvfield.h"
#include "history.h"
#include "inventory.h"
#include "iteminventory.h"
#include "shown.h"
#include "numberinput.h"
#include "savefile.h"
#include "settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcCosts, "costs")

namespace {
QString money(double value)
{
    return QString::number(value, 'f', 2);
}
// On screen and paper the interface's decimal separator; the CSV lines above keep their points.
QString shownMoney(double value)
{
    return Shown::fixed(value, 2);
}
} // namespace

QString CostList::fileName()
{
    return QStringLiteral("costs.csv");
}

bool CostList::load(const QString &path, QString *reason)
{
    // A cost list is a few hundred lines; anything far larger is not one.
    QByteArray bytes;
    switch (readFileWhole(path, 16 * 1024 * 1024, tr("The file is too large to be a cost list."), &bytes, reason)) {
    case FileRead::Missing:
        entries.clear();
        return true;
    case FileRead::Failed:
        return false;
    case FileRead::Read:
        break;
    }
    CostList read;
    if (!read.parse(bytes, reason))
        return false;
    entries = read.entries;
    return true;
}

bool CostList::save(const QString &path, QString *reason) const
{
    return writeFileWhole(path, toCsv(), reason);
}

bool CostList::parse(const QByteArray &bytes, QString *reason)
{
    QList<Cost> read;
    QHash<QString, int> lineOfKey;
    const QList<QByteArray> lines = bytes.split('\n');
    bool first = true;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = QString::fromUtf8(lines.at(i));
        if (i == 0 && line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const bool header = first;
        first = false;
        const auto refuse = [&](const QString &why) {
            qCDebug(lcCosts) << "line" << i + 1 << "refused";
            *reason = tr("Line %1: %2").arg(i + 1).arg(why);
            return false;
        };
        if (QString::fromUtf8(lines.at(i)).contains(QChar(QChar::ReplacementCharacter)))
            return refuse(tr("the line is not UTF-8 text."));
        const QStringList fields = csvSplit(line, QLatin1Char(';'), CsvQuotes::AtFieldStart);
        if (fields.size() < 2 || fields.size() > 4)
            return refuse(tr("expected EAN;cost;par;supplier."));
        Cost cost;
        cost.key = csvTextRead(fields.at(0));
        QString why;
        if (!NumberInput::parse(fields.at(1), &cost.cost, &why)) {
            // The first line may name the columns; a first line with a mistyped cost is no header.
            static const QRegularExpression digit(QStringLiteral("\\d"));
            if (header && !fields.at(1).contains(digit))
                continue;
            return refuse(tr("cost: %1").arg(why));
        }
        if (cost.key.isEmpty())
            return refuse(tr("no EAN or item name."));
        if (fields.size() >= 3 && !fields.at(2).isEmpty()) {
            if (!NumberInput::parse(fields.at(2), &cost.par, &why))
                return refuse(tr("par: %1").arg(why));
            cost.hasPar = true;
        }
        if (fields.size() == 4)
            cost.supplier = csvTextRead(fields.at(3));
        const auto earlier = lineOfKey.constFind(cost.key);
        if (earlier != lineOfKey.constEnd())
            return refuse(tr("\"%1\" is already on line %2.").arg(cost.key).arg(earlier.value()));
        lineOfKey.insert(cost.key, i + 1);
        read.append(cost);
    }
    entries = read;
    return true;
}

void CostList::merge(const CostList &other)
{
    for (const Cost &cost : other.entries) {
        bool replaced = false;
        for (Cost &mine : entries) {
            if (mine.key == cost.key) {
                mine = cost;
                replaced = true;
            }
        }
        if (!replaced)
            entries.append(cost);
    }
}

QByteArray CostList::toCsv() const
{
    QString out = QStringLiteral("EAN;Cost;Par;Supplier\n");
    for (const Cost &cost : entries) {
        out += csvText(cost.key) + QLatin1Char(';') + NumberInput::exactText(cost.cost) + QLatin1Char(';') +
               (cost.hasPar ? NumberInput::exactText(cost.par) : QString()) + QLatin1Char(';') +
               csvText(cost.supplier) + QLatin1Char('\n');
    }
    return out.toUtf8();
}

const Cost *CostList::find(const QString &key) const
{
    for (const Cost &cost : entries) {
        if (cost.key == key)
            return &cost;
    }
    return nullptr;
}

bool CostList::setCostText(const QString &key, const QString &text, QString *reason)
{
    if (text.trimmed().isEmpty()) {
        for (int i = entries.size() - 1; i >= 0; --i) {
            if (entries.at(i).key == key)
                entries.removeAt(i);
        }
        return true;
    }
    double value = 0;
    if (!NumberInput::parse(text, &value, reason))
        return false;
    for (Cost &cost : entries) {
        if (cost.key == key) {
            cost.cost = value;
            return true;
        }
    }
    Cost cost;
    cost.key = key;
    cost.cost = value;
    entries.append(cost);
    return true;
}

bool CostList::setParText(const QString &key, const QString &text, QString *reason)
{
    Cost *cost = const_cast<Cost *>(find(key));
    if (!cost) {
        if (text.trimmed().isEmpty())
            return true;
        *reason = tr("Type the cost per bottle first: the par level is kept with the cost.");
        return false;
    }
    if (text.trimmed().isEmpty()) {
        cost->hasPar = false;
        cost->par = 0;
        return true;
    }
    double par = 0;
    if (!NumberInput::parse(text, &par, reason))
        return false;
    cost->par = par;
    cost->hasPar = true;
    return true;
}

bool CostList::setSupplierText(const QString &key, const QString &text, QString *reason)
{
    Cost *cost = const_cast<Cost *>(find(key));
    const QString supplier = text.simplified();
    if (!cost) {
        if (supplier.isEmpty())
            return true;
        *reason = tr("Type the cost per bottle first: the supplier is kept with the cost.");
        return false;
    }
    cost->supplier = supplier;
    return true;
}

CostFigures CostFigures::of(const Inventory &inventory, const ItemInventory &items, const CostList &costs)
{
    CostFigures figures;
    double uncostedTakings = 0;
    const auto rowFigures = [&](const Cost *cost, double bottles, double soldBottles, double takings,
                                const QString &name, bool counted) {
        Row row;
        row.name = name.trimmed();
        row.hasCost = cost != nullptr && std::isfinite(bottles) && std::isfinite(soldBottles);
        if (!row.hasCost) {
            if (counted)
                figures.missing << name.trimmed();
            return row;
        }
        row.costOfGoods = soldBottles * cost->cost;
        row.stockValue = bottles * cost->cost;
        row.hasPourCost = takings > 0;
        if (row.hasPourCost)
            row.pourCost = row.costOfGoods / takings * 100;
        figures.stockValue += row.stockValue;
        return row;
    };
    for (const SalesRow &sales : inventory.rows) {
        // Without a volume a millilitre has no share of a bottle's cost.
        const double volume = sales.bottleVolume > 0 ? double(sales.bottleVolume) : NAN;
        const Row row = rowFigures(costs.find(sales.ean), double(sales.finalQuantity) / volume,
                                   double(sales.soldQuantity) / volume, sales.totalAmount, sales.name,
                                   sales.soldQuantity != 0 || sales.finalQuantity != 0);
        figures.bottleCostOfGoods += row.costOfGoods;
        if (!row.hasCost)
            uncostedTakings += sales.totalAmount;
        figures.bottles.append(row);
    }
    figures.costOfGoods = figures.bottleCostOfGoods;
    for (const AppendedItem &item : items.rows) {
        const Row row =
            rowFigures(costs.find(item.name.trimmed()), item.finalQuantity, item.soldQuantity,
                       item.totalAmount, item.name, item.soldQuantity != 0 || item.finalQuantity != 0);
        figures.costOfGoods += row.costOfGoods;
        figures.items.append(row);
    }
    // The takings of a bottle without a cost are left out with its cost: over all the alcohol sales the pour
    // cost would take that bottle as free and look better than it is. A share of no takings, or of takings
    // below nothing, says nothing about the prices.
    figures.pourCostOfSome = uncostedTakings != 0;
    const double costedTakings = inventory.total - uncostedTakings;
    figures.hasPourCost = costedTakings > 0.005;
    if (figures.hasPourCost)
        figures.pourCost = figures.bottleCostOfGoods / costedTakings * 100;
    return figures;
}

QByteArray CostFigures::csvLines() const
{
    QString out = QStringLiteral("Cost of goods sold;") + money(costOfGoods) + QLatin1Char('\n');
    out += QStringLiteral("Pour cost;") + (hasPourCost ? money(pourCost) + QStringLiteral(" %") : QString()) +
           QLatin1Char('\n');
    out += QStringLiteral("Stock value at cost;") + money(stockValue) + QLatin1Char('\n');
    if (!missing.isEmpty())
        out +=
            QStringLiteral("No cost for;") + csvText(missing.join(QStringLiteral(", "))) + QLatin1Char('\n');
    return out.toUtf8();
}

QString CostFigures::text(int currency) const
{
    const QString unit = QLatin1Char(' ') + Settings::currencyName(currency);
    QStringList lines;
    lines << tr("Cost of goods sold: %1").arg(shownMoney(costOfGoods) + unit);
    if (!hasPourCost)
        lines << (pourCostOfSome ? tr("Pour cost: no sales of a bottle with a cost") : tr("Pour cost: no alcohol sales"));
    else if (pourCostOfSome)
        lines << tr("Pour cost: %1 % of the bottles with a cost").arg(shownMoney(pourCost));
    else
        lines << tr("Pour cost: %1 %").arg(shownMoney(pourCost));
    lines << tr("Stock value at cost: %1").arg(shownMoney(stockValue) + unit);
    QList<const Row *> poured;
    for (const Row &row : bottles) {
        if (row.hasPourCost)
            poured.append(&row);
    }
    std::stable_sort(poured.begin(), poured.end(),
                     [](const Row *a, const Row *b) { return a->pourCost > b->pourCost; });
    QStringList highest;
    for (int i = 0; i < poured.size() && i < 3; ++i)
        highest << tr("%1 %2 %").arg(poured.at(i)->name, shownMoney(poured.at(i)->pourCost));
    if (!highest.isEmpty())
        lines << tr("Highest pour cost: %1").arg(highest.join(QStringLiteral(", ")));
    if (!missing.isEmpty()) {
        // The first few name the gap; the whole list is in the exports and in the rows' own cells.
        constexpr int named = 8;
        QString names = QStringList(missing.mid(0, named)).join(QStringLiteral(", "));
        if (missing.size() > named)
            names += tr(" and %1 more").arg(missing.size() - named);
        lines << tr("No cost for: %1").arg(names);
    }
    return lines.join(QLatin1Char('\n'));
}

OrderList OrderList::of(const Inventory &inventory, const ItemInventory &items, const CostList &costs)
{
    OrderList list;
    const auto consider = [&](const QString &ean, const QString &name, const Cost *cost, double onHand) {
        if (!cost || !cost->hasPar || !std::isfinite(onHand))
            return;
        // A shortfall below a millionth of a bottle is the rounding of the division, not a bottle to buy.
        const double shortfall = cost->par - onHand;
        if (shortfall <= 1e-6)
            return;
        Line line;
        line.ean = ean;
        line.name = name.trimmed();
        line.onHand = onHand;
        line.par = cost->par;
        line.order = qint64(std::ceil(shortfall - 1e-6));
        line.supplier = cost->supplier;
        line.cost = double(line.order) * cost->cost;
        list.cost += line.cost;
        list.lines.append(line);
    };
    for (const SalesRow &row : inventory.rows) {
        // Without a volume the millilitres left say nothing in bottles.
        if (row.bottleVolume > 0)
            consider(row.ean, row.name, costs.find(row.ean),
                     double(row.finalQuantity) / double(row.bottleVolume));
    }
    for (const AppendedItem &item : items.rows)
        consider(QString(), item.name, costs.find(item.name.trimmed()), item.finalQuantity);
    std::stable_sort(list.lines.begin(), list.lines.end(), [](const Line &a, const Line &b) {
        if (a.supplier.isEmpty() != b.supplier.isEmpty())
            return b.supplier.isEmpty();
        const int bySupplier = QString::localeAwareCompare(a.supplier, b.supplier);
        if (bySupplier != 0)
            return bySupplier < 0;
        return QString::localeAwareCompare(a.name, b.name) < 0;
    });
    return list;
}

QByteArray OrderList::csv() const
{
    QString out = QStringLiteral("EAN;Item;On hand [bottles];Par [bottles];Order [bottles];Supplier\n");
    for (const Line &line : lines) {
        out += (line.ean.isEmpty() ? QString() : QLatin1Char('"') + line.ean + QLatin1Char('"')) +
               QLatin1Char(';') + csvText(line.name) + QLatin1Char(';') +
               QString::number(line.onHand, 'f', 2) + QLatin1Char(';') + NumberInput::exactText(line.par) +
               QLatin1Char(';') + QString::number(line.order) + QLatin1Char(';') + csvText(line.supplier) +
               QLatin1Char('\n');
    }
    out += QStringLiteral("Order cost;") + money(cost) + QLatin1Char('\n');
    return out.toUtf8();
}

QString OrderList::text(int currency) const
{
    if (lines.isEmpty())
        return tr("To order: nothing is below its par level.");
    const QString unit = QLatin1Char(' ') + Settings::currencyName(currency);
    QStringList out;
    out << tr("To order (cost %1):").arg(shownMoney(cost) + unit);
    QString supplier;
    QStringList kinds;
    const auto flush = [&] {
        if (!kinds.isEmpty())
            out << (supplier.isEmpty() ? tr("No supplier") : supplier) + QStringLiteral(": ") +
                       kinds.join(QStringLiteral(", "));
        kinds.clear();
    };
    for (int i = 0; i < lines.size(); ++i) {
        if (i == 0 || lines.at(i).supplier != supplier) {
            flush();
            supplier = lines.at(i).supplier;
        }
        kinds << tr("%1 × %2").arg(lines.at(i).order).arg(lines.at(i).name);
    }
    flush();
    return out.join(QLatin1Char('\n'));
}

QList<ParSuggestion> ParSuggestion::of(const QList<History::Count> &counts, const QHash<QString, qint64> &volumes,
                                       double *periodDays)
{
    QList<const History::Count *> used;
    for (int i = counts.size() - 1; i >= 0 && used.size() < countsUsed; --i) {
        const History::Count &count = counts.at(i);
        if (count.counted() && count.from.isValid() && count.to.isValid() && count.from < count.to)
            used.prepend(&count);
    }
    if (periodDays)
        *periodDays = 0;
    if (used.isEmpty())
        return {};
    QList<double> lengths;
    double days = 0;
    QHash<QString, qint64> sold;
    QHash<QString, QString> names;
    for (const History::Count *count : qAsConst(used)) {
        const double length = double(count->from.msecsTo(count->to)) / (24.0 * 3600 * 1000);
        lengths.append(length);
        days += length;
        for (auto it = count->sold.cbegin(); it != count->sold.cend(); ++it) {
            sold[it.key()] += it.value();
            names.insert(it.key(), count->names.value(it.key()));
        }
    }
    std::sort(lengths.begin(), lengths.end());
    const int middle = int(lengths.size()) / 2;
    const double usual =
        lengths.size() % 2 == 1 ? lengths.at(middle) : (lengths.at(middle - 1) + lengths.at(middle)) / 2;
    if (periodDays)
        *periodDays = usual;
    QList<ParSuggestion> suggestions;
    for (auto it = sold.cbegin(); it != sold.cend(); ++it) {
        const qint64 volume = volumes.value(it.key());
        // Returns above sales leave nothing to stock; without a volume millilitres are no bottles.
        if (volume <= 0 || it.value() <= 0)
            continue;
        ParSuggestion suggestion;
        suggestion.ean = it.key();
        suggestion.name = names.value(it.key()).trimmed();
        suggestion.usage = double(it.value()) / double(volume) / days * usual;
        suggestion.par = qMax<qint64>(1, qint64(std::ceil(suggestion.usage - 1e-6)));
        suggestions.append(suggestion);
    }
    std::sort(suggestions.begin(), suggestions.end(), [](const ParSuggestion &a, const ParSuggestion &b) {
        const int byName = QString::localeAwareCompare(a.name, b.name);
        return byName != 0 ? byName < 0 : a.ean < b.ean;
    });
    return suggestions;
}
