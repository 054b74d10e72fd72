#include "downloadrecord.h"

#include "inventorybottle.h"
#include "savefile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>

Q_LOGGING_CATEGORY(lcDownloadRecord, "downloadrecord")

namespace {
// Anything larger is no record of ours; it is not read into memory.
constexpr qint64 maxFileSize = 64 * 1024;

struct Entry
{
    QString fingerprint;
    QDateTime first; // UTC
    quint32 table = 0; // the table it was saved as, 0 for none
};

// One line per count: fingerprint, first download in UTC and, once saved, the table number. Lines of any
// other shape
// (a cut-off write of an older program, a hand edit, a foreign file) are passed over.
QList<Entry> readEntries(const QString &path)
{
    QList<Entry> entries;
    QFile file(path);
    if (!file.exists())
        return entries;
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxFileSize) {
        qCWarning(lcDownloadRecord) << "Download record not read:" << path << file.errorString();
        return entries;
    }
    static const QRegularExpression shape(
        QStringLiteral("^([0-9a-f]{64}) (\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}Z)(?: (\\d{1,10}))?$"));
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const QRegularExpressionMatch match = shape.match(QString::fromLatin1(line.trimmed()));
        if (!match.hasMatch())
            continue;
        const Entry entry{match.captured(1), QDateTime::fromString(match.captured(2), Qt::ISODate),
                          match.captured(3).toUInt()};
        if (entry.first.isValid())
            entries.append(entry);
    }
    return entries;
}

const Entry *find(const QList<Entry> &entries, const QString &fingerprint)
{
    for (const Entry &entry : entries) {
        if (entry.fingerprint == fingerprint)
            return &entry;
    }
    return nullptr;
}

bool writeEntries(const QString &path, QList<Entry> entries, QString *reason)
{
    while (entries.size() > DownloadRecord::kept)
        entries.removeFirst();
    QByteArray bytes;
    for (const Entry &entry : qAsConst(entries)) {
        bytes += entry.fingerprint.toLatin1() + ' ' + entry.first.toString(Qt::ISODate).toLatin1();
        if (entry.table != 0)
            bytes += ' ' + QByteArray::number(entry.table);
        bytes += '\n';
    }
    QString why;
    if (writeFileWhole(path, bytes, &why))
        return true;
    qCWarning(lcDownloadRecord) << "Download record not written:" << path << why;
    if (reason)
        *reason = why;
    return false;
}
} // namespace

namespace DownloadRecord {

// SHA-256 of the weighings in the station's order, as hexadecimal text.
QString fingerprint(const QList<InventoryBottle> &inventory)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const InventoryBottle &bottle : inventory) {
        hash.addData(bottle.ean.toUtf8());
        hash.addData(";", 1);
        hash.addData(QByteArray::number(bottle.weight));
        hash.addData("\n", 1);
    }
    return QString::fromLatin1(hash.result().toHex());
}

quint32 savedAs(const QString &path, const QString &fingerprint)
{
    const QList<Entry> entries = readEntries(path);
    const Entry *entry = find(entries, fingerprint);
    return entry ? entry->table : 0;
}

bool markSaved(const QString &path, const QString &fingerprint, quint32 table, const QDateTime &now,
               QString *reason)
{
    if (fingerprint.isEmpty())
        return true;
    QList<Entry> entries = readEntries(path);
    bool found = false;
    for (Entry &entry : entries) {
        if (entry.fingerprint == fingerprint) {
            entry.table = table;
            found = true;
        }
    }
    if (!found)
        entries.append({fingerprint, QDateTime::fromSecsSinceEpoch(now.toSecsSinceEpoch()).toUTC(), table});
    return writeEntries(path, entries, reason);
}

QDateTime remember(const QString &path, const QList<InventoryBottle> &inventory, const QDateTime &now,
                   bool *written, QString *reason)
{
    if (written)
        *written = true;
    if (inventory.isEmpty())
        return QDateTime();
    QList<Entry> entries = readEntries(path);
    const QString print = fingerprint(inventory);
    if (const Entry *entry = find(entries, print))
        return entry->first.toLocalTime();
    // Whole seconds: the record holds no more, and a time read back must equal the one shown now.
    const QDateTime first = QDateTime::fromSecsSinceEpoch(now.toSecsSinceEpoch()).toUTC();
    entries.append({print, first, 0});
    if (!writeEntries(path, entries, reason) && written)
        *written = false;
    return QDateTime();
}

} // namespace DownloadRecord
