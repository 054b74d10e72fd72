#include "cataloguedocument.h"
#include "database.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <climits>
#include <cstring>

Q_LOGGING_CATEGORY(lcCatalogueDocument, "cataloguedocument")

namespace {
constexpr int unsteady = INT_MIN;

enum Field {
    Unknown,
    Ean,
    DisplayName,
    FullName,
    Volume,
    EmptyWeight,
    FullWeight,
    ContentWeight,
    Correction,
    Use,
    Modified,
    Inserted,
};

struct FieldName
{
    const char *name;
    int size;
    Field field;
};

const FieldName fieldNames[] = {
    {"ean", 3, Ean},
    {"nazev", 5, DisplayName},
    {"oznaceni", 8, FullName},
    {"objem", 5, Volume},
    {"vahaPrazdneLahve", 16, EmptyWeight},
    {"vahaPlneLahve", 13, FullWeight},
    {"vahaObsahu", 10, ContentWeight},
    {"korekce", 7, Correction},
    {"vybrat", 6, Use},
    {"upraveno", 8, Modified},
    {"vlozeno", 7, Inserted},
};

Field fieldOf(const char *name, int size)
{
    for (const FieldName &f : fieldNames) {
        if (f.size == size && std::memcmp(f.name, name, size) == 0)
            return f.field;
    }
    return Unknown;
}

Field fieldOf(QStringView name)
{
    for (const FieldName &f : fieldNames) {
        if (name == QLatin1String(f.name, f.size))
            return f.field;
    }
    return Unknown;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int digits(const char *text, int count)
{
    int value = 0;
    for (int i = 0; i < count; ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

enum class Reading { Taken, OutOfRange, NotWhole };

// A whole number as people and spreadsheets write one: "1186", "-15", also "1186,0" or "520.00", whose
// decimals are all zero. False for a text that starts as a number and is none ("12.5", "0,7 l"); a text
// that is no number at all (a word, nothing) is 0, as the document has always read it.
bool wholeNumber(const QString &text, qint64 *value)
{
    static const QRegularExpression shape(QStringLiteral("^\\s*([-+]?\\d+)(?:[.,]0*)?\\s*$"));
    static const QRegularExpression numberLike(QStringLiteral("^\\s*[-+]?[.,]?\\d"));
    *value = 0;
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return !numberLike.match(text).hasMatch();
    bool ok = false;
    *value = match.captured(1).toLongLong(&ok);
    if (!ok) // more digits than any number: far out of bounds
        *value = match.captured(1).startsWith(QLatin1Char('-')) ? LLONG_MIN : LLONG_MAX;
    return true;
}

// A number of the document within the catalogue's bounds. Read as 0, a decimal or a number outside the
// bounds would reach the station as a wrong weight (a correction of 12.5 g, an empty weight of 520.5 g),
// so both are reported.
Reading number(const QString &text, qint64 minimum, qint64 maximum, qint64 *value)
{
    if (!wholeNumber(text, value)) {
        *value = 0;
        return Reading::NotWhole;
    }
    if (*value < minimum || *value > maximum) {
        *value = 0;
        return Reading::OutOfRange;
    }
    return Reading::Taken;
}

// Sets a field from its element text with the conversions of the document: dates that do not match give
// an invalid date-time. Anything but Taken when a volume, weight or correction was no whole number or lay
// outside the catalogue's bounds (the field is then 0).
Reading setField(Bottle &b, Field field, const QString &text, LocalTimes &times)
{
    Reading reading = Reading::Taken;
    qint64 value = 0;
    const qint64 quantity = qint64(Bottle::maxQuantity);
    switch (field) {
    case Ean: b.ean = text; break;
    case DisplayName: b.displayName = text; break;
    case FullName: b.fullName = text; break;
    case Volume:
    case EmptyWeight:
    case FullWeight:
        reading = number(text, 0, quantity, &value);
        (field == Volume ? b.volume : field == EmptyWeight ? b.emptyWeight : b.fullWeight) = quint64(value);
        break;
    case ContentWeight: b.contentWeight = text.toUInt(); break;
    case Correction:
        reading = number(text, -Bottle::maxCorrection, Bottle::maxCorrection, &value);
        b.weightCorrection = qint32(value);
        break;
    case Use: b.useInInventory = text.toUInt() != 0; break;
    case Modified: b.modified = times.fromText(text); break;
    case Inserted: b.inserted = times.fromText(text); break;
    case Unknown: break;
    }
    return reading;
}

// Plain decimal digits that fit the field, the common case, without building a string.
bool quickNumber(Bottle &b, Field field, const char *text, int size)
{
    const bool negative = field == Correction && size > 0 && text[0] == '-';
    const int start = negative ? 1 : 0;
    if (size - start < 1 || size - start > 10)
        return false;
    qint64 value = 0;
    for (int i = start; i < size; ++i) {
        if (!isDigit(text[i]))
            return false;
        value = value * 10 + (text[i] - '0');
    }
    if (negative)
        value = -value;
    switch (field) {
    case Volume:
    case EmptyWeight:
    case FullWeight:
        // Out of bounds goes the long way, which reports it.
        if (value > qint64(Bottle::maxQuantity))
            return false;
        (field == Volume ? b.volume : field == EmptyWeight ? b.emptyWeight : b.fullWeight) = quint64(value);
        return true;
    case ContentWeight:
    case Use:
        if (value > UINT_MAX)
            return false;
        if (field == ContentWeight)
            b.contentWeight = quint64(value);
        else
            b.useInInventory = value != 0;
        return true;
    case Correction:
        if (value > Bottle::maxCorrection || value < -Bottle::maxCorrection)
            return false;
        b.weightCorrection = qint32(value);
        return true;
    default:
        return false;
    }
}

struct NamedEntity
{
    const char *name;
    int size;
    char c;
};

const NamedEntity namedEntities[] = {
    {"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&amp;", 5, '&'}, {"&quot;", 6, '"'}, {"&apos;", 6, '\''},
};

// Element text as the XML reader would deliver it, or false for anything it would treat specially
// (references other than the five named entities, carriage returns, characters XML does not allow).
bool decodeText(const char *text, int size, QString *out)
{
    bool ascii = true;
    bool entities = false;
    for (int i = 0; i < size; ++i) {
        const uchar c = static_cast<uchar>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\n')
            return false;
        if (c >= 0x80)
            ascii = false;
        else if (c == '&')
            entities = true;
        else if (c == '>' && i >= 2 && text[i - 1] == ']' && text[i - 2] == ']')
            return false;
    }
    if (!entities) {
        *out = ascii ? QString::fromLatin1(text, size) : QString::fromUtf8(text, size);
    } else {
        QByteArray plain;
        plain.reserve(size);
        for (int i = 0; i < size; ++i) {
            if (text[i] != '&') {
                plain += text[i];
                continue;
            }
            bool found = false;
            for (const NamedEntity &n : namedEntities) {
                if (size - i >= n.size && std::memcmp(text + i, n.name, n.size) == 0) {
                    plain += n.c;
                    i += n.size - 1;
                    found = true;
                    break;
                }
            }
            if (!found)
                return false;
        }
        *out = QString::fromUtf8(plain);
    }
    if (!ascii) {
        for (QChar c : qAsConst(*out)) {
            // Bad UTF-8 shows as U+FFFD, and the reader refuses U+FFFE and U+FFFF: let it decide.
            if (c.unicode() >= 0xFFFD)
                return false;
        }
    }
    return true;
}

class Scanner
{
public:
    Scanner(const char *data, int size) : p(data), end(data + size) {}

    void skipSpace()
    {
        while (p < end && (*p == ' ' || *p == '\n' || *p == '\t' || *p == '\r'))
            ++p;
    }
    bool take(const char *literal, int size)
    {
        if (end - p < size || std::memcmp(p, literal, size) != 0)
            return false;
        p += size;
        return true;
    }
    bool atEnd() const { return p == end; }

    // "<name>" with a plain name; false without moving when something else follows.
    bool startTag(const char **name, int *size)
    {
        if (end - p < 3 || p[0] != '<')
            return false;
        const char *q = p + 1;
        while (q < end && ((*q >= 'a' && *q <= 'z') || (*q >= 'A' && *q <= 'Z')))
            ++q;
        if (q == p + 1 || q == end || *q != '>')
            return false;
        *name = p + 1;
        *size = int(q - p - 1);
        p = q + 1;
        return true;
    }
    bool endTag(const char *name, int size)
    {
        if (end - p < size + 3 || p[0] != '<' || p[1] != '/' || std::memcmp(p + 2, name, size) != 0
            || p[size + 2] != '>')
            return false;
        p += size + 3;
        return true;
    }
    // The text up to the next '<'.
    bool text(const char **text, int *size)
    {
        const void *lt = std::memchr(p, '<', size_t(end - p));
        if (!lt)
            return false;
        *text = p;
        *size = int(static_cast<const char *>(lt) - p);
        p = static_cast<const char *>(lt);
        return true;
    }

private:
    const char *p;
    const char *end;
};

void appendEscaped(QByteArray &out, const QString &text)
{
    bool plain = true;
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 || u == '<' || u == '>' || u == '&' || u == '"' || u >= 0xD800) {
            plain = false;
            break;
        }
    }
    if (plain) {
        out += text.toUtf8();
        return;
    }
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const ushort u = c.unicode();
        switch (u) {
        case '<': escaped += QLatin1String("&lt;"); break;
        case '>': escaped += QLatin1String("&gt;"); break;
        case '&': escaped += QLatin1String("&amp;"); break;
        case '"': escaped += QLatin1String("&quot;"); break;
        // Written raw, a carriage return would come back as a line feed.
        case '\r': escaped += QLatin1String("&#13;"); break;
        case '\t':
        case '\n': escaped += c; break;
        default:
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                escaped += c;
                escaped += text.at(++i);
            } else if (u >= 0x20 && !c.isSurrogate() && u != 0xFFFE && u != 0xFFFF) {
                escaped += c;
            }
            // Anything else cannot stand in an XML document; writing it would make the file unreadable.
            break;
        }
    }
    out += escaped.toUtf8();
}

