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
};

// One line per count: fingerprint and first download in UTC. Lines of any other shape
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
        QStringLiteral("^([0-9a-f]{64}) (\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}Z)$"));
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const QRegularExpressionMatch match = shape.match(QString::fromLatin1(line.trimmed()));
        if (!match.hasMatch())
            continue;
        const Entry entry{match.captured(1), QDateTime::fromString(match.captured(2), Qt::ISODate)};
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
} // namespace

namespace DownloadRecord {

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
    entries.append({print, first});
    while (entries.size() > kept)
        entries.removeFirst();
    QByteArray bytes;
    for (const Entry &entry : qAsConst(entries))
        bytes += entry.fingerprint.toLatin1() + ' ' + entry.first.toString(Qt::ISODate).toLatin1() + '\n';
    QString why;
    if (!writeFileWhole(path, bytes, &why)) {
        qCWarning(lcDownloadRecord) << "Download record not written:" << path << why;
        if (written)
            *written = false;
        if (reason)
            *reason = why;
    }
    return QDateTime();
}

} // namespace DownloadRecord
