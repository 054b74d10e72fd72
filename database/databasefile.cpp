#include "database.h"
#include "cataloguedocument.h"
#include "cipher.h"
#include "csvfield.h"
#include "savefile.h"

#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>

Q_LOGGING_CATEGORY(lcDatabaseFile, "databasefile")

namespace {
void appendPadded(QString &out, int value, int width)
{
    const QString number = QString::number(value);
    for (int i = number.size(); i < width; ++i)
        out += QLatin1Char('0');
    out += number;
}

// Each line of a CSV import without its line end: CR LF as written by the catalogue's tools, but also the
// bare LF or CR of files that passed through other systems, which would otherwise stick to the last field.
QByteArray chopLineEnd(QByteArray line)
{
    while (!line.isEmpty() && (line.endsWith('\n') || line.endsWith('\r')))
        line.chop(1);
    return line;
}

// At most `limit` bytes of UTF-8 text, never splitting a character.
QByteArray utf8Prefix(const QByteArray &bytes, int limit)
{
    if (bytes.size() <= limit)
        return bytes;
    int end = limit;
    while (end > 0 && (static_cast<uchar>(bytes.at(end)) & 0xC0) == 0x80)
        --end;
    return bytes.left(end);
}

// A volume or weight of the import. A number outside the catalogue's bounds (a negative one used to wrap
// into a huge weight, a large one did not convert at all) and one with decimals ("520.5", "0,7 l") read as
// 0 and are added to `outside` so that they are reported; decimals that are all zero ("1186,0") are the
// whole number they write. A field that is no number at all (a header line's "volume", nothing) stays 0,
// as it always has.
quint64 csvNumber(const QByteArray &field, const char *name, QStringList *outside)
{
    const QString text = QString::fromUtf8(field).trimmed();
    static const QRegularExpression whole(QStringLiteral("^([-+]?\\d+)(?:[.,]0*)?$"));
    static const QRegularExpression numberLike(QStringLiteral("^[-+]?[.,]?\\d"));
    const QRegularExpressionMatch match = whole.match(text);
    if (!match.hasMatch()) {
        if (!numberLike.match(text).hasMatch())
            return 0;
        outside->append(QStringLiteral("%1 %2 is not a whole number").arg(QLatin1String(name), text.left(20)));
        return 0;
    }
    bool ok = false;
    const qint64 value = match.captured(1).toLongLong(&ok, 10);
    // Digits too many for any number are a number too, and far out of bounds.
    if (!ok || value < 0 || quint64(value) > Bottle::maxQuantity) {
        outside->append(QStringLiteral("%1 %2 lies outside 0 to %3")
                            .arg(QLatin1String(name), match.captured(1).left(20))
                            .arg(Bottle::maxQuantity));
        return 0;
    }
    return quint64(value);
}
} // namespace

QString Database::dateTimeToText(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return QString();
    const QDate d = dateTime.date();
    const QTime t = dateTime.time();
    QString out;
    out.reserve(19);
    appendPadded(out, d.year(), 4);
    out += QLatin1Char('-');
    appendPadded(out, d.month(), 2);
    out += QLatin1Char('-');
    appendPadded(out, d.day(), 2);
    out += QLatin1Char(' ');
    appendPadded(out, t.hour(), 2);
    out += QLatin1Char(':');
    appendPadded(out, t.minute(), 2);
    out += QLatin1Char(':');
    appendPadded(out, t.second(), 2);
    return out;
}

bool Database::loadFromFile(const QString &path, bool decrypt, DocumentDamage *damage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    file.close();
    bool readable = true;
    if (decrypt) {
        QByteArray plain;
        readable = decryptData(bytes, plain);
        bytes = plain;
    }
    beginResetModel();
    parse(bytes, bottles, damage);
    invalidateIndex();
    endResetModel();
    if (!readable && damage) {
        damage->damaged = true;
        damage->line = 0;
        damage->column = 0;
        damage->reason = QStringLiteral("not a valid encrypted catalogue");
    }
    return true;
}

bool Database::saveToFile(const QString &path, bool encrypt, QString *reason) const
{
    QByteArray bytes = toDocument(bottles);
    if (encrypt) {
        QByteArray container;
        // An empty container written in place of the catalogue would lose it.
        if (!encryptData(bytes, container)) {
            qCWarning(lcDatabaseFile, "Unable to save database file %s: encryption failed",
                      qUtf8Printable(path));
            if (reason)
                *reason = tr("The catalogue could not be encrypted.");
            return false;
        }
        bytes = container;
    }
    QString why;
    if (writeFileWhole(path, bytes, &why))
        return true;
    qCWarning(lcDatabaseFile, "Unable to save database file %s: %s", qUtf8Printable(path),
              qUtf8Printable(why));
    if (reason)
        *reason = why;
    return false;
}

bool Database::parse(const QByteArray &bytes, QList<Bottle> &list, DocumentDamage *damage)
{
    const int zero = bytes.indexOf('\0');
    const int size = zero < 0 ? bytes.size() : zero;
    // One fresh record for the whole run: the defaults' timestamps are "now" either way, and taking the
    // clock once per record costs more than the rest of the parse.
    const Bottle fresh;
    LocalTimes times;
    // The program's own files take the fast road; anything else, including every damaged document, is read
    // by the general reader from the start.
    if (CatalogueDocument::readCanonical(bytes.constData(), size, fresh, list, times)) {
        if (damage)
            *damage = DocumentDamage();
        return true;
    }
    CatalogueDocument::readStream(bytes.constData(), size, fresh, list, times, damage);
    return true;
}

QByteArray Database::toDocument(const QList<Bottle> &list)
{
    return CatalogueDocument::write(list);
}

QList<Bottle> Database::parseCsv(const QByteArray &bytes, QStringList *outOfRange)
{
    QList<Bottle> list;
    const Bottle fresh; // every record of one import carries the same time of import
    LogLimit outOfRangeLog(lcDatabaseFile());
    int start = 0;
    int lineNumber = 0;
    while (start < bytes.size()) {
        int end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end + 1;
        const QByteArray line = chopLineEnd(bytes.mid(start, end - start));
        start = end;
        ++lineNumber;

        const QList<QByteArray> fields = line.split(';');
        if (fields.size() != 6)
            continue;
        Bottle b = fresh;
        b.ean = QString::fromUtf8(fields.at(0));
        // A name the program exported as text ("'=Gin") reads back as it was.
        b.fullName = csvTextRead(QString::fromUtf8(fields.at(1)));
        b.displayName = QString::fromUtf8(utf8Prefix(csvTextRead(QString::fromUtf8(fields.at(2))).toUtf8(), 15));
        QStringList outside;
        b.volume = csvNumber(fields.at(3), "volume", &outside);
        b.fullWeight = csvNumber(fields.at(4), "full weight", &outside);
        b.emptyWeight = csvNumber(fields.at(5), "empty weight", &outside);
        if (!outside.isEmpty()) {
            if (outOfRangeLog.count())
                qCWarning(lcDatabaseFile, "value out of range, read as 0: %s", line.constData());
            if (outOfRange)
                outOfRange->append(QStringLiteral("line %1: %2").arg(lineNumber).arg(outside.join(", ")));
        }
        qCDebug(lcDatabaseFile, "%s, %s, %u, %u, %u", qUtf8Printable(b.ean), qUtf8Printable(b.displayName),
                static_cast<uint>(b.volume), static_cast<uint>(b.fullWeight),
                static_cast<uint>(b.emptyWeight));
        list.append(b);
    }
    outOfRangeLog.reportRest("values out of range");
    return list;
}