void appendElement(QByteArray &out, const char *name, const QByteArray &value)
{
    out += "        <";
    out += name;
    out += '>';
    out += value;
    out += "</";
    out += name;
    out += ">\n";
}

void appendTextElement(QByteArray &out, const char *name, const QString &value)
{
    out += "        <";
    out += name;
    out += '>';
    appendEscaped(out, value);
    out += "</";
    out += name;
    out += ">\n";
}
} // namespace

namespace {
// The offset from UTC shared by every local time from `first` to `last` on `date`, or `unsteady` when the
// offset changes in between or a time in that span does not exist.
int steadyOffset(const QDate &date, const QTime &first, const QTime &last)
{
    const QDateTime start(date, first, Qt::LocalTime);
    const QDateTime middle(date, QTime(first.hour() + (last.hour() - first.hour()) / 2, 30), Qt::LocalTime);
    const QDateTime end(date, last, Qt::LocalTime);
    const bool steady = start.isValid() && end.isValid() && start.time() == first && end.time() == last
                     && start.offsetFromUtc() == middle.offsetFromUtc()
                     && start.offsetFromUtc() == end.offsetFromUtc()
                     && start.secsTo(end) == first.secsTo(last);
    return steady ? start.offsetFromUtc() : unsteady;
}
} // namespace

