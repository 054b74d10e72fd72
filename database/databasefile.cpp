#include "database.h"
#include "cipher.h"

#include <QBuffer>
#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

Q_LOGGING_CATEGORY(lcDatabaseFile, "database")

namespace {
const QString itemName = QStringLiteral("dataItem");

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int digits(const QString &text, int from, int count)
{
    int value = 0;
    for (int i = from; i < from + count; ++i)
        value = value * 10 + (text.at(i).unicode() - '0');
    return value;
}

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

quint64 csvNumber(const QByteArray &field)
{
    bool ok = false;
    const qint32 value = QString::fromUtf8(field).toInt(&ok, 10);
    return ok ? static_cast<quint64>(static_cast<qint64>(value)) : 0;
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

QDateTime Database::dateTimeFromText(const QString &text)
{
    // "yyyy-MM-dd hh:mm:ss" exactly, checked by hand: the generic parser is too slow for large catalogues.
    static const char pattern[] = "dddd-dd-dd dd:dd:dd";
    if (text.size() != 19)
        return QDateTime();
    for (int i = 0; i < 19; ++i) {
        if (pattern[i] == 'd' ? !isDigit(text.at(i)) : text.at(i) != QLatin1Char(pattern[i]))
            return QDateTime();
    }
    const QDate date(digits(text, 0, 4), digits(text, 5, 2), digits(text, 8, 2));
    const QTime time(digits(text, 11, 2), digits(text, 14, 2), digits(text, 17, 2));
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::LocalTime);
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

bool Database::saveToFile(const QString &path, bool encrypt) const
{
    QByteArray bytes = toDocument(bottles);
    if (encrypt) {
        QByteArray container;
        encryptData(bytes, container);
        bytes = container;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcDatabaseFile, "Unable to save database file %s: %s", qUtf8Printable(path),
                  qUtf8Printable(file.errorString()));
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        qCWarning(lcDatabaseFile, "Unable to save database file %s: %s", qUtf8Printable(path),
                  qUtf8Printable(file.errorString()));
        file.cancelWriting();
        return false;
    }
    return true;
}

bool Database::parse(const QByteArray &bytes, QList<Bottle> &list, DocumentDamage *damage)
{
    const int zero = bytes.indexOf('\0');
    const QString text = QString::fromUtf8(bytes.constData(), zero < 0 ? bytes.size() : zero);
    list.clear();

    // One fresh record for the whole run: the defaults' timestamps are "now" either way, and taking the
    // clock once per record costs more than the rest of the parse.
    const Bottle fresh;
    QXmlStreamReader xml(text);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != itemName)
            continue;
        Bottle b = fresh;
        while (xml.readNextStartElement()) {
            const QStringRef name = xml.name();
            if (name == QLatin1String("ean")) {
                b.ean = xml.readElementText();
            } else if (name == QLatin1String("nazev")) {
                b.displayName = xml.readElementText();
            } else if (name == QLatin1String("oznaceni")) {
                b.fullName = xml.readElementText();
            } else if (name == QLatin1String("objem")) {
                b.volume = xml.readElementText().toUInt();
            } else if (name == QLatin1String("vahaPlneLahve")) {
                b.fullWeight = xml.readElementText().toUInt();
            } else if (name == QLatin1String("vahaPrazdneLahve")) {
                b.emptyWeight = xml.readElementText().toUInt();
            } else if (name == QLatin1String("vahaObsahu")) {
                b.contentWeight = xml.readElementText().toUInt();
            } else if (name == QLatin1String("korekce")) {
                b.weightCorrection = xml.readElementText().toInt();
            } else if (name == QLatin1String("vybrat")) {
                b.useInInventory = xml.readElementText().toUInt() != 0;
            } else if (name == QLatin1String("upraveno")) {
                b.modified = dateTimeFromText(xml.readElementText());
            } else if (name == QLatin1String("vlozeno")) {
                b.inserted = dateTimeFromText(xml.readElementText());
            } else {
                // Not skipped: its content is read next, so a text-only unknown element ends this item.
                qCWarning(lcDatabaseFile, "unknown XML element: %s", qUtf8Printable(name.toString()));
            }
        }
        list.append(b);
    }

    if (damage) {
        *damage = DocumentDamage();
        if (xml.hasError()) {
            damage->damaged = true;
            damage->line = xml.lineNumber();
            damage->column = xml.columnNumber();
            damage->reason = xml.errorString();
        }
    }
    return true;
}

bool Database::writeDocument(const QList<Bottle> &list, QIODevice *device)
{
    QXmlStreamWriter xml(device);
    xml.setAutoFormatting(true);
    xml.writeStartDocument(QStringLiteral("1.0"));
    xml.writeStartElement(QStringLiteral("data"));
    for (const Bottle &b : list) {
        xml.writeStartElement(itemName);
        xml.writeTextElement(QStringLiteral("ean"), b.ean);
        xml.writeTextElement(QStringLiteral("nazev"), b.displayName);
        xml.writeTextElement(QStringLiteral("oznaceni"), b.fullName);
        xml.writeTextElement(QStringLiteral("objem"), QString::number(b.volume));
        xml.writeTextElement(QStringLiteral("vahaPrazdneLahve"), QString::number(b.emptyWeight));
        xml.writeTextElement(QStringLiteral("vahaPlneLahve"), QString::number(b.fullWeight));
        xml.writeTextElement(QStringLiteral("vahaObsahu"), QString::number(b.contentWeight));
        xml.writeTextElement(QStringLiteral("korekce"), QString::number(b.weightCorrection));
        xml.writeTextElement(QStringLiteral("vybrat"), b.useInInventory ? QStringLiteral("1")
                                                                         : QStringLiteral("0"));
        xml.writeTextElement(QStringLiteral("upraveno"), dateTimeToText(b.modified));
        xml.writeTextElement(QStringLiteral("vlozeno"), dateTimeToText(b.inserted));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return !xml.hasError();
}

QByteArray Database::toDocument(const QList<Bottle> &list)
{
    QByteArray bytes;
    bytes.reserve(64 + list.size() * 480);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeDocument(list, &buffer);
    buffer.close();
    return bytes;
}

QList<Bottle> Database::parseCsv(const QByteArray &bytes)
{
    QList<Bottle> list;
    int start = 0;
    while (start < bytes.size()) {
        int end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end + 1;
        const QByteArray line = chopLineEnd(bytes.mid(start, end - start));
        start = end;

        const QList<QByteArray> fields = line.split(';');
        if (fields.size() != 6)
            continue;
        Bottle b;
        b.ean = QString::fromUtf8(fields.at(0));
        b.fullName = QString::fromUtf8(fields.at(1));
        b.displayName = QString::fromUtf8(utf8Prefix(fields.at(2), 15));
        b.volume = csvNumber(fields.at(3));
        b.fullWeight = csvNumber(fields.at(4));
        b.emptyWeight = csvNumber(fields.at(5));
        qCDebug(lcDatabaseFile, "%s, %s, %u, %u, %u", qUtf8Printable(b.ean), qUtf8Printable(b.displayName),
                static_cast<uint>(b.volume), static_cast<uint>(b.fullWeight),
                static_cast<uint>(b.emptyWeight));
        list.append(b);
    }
    return list;
}

bool Database::readCsvFile(const QString &path, QList<Bottle> &list)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcDatabaseFile, "Unable to open database file");
        return false;
    }
    list = parseCsv(file.readAll());
    return true;
}

bool Database::loadFromCSVFile(const QString &path)
{
    QList<Bottle> list;
    if (!readCsvFile(path, list))
        return false;
    setBottles(list);
    return true;
}
