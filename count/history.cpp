#include "history.h"

#include "countdocument.h"
#include "savefile.h"
#include "settings.h"
#include "tillcomparison.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLoggingCategory>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <cmath>
#include <utility>

Q_LOGGING_CATEGORY(lcHistory, "history")

namespace History {

namespace {
Count fromDocument(const CountDocument &document, const TillMatches &matches)
{
    Count count;
    count.counter = document.counter;
    count.from = document.start;
    count.to = document.end;
    count.currency = document.currency;
    count.opening = document.opening;
    count.replaces = document.replaces;
    count.alcohol = document.alcohol();
    count.items = document.itemSales();
    for (const SalesRow &row : document.rows) {
        count.sold[row.ean] += row.soldQuantity;
        count.names.insert(row.ean, row.name);
    }
    count.hasTill = !document.till.isEmpty();
    if (count.hasTill) {
        // The comparison the sales page shows for this count, from what the count saved.
        Inventory inventory;
        inventory.rows = document.rows;
        inventory.total = count.alcohol;
        ItemInventory items;
        items.rows = document.items;
        items.total = count.items;
        const TillComparison comparison = TillComparison::compare(inventory, items, document.till, matches);
        count.till.money = comparison.variance;
        for (const TillVariance &row : comparison.rows) {
            count.till.units += row.units;
            if (!row.ean.isEmpty()) {
                Count::Variance &bottle = count.tillByEan[row.ean];
                bottle.money += row.money;
                bottle.units += row.units;
            }
        }
    }
    return count;
}

// Reads a count in a worker thread, with the matches every count of one listing shares.
struct FileReader
{
    using result_type = Count;
    const TillMatches *matches = nullptr;
    Count operator()(const QString &path) const;
};

Count FileReader::operator()(const QString &path) const
{
    CountDocument document;
    const CountDocument::Reading reading = CountDocument::read(path, &document);
    Count count;
    if (reading.ok()) {
        count = fromDocument(document, *matches);
    } else {
        count.damaged = true;
        count.unreadable = reading.result == CountDocument::Result::Unreadable;
        count.problem = reading.reason;
        qCWarning(lcHistory, "%s is not read: %s", qUtf8Printable(QFileInfo(path).fileName()),
                  qUtf8Printable(reading.reason));
    }
    count.path = path;
    return count;
}

// The number in a history name: "yyyyMMdd-HHmmss-" and ten digits, then ".inv" or a further "-n.inv".
quint32 numberInName(const QString &name, bool *ok)
{
    *ok = false;
    if (name.size() < 30 || name.at(15) != QLatin1Char('-'))
        return 0;
    return name.mid(16, 10).toUInt(ok);
}

// What the list needs of every count, kept beside the counts so that opening the history does not parse
// years of tables again. An entry stands for its file only while the file's name, size and time of change
// are the ones recorded; a file that changed is read again, and an index that is damaged in any way is
// passed over as a whole and written anew. The till variance of a count also depends on the kept till
// matches: the index records a checksum of them, and when they changed, every count with till figures is
// compared again.
namespace Index {
constexpr char fileName[] = ".index"; // no "*.inv", so the listing of the counts passes over it
constexpr quint32 magic = 0x514d4849;
constexpr qint32 version = 3; // 3: the till variance
// A file changed within this time of its last reading could change again with the same size and time on
// a file system that keeps times in whole seconds (or two); such a file waits for a later index.
constexpr qint64 settleMs = 3000;

struct Entry
{
    qint64 size = -1;
    qint64 modified = 0; // ms since 1970
    Count count;
};

void writeTime(QDataStream &out, const QDateTime &time)
{
    out << time.isValid() << (time.isValid() ? time.toMSecsSinceEpoch() : qint64(0));
}

QDateTime readTime(QDataStream &in)
{
    bool valid = false;
    qint64 ms = 0;
    in >> valid >> ms;
    return valid ? QDateTime::fromMSecsSinceEpoch(ms) : QDateTime();
}

QByteArray checksum(const QByteArray &payload)
{
    return QCryptographicHash::hash(payload, QCryptographicHash::Sha1);
}

// The checksum of the kept till matches (of their absence too) that the variances were found with.
QByteArray matchesSum(const QByteArray &matches)
{
    return QCryptographicHash::hash(matches, QCryptographicHash::Sha1);
}

// The entries of the index; those with till figures only when the index was written with `matches`.
QHash<QString, Entry> read(const QDir &dir, const QByteArray &matches)
{
    QFile file(dir.filePath(QLatin1String(fileName)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const int sumSize = QCryptographicHash::hashLength(QCryptographicHash::Sha1);
    const QByteArray payload = bytes.left(bytes.size() - sumSize);
    if (bytes.size() <= sumSize || checksum(payload) != bytes.right(sumSize)) {
        qCWarning(lcHistory, "The index of the history is damaged; the counts are read again");
        return {};
    }
    QDataStream in(payload);
    in.setVersion(QDataStream::Qt_5_15);
    quint32 fileMagic = 0;
    qint32 fileVersion = 0;
    QStringList strings;
    qint32 entries = 0;
    in >> fileMagic >> fileVersion;
    if (fileMagic != magic || fileVersion != version)
        return {};
    QByteArray writtenWith;
    in >> writtenWith;
    const bool sameMatches = writtenWith == matches;
    // Every count read from the file is held against the bytes left before anything is reserved for it:
    // the checksum stops damage, not a crafted file, and a list read whole would reserve what its count
    // claims (2^31 strings abort the program).
    const auto left = [&in] { return in.device()->bytesAvailable(); };
    quint32 stringCount = 0;
    in >> stringCount;
    constexpr qint64 smallestString = 4; // the length of an empty one
    if (in.status() != QDataStream::Ok || qint64(stringCount) > left() / smallestString)
        return {};
    strings.reserve(qsizetype(stringCount));
    for (quint32 i = 0; i < stringCount && in.status() == QDataStream::Ok; ++i) {
        QString text;
        in >> text;
        strings.append(text);
    }
    in >> entries;
    // A name, two sizes, two flags and counter, two times, two sums, a row count, the till flag, the till
    // variance and a count of bottles in it at the least.
    constexpr qint64 smallestEntry = 4 + 8 + 8 + 1 + 4 + 9 + 9 + 8 + 8 + 4 + 1 + 8 + 8 + 4;
    if (in.status() != QDataStream::Ok || entries < 0 || qint64(entries) > left() / smallestEntry)
        return {};
    QHash<QString, Entry> index;
    qint32 passedOver = 0;
    for (qint32 i = 0; i < entries && in.status() == QDataStream::Ok; ++i) {
        QString name;
        Entry entry;
        qint32 rows = 0;
        in >> name >> entry.size >> entry.modified >> entry.count.damaged >> entry.count.problem >>
            entry.count.counter >> entry.count.currency >> entry.count.opening >> entry.count.replaces;
        entry.count.from = readTime(in);
        entry.count.to = readTime(in);
        in >> entry.count.alcohol >> entry.count.items >> rows;
        constexpr qint64 rowSize = 4 + 4 + 8;
        if (rows < 0 || qint64(rows) > left() / rowSize)
            return {};
        entry.count.sold.reserve(std::max(0, std::min(rows, qint32(strings.size()))));
        for (qint32 row = 0; row < rows && in.status() == QDataStream::Ok; ++row) {
            qint32 ean = -1;
            qint32 rowName = -1;
            qint64 sold = 0;
            in >> ean >> rowName >> sold;
            if (ean < 0 || ean >= strings.size() || rowName < -1 || rowName >= strings.size())
                return {};
            entry.count.sold.insert(strings.at(ean), sold);
            if (rowName >= 0)
                entry.count.names.insert(strings.at(ean), strings.at(rowName));
        }
        qint32 bottles = 0;
        in >> entry.count.hasTill >> entry.count.till.money >> entry.count.till.units >> bottles;
        constexpr qint64 bottleSize = 4 + 8 + 8;
        if (bottles < 0 || qint64(bottles) > left() / bottleSize)
            return {};
        entry.count.tillByEan.reserve(std::max(0, std::min(bottles, qint32(strings.size()))));
        for (qint32 bottle = 0; bottle < bottles && in.status() == QDataStream::Ok; ++bottle) {
            qint32 ean = -1;
            Count::Variance variance;
            in >> ean >> variance.money >> variance.units;
            if (ean < 0 || ean >= strings.size())
                return {};
            entry.count.tillByEan.insert(strings.at(ean), variance);
        }
        // Compared with other matches than there are now: read again.
        if (entry.count.hasTill && !sameMatches) {
            ++passedOver;
            continue;
        }
        index.insert(name, entry);
    }
    if (in.status() != QDataStream::Ok || !in.atEnd() || index.size() + passedOver != entries)
        return {};
    return index;
}

void write(const QDir &dir, const QList<QPair<QString, Entry>> &entries, const QByteArray &matches)
{
    // Every EAN and name once: ten years of a bar repeat the same few hundred bottles.
    QStringList strings;
    QHash<QString, qint32> numbers;
    const auto number = [&](const QString &text) {
        const auto known = numbers.constFind(text);
        if (known != numbers.constEnd())
            return known.value();
        strings.append(text);
        return numbers.insert(text, qint32(strings.size() - 1)).value();
    };
    QByteArray rows;
    QDataStream rowsOut(&rows, QIODevice::WriteOnly);
    rowsOut.setVersion(QDataStream::Qt_5_15);
    for (const auto &named : entries) {
        const Count &count = named.second.count;
        rowsOut << named.first << named.second.size << named.second.modified << count.damaged << count.problem
                << count.counter << count.currency << count.opening << count.replaces;
        writeTime(rowsOut, count.from);
        writeTime(rowsOut, count.to);
        rowsOut << count.alcohol << count.items << qint32(count.sold.size());
        for (auto it = count.sold.cbegin(); it != count.sold.cend(); ++it) {
            const auto rowName = count.names.constFind(it.key());
            rowsOut << number(it.key()) << (rowName == count.names.cend() ? -1 : number(rowName.value()))
                    << it.value();
        }
        rowsOut << count.hasTill << count.till.money << count.till.units << qint32(count.tillByEan.size());
        for (auto it = count.tillByEan.cbegin(); it != count.tillByEan.cend(); ++it)
            rowsOut << number(it.key()) << it.value().money << it.value().units;
    }
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    out << magic << version << matches << strings << qint32(entries.size());
    payload += rows;
    QString reason;
    // Only a speed-up: a folder that cannot take it costs a slower start, nothing else.
    if (!writeFileWhole(dir.filePath(QLatin1String(fileName)), payload + checksum(payload), &reason))
        qCDebug(lcHistory, "The index of the history was not written: %s", qUtf8Printable(reason));
}
} // namespace Index
} // namespace

QString folder(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QLatin1String(DataFile::history));
}

QString tillMatchesPath(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QLatin1String(DataFile::tillMatches));
}

QString fileName(const QDateTime &end, quint32 counter)
{
    return end.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
           QStringLiteral("-%1.inv").arg(counter, 10, 10, QLatin1Char('0'));
}

bool read(const QByteArray &document, Count *count)
{
    CountDocument read;
    const CountDocument::Reading reading = CountDocument::parse(document, &read);
    const QString path = count->path;
    if (reading.ok()) {
        *count = fromDocument(read, TillMatches());
    } else {
        *count = Count();
        count->damaged = true;
        count->problem = reading.reason;
    }
    count->path = path;
    return reading.ok();
}

bool keep(const QString &dataFolder, const QByteArray &document, QString *reason, QString *keptPath)
{
    if (keptPath)
        keptPath->clear();
    Count count;
    if (!read(document, &count)) {
        if (reason)
            *reason = QCoreApplication::translate("History", "It is not an inventory table.");
        return false;
    }
    const QDir dir(folder(dataFolder));
    if (!dir.mkpath(QStringLiteral("."))) {
        if (reason)
            *reason = QCoreApplication::translate("History", "The folder %1 cannot be created.")
                          .arg(QDir::toNativeSeparators(dir.path()));
        return false;
    }
    QString name = fileName(count.to, count.counter);
    for (int further = 2; QFileInfo::exists(dir.filePath(name)); ++further) {
        QFile existing(dir.filePath(name));
        // The same table imported again is kept already.
        if (existing.open(QIODevice::ReadOnly) && existing.readAll() == document)
            return true;
        name = fileName(count.to, count.counter);
        // "_" sorts after ".", so the further copy follows the first in count order.
        name.insert(name.size() - 4, QStringLiteral("_%1").arg(further));
    }
    if (!writeFileWhole(dir.filePath(name), document, reason))
        return false;
    if (keptPath)
        *keptPath = dir.filePath(name);
    return true;
}

quint32 highestNumber(const QString &dataFolder)
{
    quint32 highest = 0;
    const QStringList names = QDir(folder(dataFolder)).entryList({QStringLiteral("*.inv")}, QDir::Files);
    for (const QString &name : names) {
        bool ok = false;
        const quint32 number = numberInName(name, &ok);
        if (ok)
            highest = std::max(highest, number);
    }
    return highest;
}

QString copyOf(const QString &dataFolder, quint32 counter)
{
    const QDir dir(folder(dataFolder));
    const QStringList names = dir.entryList({QStringLiteral("*.inv")}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        bool ok = false;
        if (numberInName(name, &ok) == counter && ok)
            return dir.filePath(name);
    }
    return QString();
}

QList<Count> list(const QString &dataFolder)
{
    const qint64 started = QDateTime::currentMSecsSinceEpoch();
    const QDir dir(folder(dataFolder));
    const QFileInfoList files =
        // Folders as well: one named like a table is listed as a file that cannot be read, not passed over.
        dir.entryInfoList({QStringLiteral("*.inv")}, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                          QDir::Name);
    // The checksum first: matches changed after it was taken make the next listing compare again.
    QByteArray matchesBytes;
    QFile matchesFile(tillMatchesPath(dataFolder));
    if (matchesFile.open(QIODevice::ReadOnly))
        matchesBytes = matchesFile.read(qint64(4) * 1024 * 1024 + 1);
    const QByteArray matchesSum = Index::matchesSum(matchesBytes);
    TillMatches matches;
    matches.load(matchesFile.fileName());
    const QHash<QString, Index::Entry> index = Index::read(dir, matchesSum);

    QList<QPair<QString, Index::Entry>> entries;
    entries.reserve(files.size());
    QStringList unread;
    QList<int> unreadAt;
    for (const QFileInfo &file : files) {
        Index::Entry entry;
        entry.size = file.size();
        entry.modified = file.lastModified().toMSecsSinceEpoch();
        const auto known = index.constFind(file.fileName());
        if (known != index.constEnd() && known->size == entry.size && known->modified == entry.modified) {
            entry.count = known->count;
            entry.count.path = file.filePath();
        } else {
            unread.append(file.filePath());
            unreadAt.append(entries.size());
        }
        entries.append({file.fileName(), entry});
    }
    // Years of counts are many megabytes of XML; each file is read on its own, so every core can take some.
    FileReader reader;
    reader.matches = &matches;
    const QList<Count> fresh = QtConcurrent::blockingMapped<QList<Count>>(unread, reader);
    for (int i = 0; i < fresh.size(); ++i)
        entries[unreadAt.at(i)].second.count = fresh.at(i);

    QList<QPair<QString, Index::Entry>> settled;
    for (const auto &entry : std::as_const(entries)) {
        // A damaged or unreadable file is read again every time: mending it or its permissions changes
        // neither its size nor its time.
        if (entry.second.modified + Index::settleMs <= started && !entry.second.count.damaged)
            settled.append(entry);
    }
    if (!unread.isEmpty() || settled.size() != index.size())
        Index::write(dir, settled, matchesSum);

    QList<Count> counts;
    counts.reserve(entries.size());
    QHash<quint32, quint32> correctedBy; // table number -> the later table that corrects it
    for (const auto &entry : std::as_const(entries)) {
        counts.append(entry.second.count);
        const Count &count = entry.second.count;
        if (!count.damaged && count.replaces != 0 && count.replaces != count.counter)
            correctedBy.insert(count.replaces, std::max(correctedBy.value(count.replaces), count.counter));
    }
    // One count, one entry: a table saved again replaces the one it corrects in every sum.
    for (Count &count : counts) {
        if (!count.damaged)
            count.replacedBy = correctedBy.value(count.counter);
    }
    return counts;
}

Imported importFolder(const QString &dataFolder, const QString &sourceFolder, QString *reason)
{
    Imported imported;
    const QDir source(sourceFolder);
    const QStringList names = source.entryList({QStringLiteral("*.inv"), QStringLiteral("*.INV")},
                                               QDir::Files, QDir::Name);
    for (const QString &name : names) {
        QFile file(source.filePath(name));
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        Count count;
        if (!read(bytes, &count)) {
            imported.damaged.append(name);
            continue;
        }
        if (!keep(dataFolder, bytes, reason))
            return imported;
        imported.added.append(name);
    }
    return imported;
}

QString shownTime(const QDateTime &time)
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QByteArray csv(const QList<Count> &counts)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("History", text); };
    QStringList lines;
    lines.append(QStringList{tr("Table"), tr("From"), tr("To"), tr("Alcohol Sales"), tr("Other Items"),
                             tr("Total Sales"), tr("Currency"), tr("Till Variance"),
                             tr("Till Variance [sell units]")}
                     .join(QLatin1Char(';')));
    const auto money = [](double value) { return QString::number(value, 'f', 2); };
    for (const Count &count : counts) {
        if (!count.counted())
            continue;
        lines.append(QStringList{QString::number(count.counter), shownTime(count.from), shownTime(count.to),
                                 money(count.alcohol), money(count.items), money(count.total()),
                                 Settings::currencyName(count.currency),
                                 count.hasTill ? money(count.till.money) : QString(),
                                 count.hasTill ? QString::number(count.till.units, 'f', 2) : QString()}
                         .join(QLatin1Char(';')));
    }
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

QList<QPair<QString, QString>> bottles(const QList<Count> &counts)
{
    QHash<QString, QString> names;
    for (const Count &count : counts) {
        for (auto it = count.names.cbegin(); it != count.names.cend(); ++it)
            names.insert(it.key(), it.value());
    }
    QList<QPair<QString, QString>> list;
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        list.append({it.key(), it.value()});
    std::sort(list.begin(), list.end(), [](const auto &a, const auto &b) {
        return a.second.trimmed() == b.second.trimmed() ? a.first < b.first
                                                        : a.second.trimmed() < b.second.trimmed();
    });
    return list;
}

} // namespace History