bool LogLimit::count()
{
    return ++seen <= shown;
}

void LogLimit::reportRest(const char *what) const
{
    if (seen > shown)
        qCWarning(category, "%lld more %s not shown", seen - shown, what);
}

QDateTime LocalTimes::make(const QDate &date, const QTime &time)
{
    // Days are looked up first: offsets change on a few days a year, and only there by the hour.
    const qint64 day = date.toJulianDay() * 25;
    auto it = offsets.constFind(day);
    if (it == offsets.constEnd())
        it = offsets.insert(day, steadyOffset(date, QTime(0, 0), QTime(23, 59, 59)));
    if (*it == unsteady) {
        const qint64 hour = day + 1 + time.hour();
        it = offsets.constFind(hour);
        if (it == offsets.constEnd())
            it = offsets.insert(hour, steadyOffset(date, QTime(time.hour(), 0), QTime(time.hour(), 59, 59)));
    }
    if (*it == unsteady)
        return QDateTime(date, time, Qt::LocalTime);
    return QDateTime(date, time, Qt::OffsetFromUTC, *it);
}

QDateTime LocalTimes::fromLatin1(const char *text, int size)
{
    static const char pattern[] = "dddd-dd-dd dd:dd:dd";
    if (size != 19)
        return QDateTime();
    for (int i = 0; i < 19; ++i) {
        if (pattern[i] == 'd' ? !isDigit(text[i]) : text[i] != pattern[i])
            return QDateTime();
    }
    const QDate date(digits(text, 4), digits(text + 5, 2), digits(text + 8, 2));
    const QTime time(digits(text + 11, 2), digits(text + 14, 2), digits(text + 17, 2));
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return make(date, time);
}

QDateTime LocalTimes::fromText(const QString &text)
{
    if (text.size() != 19)
        return QDateTime();
    char latin[19];
    for (int i = 0; i < 19; ++i) {
        const ushort u = text.at(i).unicode();
        if (u > 0x7F)
            return QDateTime();
        latin[i] = char(u);
    }
    return fromLatin1(latin, 19);
}

