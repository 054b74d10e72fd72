#include "countdocument.h"

#include "settings.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QLoggingCategory>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>

Q_LOGGING_CATEGORY(lcCountDocument, "countdocument")

namespace {

// Far beyond the largest table a bar makes (a few hundred kilobytes); a larger file is not read into memory.
constexpr qint64 maxFileSize = 64 * 1024 * 1024;

// Far beyond any bar's stock or takings; the program never writes more, so more is damage, not a count.
constexpr double maxNumber = 1e15;

bool wholeNumber(const QString &text, qint64 *value)
{
    bool ok = false;
    const qint64 number = text.trimmed().toLongLong(&ok);
    if (!ok || number > qint64(maxNumber) || number < -qint64(maxNumber))
        return false;
    *value = number;
    return true;
}

bool decimalNumber(const QString &text, double *value)
{
    bool ok = false;
    const double number = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(number) || std::fabs(number) > maxNumber)
        return false;
    *value = number;
    return true;
}

// The shortest text that reads back as the same double: six significant digits turned a price of
// 12345.67 into 12345.7 on the way through the table file.
QString gNumber(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString msText(const QDateTime &time)
{
    return QString::number(time.toMSecsSinceEpoch());
}

// Reads one document; every fault ends the reading where it is, with what was read before it kept.
class Parser
{
    Q_DECLARE_TR_FUNCTIONS(CountDocument)

public:
    Parser(const QByteArray &bytes, CountDocument *document) : xml(bytes), doc(document) {}

    CountDocument::Reading run()
    {
        if (!xml.readNextStartElement()) {
            damage(tr("It is not an inventory table."));
            return reading;
        }
        if (xml.name() != QLatin1String("inventory")) {
            damage(tr("It is not an inventory table."));
            return reading;
        }
        while (!failed && xml.readNextStartElement()) {
            const QStringView name = xml.name();
            if (name == QLatin1String("bottle"))
                bottle();
            else if (name == QLatin1String("item"))
                item();
            else if (name == QLatin1String("timeStart") || name == QLatin1String("timeEnd"))
                time(name == QLatin1String("timeEnd"));
            else if (name == QLatin1String("counter"))
                counter();
            else if (name == QLatin1String("till"))
                till();
            else if (name == QLatin1String("count"))
                record();
            else
                xml.skipCurrentElement(); // an element of a newer program
        }
        if (failed)
            return reading;
        if (xml.hasError()) {
            damage(tr("Line %1: %2").arg(xml.lineNumber()).arg(xml.errorString()));
            return reading;
        }
        if (!reading.haveCounter)
            damage(tr("It holds no table number."));
        else if (!reading.haveEnd)
            damage(tr("It holds no end of its period."));
        return reading;
    }

private:
    void damage(const QString &reason)
    {
        failed = true;
        reading.result = CountDocument::Result::Damaged;
        reading.reason = reason;
        qCWarning(lcCountDocument, "%s", qUtf8Printable(reason));
    }

    // The element's text; false (with the damage recorded) when the document breaks inside it.
    bool text(QString *value)
    {
        *value = xml.readElementText();
        if (!xml.hasError())
            return true;
        damage(tr("Line %1: %2").arg(xml.lineNumber()).arg(xml.errorString()));
        return false;
    }

    void notANumber(const QString &row, const QString &field, const QString &value)
    {
        damage(tr("Line %1: row %2: %3 \"%4\" is not a number the program writes.")
                   .arg(xml.lineNumber())
                   .arg(row, field, value));
    }

    void time(bool isEnd)
    {
        QString value;
        if (!text(&value))
            return;
        qint64 ms = 0;
        bool ok = false;
        ms = value.trimmed().toLongLong(&ok);
        if (!ok) {
            damage(tr("Line %1: the period bound \"%2\" is not a time.").arg(xml.lineNumber()).arg(value));
            return;
        }
        (isEnd ? doc->end : doc->start) = QDateTime::fromMSecsSinceEpoch(ms);
        if (isEnd)
            reading.haveEnd = true;
    }

    void counter()
    {
        QString value;
        if (!text(&value))
            return;
        bool ok = false;
        const quint32 number = value.trimmed().toUInt(&ok);
        if (!ok) {
            damage(tr("Line %1: the table number \"%2\" is not a number.").arg(xml.lineNumber()).arg(value));
            return;
        }
        doc->counter = number;
        reading.haveCounter = true;
    }

    void bottle()
    {
        const QXmlStreamAttributes attributes = xml.attributes();
        if (!attributes.hasAttribute(QLatin1String("ean"))) {
            damage(tr("Line %1: a row has no EAN.").arg(xml.lineNumber()));
            return;
        }
        SalesRow row;
        row.ean = attributes.value(QLatin1String("ean")).toString();
        const int number = doc->rows.size() + 1;
        const auto rowName = [&row, number] {
            return QStringLiteral("%1 \"%2\" (EAN %3)").arg(number).arg(row.name, row.ean);
        };
        // Ten years of counts are tens of megabytes: names are compared in place, each text read once.
        static const char *const integers[] = {"sellUnit",      "initialQuantity",       "fromStock",
                                               "measuredValue", "residualBottlesVolume", "finalQuantity",
                                               "soldQuantity"};
        qint64 *const integerFields[] = {&row.sellUnit,      &row.initialQuantity,       &row.fromStock,
                                         &row.measuredValue, &row.residualBottlesVolume, &row.finalQuantity,
                                         &row.soldQuantity};
        while (xml.readNextStartElement()) {
            const QStringView child = xml.name();
            if (child == QLatin1String("name")) {
                if (!text(&row.name))
                    return;
                continue;
            }
            const char *field = nullptr;
            qint64 *integer = nullptr;
            double *decimal = nullptr;
            for (size_t i = 0; i < sizeof integers / sizeof *integers && !field; ++i) {
                if (child == QLatin1String(integers[i])) {
                    field = integers[i];
                    integer = integerFields[i];
                }
            }
            if (!field && child == QLatin1String("pricePerUnit")) {
                field = "pricePerUnit";
                decimal = &row.pricePerUnit;
            } else if (!field && child == QLatin1String("totalAmount")) {
                field = "totalAmount";
                decimal = &row.totalAmount;
            }
            if (!field) {
                // An overview file has weights in its rows: it is no table.
                damage(tr("Line %1: row %2 holds \"%3\", which no inventory table holds.")
                           .arg(xml.lineNumber())
                           .arg(rowName(), child.toString()));
                return;
            }
            QString value;
            if (!text(&value))
                return;
            if (integer ? !wholeNumber(value, integer) : !decimalNumber(value, decimal)) {
                notANumber(rowName(), QLatin1String(field), value);
                return;
            }
        }
        if (!xml.hasError())
            doc->rows.append(row);
    }

    void item()
    {
        AppendedItem item;
        const int number = doc->items.size() + 1;
        while (xml.readNextStartElement()) {
            const QStringView child = xml.name();
            double *field = nullptr;
            if (child == QLatin1String("name")) {
                if (!text(&item.name))
                    return;
                continue;
            }
            if (child == QLatin1String("sellUnit"))
                field = &item.sellUnit;
            else if (child == QLatin1String("pricePerUnit"))
                field = &item.pricePerUnit;
            else if (child == QLatin1String("initialQuantity"))
                field = &item.initialQuantity;
            else if (child == QLatin1String("fromStock"))
                field = &item.fromStock;
            else if (child == QLatin1String("finalQuantity"))
                field = &item.finalQuantity;
            else if (child == QLatin1String("soldQuantity"))
                field = &item.soldQuantity;
            else if (child == QLatin1String("totalAmount"))
                field = &item.totalAmount;
            const QString name = child.toString();
            QString value;
            if (!text(&value))
                return;
            if (field && !decimalNumber(value, field)) {
                notANumber(tr("%1 of the appended items, \"%2\"").arg(number).arg(item.name), name, value);
                return;
            }
        }
        if (!xml.hasError())
            doc->items.append(item);
    }

    // Attributes only, so that readers that know nothing of the till pass over it; attributes a later
    // program adds are passed over here.
    void till()
    {
        const auto number = [](const QXmlStreamAttributes &attributes, const char *name, double *value) {
            return decimalNumber(attributes.value(QLatin1String(name)).toString(), value);
        };
        TillFigures &figures = doc->till;
        const QXmlStreamAttributes attributes = xml.attributes();
        figures.hasAmount = number(attributes, "amount", &figures.amount);
        figures.hasQuantities = attributes.value(QLatin1String("quantities")) == QLatin1String("1");
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("tillLine")) {
                const QXmlStreamAttributes line = xml.attributes();
                TillLine read;
                read.code = line.value(QLatin1String("code")).toString();
                read.name = line.value(QLatin1String("name")).toString();
                // A portion that cannot be read leaves the quantity in sell units, as files without one have it.
                if (line.hasAttribute(QLatin1String("portion")) &&
                    (!number(line, "portion", &read.portion) || read.portion < 0))
                    read.portion = 0;
                if (number(line, "quantity", &read.quantity) && number(line, "amount", &read.amount))
                    figures.lines.append(read);
                else
                    qCWarning(lcCountDocument, "A till line has no readable numbers");
            }
            xml.skipCurrentElement();
        }
    }

    void record()
    {
        const QXmlStreamAttributes attributes = xml.attributes();
        doc->currency = Settings::currencyOfCode(attributes.value(QLatin1String("currency")).toString());
        doc->opening = attributes.value(QLatin1String("opening")) == QLatin1String("1");
        doc->replaces = attributes.value(QLatin1String("replaces")).toUInt();
        xml.skipCurrentElement();
    }

    QXmlStreamReader xml;
    CountDocument *doc;
    CountDocument::Reading reading;
    bool failed = false;
};

} // namespace

