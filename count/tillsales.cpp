#include "tillsales.h"

#include "tillexport.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QLoggingCategory>
#include <QVector>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>

Q_LOGGING_CATEGORY(lcTillSales, "tillsales")

double TillFigures::total() const
{
    if (hasAmount)
        return amount;
    double sum = 0;
    for (const TillLine &line : lines)
        sum += line.amount;
    return sum;
}

namespace TillSales {

namespace {

// Windows-1250 from 0x80 up; 0xFFFD where the code page has no character.
// clang-format off
const char16_t windows1250[128] = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021,
    0xFFFD, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};
// clang-format on

// Whether `bytes` is well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool isUtf8(const QByteArray &bytes)
{
    const int size = bytes.size();
    for (int i = 0; i < size;) {
        const uchar c = uchar(bytes.at(i));
        int more = 0;
        uint code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + more >= size)
            return false;
        for (int k = 1; k <= more; ++k) {
            const uchar next = uchar(bytes.at(i + k));
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if ((more == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (more == 3 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
        i += more + 1;
    }
    return true;
}

} // namespace

QString folded(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D).toLower();
    QString plain;
    plain.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            plain.append(c);
    }
    return plain.simplified();
}

namespace {
// UTF-16 without a byte order mark: text of Latin letters has a zero in every other byte.
int utf16Order(const QByteArray &bytes)
{
    const int size = int(qMin<qsizetype>(bytes.size(), 4096)) & ~1;
    if (size < 4)
        return 0;
    int evenZeros = 0;
    int oddZeros = 0;
    for (int i = 0; i < size; i += 2) {
        evenZeros += bytes.at(i) == 0;
        oddZeros += bytes.at(i + 1) == 0;
    }
    const int pairs = size / 2;
    if (oddZeros * 10 >= pairs * 3 && evenZeros * 10 < pairs)
        return 1; // little endian
    if (evenZeros * 10 >= pairs * 3 && oddZeros * 10 < pairs)
        return 2; // big endian
    return 0;
}

QString fromUtf16(const char *data, int size, bool bigEndian)
{
    QString text;
    text.reserve(size / 2);
    for (int i = 0; i + 1 < size; i += 2) {
        const uchar a = uchar(data[i]);
        const uchar b = uchar(data[i + 1]);
        text.append(QChar(bigEndian ? ushort(a << 8 | b) : ushort(b << 8 | a)));
    }
    // A lone surrogate is damage; it would make the text invalid for everything after.
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar(0xFFFD);
    }
    return text;
}

} // namespace

QString decode(const QByteArray &bytes, QString *encoding)
{
    const auto named = [encoding](const char *name) {
        if (encoding)
            *encoding = QLatin1String(name);
    };
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        named("UTF-8");
        return QString::fromUtf8(bytes.constData() + 3, int(bytes.size()) - 3);
    }
    const bool littleBom = bytes.startsWith("\xFF\xFE");
    const bool bigBom = bytes.startsWith("\xFE\xFF");
    const int order = littleBom ? 1 : bigBom ? 2 : utf16Order(bytes);
    if (order != 0) {
        named(order == 1 ? "UTF-16LE" : "UTF-16BE");
        const int skip = littleBom || bigBom ? 2 : 0;
        return fromUtf16(bytes.constData() + skip, int(bytes.size()) - skip, order == 2);
    }
    if (isUtf8(bytes)) {
        named("UTF-8");
        // With its size: Qt 5 would stop at a zero byte and drop the rest of the file unnoticed.
        return QString::fromUtf8(bytes.constData(), int(bytes.size()));
    }
    named("Windows-1250");
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const uchar c = uchar(byte);
        text.append(c < 0x80 ? QChar(c) : QChar(windows1250[c - 0x80]));
    }
    return text;
}

bool parseNumber(QString text, double *number)
{
    text.remove(QLatin1Char(' '));
    text.remove(QChar(0x00A0));
    text.remove(QChar(0x202F));
    text.remove(QLatin1Char('\''));
    // A currency written beside the number: "99 Kč", "€12", "12.50 CZK".
    while (!text.isEmpty() && !text.at(0).isDigit() && text.at(0) != QLatin1Char('-') &&
           text.at(0) != QLatin1Char('+') && text.at(0) != QLatin1Char(',') && text.at(0) != QLatin1Char('.'))
        text.remove(0, 1);
    while (!text.isEmpty() && !text.back().isDigit())
        text.chop(1);
    const int comma = text.lastIndexOf(QLatin1Char(','));
    const int point = text.lastIndexOf(QLatin1Char('.'));
    if (comma >= 0 && point >= 0) {
        // The later mark is the decimal one, the other groups thousands.
        text.remove(comma > point ? QLatin1Char('.') : QLatin1Char(','));
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    } else if (text.count(QLatin1Char(',')) > 1 || text.count(QLatin1Char('.')) > 1) {
        text.remove(comma >= 0 ? QLatin1Char(',') : QLatin1Char('.'));
    } else {
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > 1e12)
        return false;
    *number = value;
    return true;
}

bool parse(const QByteArray &bytes, TillFigures *figures, QStringList *rejected, QString *reason)
{
    TillTable table;
    if (!TillExport::readTable(bytes, &table, reason))
        return false;
    bool certain = false;
    const TillColumns columns = TillExport::guessColumns(table, &certain);
    TillReading reading;
    if (!TillExport::read(table, columns, &reading, reason))
        return false;
    figures->lines = reading.figures.lines;
    figures->hasQuantities = reading.figures.hasQuantities;
    *rejected += reading.refused;
    *rejected += reading.skipped;
    return true;
}

bool read(const QString &path, TillFigures *figures, QStringList *rejected, QString *reason)
{
    QByteArray bytes;
    if (!TillExport::readFile(path, &bytes, reason))
        return false;
    return parse(bytes, figures, rejected, reason);
}

void writeXML(QXmlStreamWriter &writer, const TillFigures &figures)
{
    if (figures.isEmpty())
        return;
    const auto number = [](double value) { return QString::number(value, 'g', 15); };
    writer.writeStartElement(QStringLiteral("till"));
    if (figures.hasAmount)
        writer.writeAttribute(QStringLiteral("amount"), number(figures.amount));
    if (figures.hasQuantities)
        writer.writeAttribute(QStringLiteral("quantities"), QStringLiteral("1"));
    for (const TillLine &line : figures.lines) {
        writer.writeEmptyElement(QStringLiteral("tillLine"));
        writer.writeAttribute(QStringLiteral("code"), line.code);
        writer.writeAttribute(QStringLiteral("name"), line.name);
        writer.writeAttribute(QStringLiteral("quantity"), number(line.quantity));
        writer.writeAttribute(QStringLiteral("amount"), number(line.amount));
        if (line.portion > 0)
            writer.writeAttribute(QStringLiteral("portion"), number(line.portion));
    }
    writer.writeEndElement();
}

} // namespace TillSales