bool CatalogueDocument::readCanonical(const char *data, int size, const Bottle &fresh, QList<Bottle> &list,
                                      LocalTimes &times)
{
    list.clear();
    Scanner s(data, size);
    // A declaration must open the document; blanks may only follow it.
    s.take("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 38);
    s.skipSpace();
    if (s.take("<data/>", 7)) {
        s.skipSpace();
        return s.atEnd();
    }
    if (!s.take("<data>", 6))
        return false;
    for (;;) {
        s.skipSpace();
        if (s.take("</data>", 7))
            break;
        if (!s.take("<dataItem>", 10))
            return false;
        Bottle b = fresh;
        for (;;) {
            s.skipSpace();
            if (s.take("</dataItem>", 11))
                break;
            const char *name = nullptr;
            int nameSize = 0;
            const char *text = nullptr;
            int textSize = 0;
            if (!s.startTag(&name, &nameSize) || !s.text(&text, &textSize) || !s.endTag(name, nameSize))
                return false;
            const Field field = fieldOf(name, nameSize);
            if (field == Unknown)
                return false;
            if (field == Modified || field == Inserted) {
                const QDateTime when = times.fromLatin1(text, textSize);
                if (when.isValid()) {
                    (field == Modified ? b.modified : b.inserted) = when;
                    continue;
                }
            }
            if (field >= Volume && field <= Use && quickNumber(b, field, text, textSize))
                continue;
            QString value;
            if (!decodeText(text, textSize, &value))
                return false;
            if (setField(b, field, value, times) != Reading::Taken)
                return false; // the general reader reports it
        }
        list.append(b);
    }
    s.skipSpace();
    return s.atEnd();
}

void CatalogueDocument::readStream(const char *data, int size, const Bottle &fresh, QList<Bottle> &list,
                                   LocalTimes &times, DocumentDamage *damage)
{
    list.clear();
    LogLimit unknownElements(lcCatalogueDocument());
    QXmlStreamReader xml(QString::fromUtf8(data, size));
    // A volume or weight the station cannot hold is a fault like broken XML: read as 0 it would reach the
    // station as a wrong weight, so the reading ends before its record, as it does at any other fault.
    DocumentDamage outOfRange;
    while (!xml.atEnd() && !outOfRange.damaged) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("dataItem"))
            continue;
        Bottle b = fresh;
        while (!outOfRange.damaged && xml.readNextStartElement()) {
            const Field field = fieldOf(xml.name());
            if (field == Unknown) {
                // Not skipped: its content is read next, so a text-only unknown element ends this item.
                if (unknownElements.count())
                    qCWarning(lcCatalogueDocument, "unknown XML element: %s",
                              qUtf8Printable(xml.name().toString()));
                continue;
            }
            const QString name = xml.name().toString();
            const qint64 line = xml.lineNumber();
            const qint64 column = xml.columnNumber();
            const QString text = xml.readElementText();
            const Reading reading = setField(b, field, text, times);
            if (reading == Reading::Taken)
                continue;
            qCWarning(lcCatalogueDocument, "value %s: <%s>%s",
                      reading == Reading::NotWhole ? "not a whole number" : "out of range", qUtf8Printable(name),
                      qUtf8Printable(text));
            const qint64 limit =
                field == Correction ? qint64(Bottle::maxCorrection) : qint64(Bottle::maxQuantity);
            const QString what = reading == Reading::NotWhole
                                     ? QStringLiteral("is not a whole number of %1")
                                           .arg(field == Volume ? QStringLiteral("millilitres")
                                                                : QStringLiteral("grams"))
                                     : QStringLiteral("lies outside %1 to %2, which the station cannot hold")
                                           .arg(field == Correction ? -limit : 0)
                                           .arg(limit);
            outOfRange = {true, line, column, QStringLiteral("<%1>%2 %3").arg(name, text.left(20), what)};
        }
        if (!outOfRange.damaged)
            list.append(b);
    }
    unknownElements.reportRest("unknown XML elements");

    if (damage) {
        *damage = outOfRange;
        if (!outOfRange.damaged && xml.hasError()) {
            damage->damaged = true;
            damage->line = xml.lineNumber();
            damage->column = xml.columnNumber();
            damage->reason = xml.errorString();
        }
    }
}

QByteArray CatalogueDocument::write(const QList<Bottle> &list)
{
    QByteArray out;
    out.reserve(64 + list.size() * 520);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    if (list.isEmpty()) {
        out += "<data/>\n";
        return out;
    }
    out += "<data>\n";
    for (const Bottle &b : list) {
        out += "    <dataItem>\n";
        appendTextElement(out, "ean", b.ean);
        appendTextElement(out, "nazev", b.displayName);
        appendTextElement(out, "oznaceni", b.fullName);
        appendElement(out, "objem", QByteArray::number(b.volume));
        appendElement(out, "vahaPrazdneLahve", QByteArray::number(b.emptyWeight));
        appendElement(out, "vahaPlneLahve", QByteArray::number(b.fullWeight));
        appendElement(out, "vahaObsahu", QByteArray::number(b.contentWeight));
        appendElement(out, "korekce", QByteArray::number(b.weightCorrection));
        appendElement(out, "vybrat", b.useInInventory ? QByteArray("1") : QByteArray("0"));
        appendElement(out, "upraveno", Database::dateTimeToText(b.modified).toLatin1());
        appendElement(out, "vlozeno", Database::dateTimeToText(b.inserted).toLatin1());
        out += "    </dataItem>\n";
    }
    out += "</data>\n";
    return out;
}