double CountDocument::alcohol() const
{
    double sum = 0;
    for (const SalesRow &row : rows)
        sum += row.totalAmount;
    return sum;
}

double CountDocument::itemSales() const
{
    double sum = 0;
    for (const AppendedItem &item : items)
        sum += item.totalAmount;
    return sum;
}

CountDocument::Reading CountDocument::read(const QString &path, CountDocument *document)
{
    *document = CountDocument();
    QFile file(path);
    Reading reading;
    if (!file.exists()) {
        reading.result = Result::Missing;
        return reading;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        reading.result = Result::Unreadable;
        reading.reason = file.errorString();
        qCWarning(lcCountDocument, "%s cannot be read: %s", qUtf8Printable(path),
                  qUtf8Printable(reading.reason));
        return reading;
    }
    if (file.size() > maxFileSize) {
        reading.result = Result::Damaged;
        reading.reason =
            QCoreApplication::translate("CountDocument", "It is too large to be an inventory table.");
        return reading;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reading.result = Result::Unreadable;
        reading.reason = file.errorString();
        return reading;
    }
    return parse(bytes, document);
}

CountDocument::Reading CountDocument::parse(const QByteArray &bytes, CountDocument *document)
{
    *document = CountDocument();
    return Parser(bytes, document).run();
}

