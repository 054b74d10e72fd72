#include "storeledger.h"

#include "csvfield.h"
#include "inventory.h"
#include "iteminventory.h"
#include "numberinput.h"
#include "savefile.h"

#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcStoreLedger, "storeledger")

namespace {
const QLatin1String deliveryWord("delivery");
const QLatin1String issueWord("issue");

// Far beyond any store, so that no sum of movements loses a bottle to rounding.
constexpr double maxQuantity = 1e9;

// The entry as the record keeps it, or false with the reason it cannot be one.
bool keptEntry(const StoreEntry &entry, StoreEntry *kept, QString *reason)
{
    if (!entry.date.isValid()) {
        *reason = StoreLedger::tr("no date.");
        return false;
    }
    if (entry.key.trimmed().isEmpty()) {
        *reason = StoreLedger::tr("no EAN or item name.");
        return false;
    }
    if (!std::isfinite(entry.quantity) || std::fabs(entry.quantity) > maxQuantity ||
        (entry.hasCost && (!std::isfinite(entry.cost) || entry.cost < 0 || entry.cost > maxQuantity * 1e3))) {
        *reason = StoreLedger::tr("the number is more than any store holds.");
        return false;
    }
    // A bottle sent back is an issue below zero; a delivery is always of something.
    if (entry.kind == StoreEntry::Delivery ? entry.quantity <= 0 : entry.quantity == 0) {
        *reason = entry.kind == StoreEntry::Delivery ? StoreLedger::tr("a delivery is of one bottle or more.")
                                                     : StoreLedger::tr("an issue of no bottle.");
        return false;
    }
    *kept = entry;
    kept->key = entry.key.trimmed();
    // Line breaks would split the entry in two lines of the file.
    kept->supplier = entry.supplier.simplified();
    // Seconds are more than a delivery note says, and would not survive the file.
    if (kept->time.isValid())
        kept->time = QTime(kept->time.hour(), kept->time.minute());
    return true;
}

// By the day and the time on the wall, as the entries were written: no time zone is looked up per comparison.
bool earlier(const StoreEntry &a, const StoreEntry &b)
{
    if (a.date != b.date)
        return a.date < b.date;
    return (a.time.isValid() ? a.time : QTime(12, 0)) < (b.time.isValid() ? b.time : QTime(12, 0));
}
} // namespace

QDateTime StoreEntry::moment() const
{
    return QDateTime(date, time.isValid() ? time : QTime(12, 0));
}

QString StoreLedger::fileName()
{
    return QStringLiteral("deliveries.csv");
}

bool StoreLedger::load(const QString &path, QString *reason)
{
    // Years of a bar's deliveries are a few megabytes at most.
    QByteArray bytes;
    switch (readFileWhole(path, 64 * 1024 * 1024, tr("The file is too large to be a record of deliveries and issues."), &bytes, reason)) {
    case FileRead::Missing:
        entries.clear();
        return true;
    case FileRead::Failed:
        return false;
    case FileRead::Read:
        break;
    }
    StoreLedger read;
    if (!read.parse(bytes, reason))
        return false;
    entries = read.entries;
    return true;
}

bool StoreLedger::save(const QString &path, QString *reason) const
{
    return writeFileWhole(path, toCsv(), reason);
}