QByteArray CountDocument::bytes() const
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("inventory"));
    writer.writeTextElement(QStringLiteral("timeStart"), msText(start));
    writer.writeTextElement(QStringLiteral("timeEnd"), msText(end));
    writer.writeTextElement(QStringLiteral("counter"), QString::number(counter));
    for (const SalesRow &row : rows) {
        writer.writeStartElement(QStringLiteral("bottle"));
        writer.writeAttribute(QStringLiteral("ean"), row.ean);
        writer.writeTextElement(QStringLiteral("name"), row.name);
        writer.writeTextElement(QStringLiteral("sellUnit"), QString::number(row.sellUnit));
        writer.writeTextElement(QStringLiteral("pricePerUnit"), gNumber(row.pricePerUnit));
        writer.writeTextElement(QStringLiteral("initialQuantity"), QString::number(row.initialQuantity));
        writer.writeTextElement(QStringLiteral("fromStock"), QString::number(row.fromStock));
        writer.writeTextElement(QStringLiteral("measuredValue"), QString::number(row.measuredValue));
        writer.writeTextElement(QStringLiteral("residualBottlesVolume"),
                                QString::number(row.residualBottlesVolume));
        writer.writeTextElement(QStringLiteral("finalQuantity"), QString::number(row.finalQuantity));
        writer.writeTextElement(QStringLiteral("soldQuantity"), QString::number(row.soldQuantity));
        writer.writeTextElement(QStringLiteral("totalAmount"), gNumber(row.totalAmount));
        writer.writeEndElement();
    }
    for (const AppendedItem &item : items) {
        writer.writeStartElement(QStringLiteral("item"));
        writer.writeTextElement(QStringLiteral("name"), item.name);
        writer.writeTextElement(QStringLiteral("sellUnit"), gNumber(item.sellUnit));
        writer.writeTextElement(QStringLiteral("pricePerUnit"), gNumber(item.pricePerUnit));
        writer.writeTextElement(QStringLiteral("initialQuantity"), gNumber(item.initialQuantity));
        writer.writeTextElement(QStringLiteral("fromStock"), gNumber(item.fromStock));
        writer.writeTextElement(QStringLiteral("finalQuantity"), gNumber(item.finalQuantity));
        writer.writeTextElement(QStringLiteral("soldQuantity"), gNumber(item.soldQuantity));
        writer.writeTextElement(QStringLiteral("totalAmount"), gNumber(item.totalAmount));
        writer.writeEndElement();
    }
    TillSales::writeXML(writer, till);
    // Attributes of an element no earlier reader looks at: those readers take every element at any depth by
    // its name, so nothing new may be named like the elements above or hold text of its own.
    writer.writeEmptyElement(QStringLiteral("count"));
    const QString code = Settings::currencyCode(currency);
    if (!code.isEmpty())
        writer.writeAttribute(QStringLiteral("currency"), code);
    if (opening)
        writer.writeAttribute(QStringLiteral("opening"), QStringLiteral("1"));
    if (replaces != 0)
        writer.writeAttribute(QStringLiteral("replaces"), QString::number(replaces));
    writer.writeEndElement();
    writer.writeEndDocument();
    return out;
}