bool StoreLedger::parse(const QByteArray &bytes, QString *reason)
{
    QList<StoreEntry> read;
    const QList<QByteArray> lines = bytes.split('\n');
    bool first = true;
    for (int i = 0; i < lines.size(); ++i) {
        const QString raw = QString::fromUtf8(lines.at(i));
        const auto refuse = [&](const QString &why) {
            qCDebug(lcStoreLedger) << "line" << i + 1 << "refused";
            *reason = tr("Line %1: %2").arg(i + 1).arg(why);
            return false;
        };
        if (raw.contains(QChar(QChar::ReplacementCharacter)) || lines.at(i).contains('\0'))
            return refuse(tr("the line is not UTF-8 text."));
        QString line = raw;
        if (i == 0 && line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const bool header = first;
        first = false;
        const QStringList fields = csvSplit(line, QLatin1Char(';'), CsvQuotes::AtFieldStart);
        if (fields.size() != 6)
            return refuse(tr("expected date;kind;EAN;quantity;cost;supplier."));
        StoreEntry entry;
        const QString when = fields.at(0);
        entry.date = QDate::fromString(when.left(10), Qt::ISODate);
        // The first line may name the columns; a first line with a mistyped date is no header.
        static const QRegularExpression digit(QStringLiteral("\\d"));
        if (!entry.date.isValid() && header && !when.contains(digit))
            continue;
        bool dateRead = entry.date.isValid() && when.size() == 10;
        if (entry.date.isValid() && when.size() == 16 && (when.at(10) == QLatin1Char('T') || when.at(10) == QLatin1Char(' '))) {
            entry.time = QTime::fromString(when.mid(11), QStringLiteral("HH:mm"));
            dateRead = entry.time.isValid();
        }
        if (!dateRead)
            return refuse(tr("\"%1\" is no date (year-month-day, as 2026-12-09, or with the time, as "
                             "2026-12-09T14:30).")
                              .arg(when));
        const QString kind = fields.at(1).toLower();
        if (kind == deliveryWord)
            entry.kind = StoreEntry::Delivery;
        else if (kind == issueWord)
            entry.kind = StoreEntry::Issue;
        else
            return refuse(tr("\"%1\" is neither delivery nor issue.").arg(fields.at(1)));
        entry.key = csvTextRead(fields.at(2));
        if (entry.key.isEmpty())
            return refuse(tr("no EAN or item name."));
        QString why;
        if (!NumberInput::parseSigned(fields.at(3), &entry.quantity, &why))
            return refuse(tr("quantity: %1").arg(why));
        if (!fields.at(4).isEmpty()) {
            if (!NumberInput::parse(fields.at(4), &entry.cost, &why))
                return refuse(tr("cost: %1").arg(why));
            entry.hasCost = true;
        }
        entry.supplier = csvTextRead(fields.at(5));
        StoreEntry kept;
        if (!keptEntry(entry, &kept, &why))
            return refuse(why);
        read.append(kept);
    }
    // Sorted once at the end: inserting line by line would take minutes for a file of a million lines.
    std::stable_sort(read.begin(), read.end(), earlier);
    entries = read;
    return true;
}

QByteArray StoreLedger::toCsv() const
{
    QString out = QStringLiteral("Date;Kind;EAN;Quantity;Cost;Supplier\n");
    for (const StoreEntry &entry : entries) {
        out += entry.date.toString(Qt::ISODate) +
               (entry.time.isValid() ? entry.time.toString(QStringLiteral("'T'HH:mm")) : QString()) +
               QLatin1Char(';') +
               (entry.kind == StoreEntry::Delivery ? deliveryWord : issueWord) + QLatin1Char(';') +
               csvText(entry.key) + QLatin1Char(';') + NumberInput::exactText(entry.quantity) +
               QLatin1Char(';') + (entry.hasCost ? NumberInput::exactText(entry.cost) : QString()) +
               QLatin1Char(';') + csvText(entry.supplier) + QLatin1Char('\n');
    }
    return out.toUtf8();
}

bool StoreLedger::add(const StoreEntry &entry, QString *reason)
{
    StoreEntry kept;
    if (!keptEntry(entry, &kept, reason))
        return false;
    entries.insert(std::upper_bound(entries.begin(), entries.end(), kept, earlier), kept);
    return true;
}

QList<StoreLedger::Stock> StoreLedger::stock() const
{
    QList<Stock> kinds;
    QHash<QString, int> at;
    for (const StoreEntry &entry : entries) {
        auto found = at.constFind(entry.key);
        if (found == at.constEnd()) {
            found = at.insert(entry.key, int(kinds.size()));
            Stock stock;
            stock.key = entry.key;
            kinds.append(stock);
        }
        Stock &stock = kinds[found.value()];
        if (entry.kind == StoreEntry::Delivery) {
            stock.delivered += entry.quantity;
            stock.cost += entry.cost;
        } else {
            stock.issued += entry.quantity;
        }
    }
    return kinds;
}

QHash<QString, double> StoreLedger::issuedBetween(const QDateTime &after, const QDateTime &upTo) const
{
    QHash<QString, double> issued;
    for (const StoreEntry &entry : entries) {
        const QDateTime moment = entry.moment();
        if (entry.kind == StoreEntry::Issue && moment > after && moment <= upTo)
            issued[entry.key] += entry.quantity;
    }
    return issued;
}

StockFill StockFill::apply(Inventory &inventory, ItemInventory &items, const QHash<QString, double> &issued,
                           QHash<QString, double> *earlier)
{
    StockFill fill;
    QSet<QString> matched;
    // Bottles and pieces apart, so that an item named like an EAN fills nothing of the bottle's row.
    const auto fillOne = [&](const QString &remembered, double *value, double wanted, bool hasIssue) {
        const auto before = earlier->constFind(remembered);
        const bool filledBefore = before != earlier->constEnd();
        const bool ours = *value == 0 || (filledBefore && before.value() == *value);
        earlier->remove(remembered);
        if (!ours) {
            if (hasIssue)
                ++fill.kept;
            return false;
        }
        if (!hasIssue) {
            // A fill of a wider period, or of an issue since deleted, goes when its issues go.
            if (filledBefore)
                *value = 0;
            return filledBefore;
        }
        *value = wanted;
        earlier->insert(remembered, wanted);
        ++fill.filled;
        return true;
    };
    bool bottlesChanged = false;
    for (SalesRow &row : inventory.rows) {
        if (row.ean.isEmpty())
            continue;
        const auto found = issued.constFind(row.ean);
        const bool hasIssue = found != issued.constEnd();
        if (hasIssue)
            matched.insert(row.ean);
        if (hasIssue && row.bottleVolume <= 0) {
            fill.noVolume << row.name.trimmed();
            continue;
        }
        const double millilitres = hasIssue ? std::round(found.value() * double(row.bottleVolume)) : 0;
        double value = double(row.fromStock);
        if (fillOne(QStringLiteral("b:") + row.ean, &value, millilitres, hasIssue)) {
            row.fromStock = qint64(value);
            bottlesChanged = true;
        }
    }
    bool itemsChanged = false;
    for (AppendedItem &item : items.rows) {
        const QString name = item.name.trimmed();
        if (name.isEmpty())
            continue;
        const auto found = issued.constFind(name);
        const bool hasIssue = found != issued.constEnd();
        if (hasIssue)
            matched.insert(name);
        if (fillOne(QStringLiteral("i:") + name, &item.fromStock, hasIssue ? found.value() : 0, hasIssue))
            itemsChanged = true;
    }
    for (auto it = issued.cbegin(); it != issued.cend(); ++it) {
        if (!matched.contains(it.key()))
            fill.noRow << it.key();
    }
    std::sort(fill.noRow.begin(), fill.noRow.end());
    if (bottlesChanged) {
        inventory.modified = true;
        inventory.calculate();
    }
    if (itemsChanged) {
        items.modified = true;
        items.calculate();
    }
    return fill;
}

QString StockFill::text(const QHash<QString, QString> &names) const
{
    QStringList unmatched;
    for (const QString &key : noRow)
        unmatched << (names.contains(key) ? names.value(key) + QStringLiteral(" (") + key + QLatin1Char(')') : key);
    QStringList parts;
    parts << tr("Rows of From Stock filled from the store's issues: %1.").arg(filled);
    if (kept > 0)
        parts << tr("Typed values kept: %1.").arg(kept);
    if (!noRow.isEmpty())
        parts << tr("Issued without a row in the table: %1.").arg(unmatched.join(QStringLiteral(", ")));
    if (!noVolume.isEmpty())
        parts << tr("No bottle volume for: %1.").arg(noVolume.join(QStringLiteral(", ")));
    return parts.join(QLatin1Char(' '));
}
