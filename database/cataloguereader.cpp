#include "cataloguereader.h"

#include "database.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {
constexpr int CsvFields = 6;

QByteArray withoutByteOrderMark(const QByteArray &bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
}

bool readDocument(const QByteArray &bytes, QList<Bottle> *bottles, QString *error)
{
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::StartElement) {
    }
    if (!xml.isStartElement()) {
        *error = QStringLiteral("not a catalogue: %1")
                     .arg(xml.hasError() ? xml.errorString() : QStringLiteral("no element"));
        return false;
    }
    if (xml.name() != QLatin1String("data")) {
        *error = QStringLiteral("not a catalogue: an XML document of another kind (root element <%1>)")
                     .arg(xml.name().toString());
        return false;
    }
    DocumentDamage damage;
    Database::parse(bytes, *bottles, &damage);
    if (damage.damaged) {
        *error = damage.toString();
        return false;
    }
    return true;
}

bool readCsv(const QByteArray &bytes, QList<Bottle> *bottles, QString *error)
{
    // Every line must be a record: a file that is CSV only here and there is something else.
    int lineNumber = 0;
    for (const QByteArray &line : bytes.split('\n')) {
        ++lineNumber;
        const QByteArray text = line.trimmed();
        if (!text.isEmpty() && text.count(';') != CsvFields - 1) {
            *error = QStringLiteral("not a catalogue: line %1 is not ean;fullName;displayName;volume;"
                                    "fullWeight;emptyWeight")
                         .arg(lineNumber);
            return false;
        }
    }
    // Read as 0, such a weight (out of bounds, or with decimals) would be written into the station as it
    // stands; the file is refused whole, as a catalogue document with the same value is.
    QStringList outOfRange;
    *bottles = Database::parseCsv(bytes, &outOfRange);
    if (!outOfRange.isEmpty()) {
        const int shown = 10;
        QString lines = outOfRange.mid(0, shown).join(QStringLiteral("; "));
        if (outOfRange.size() > shown)
            lines += QStringLiteral("; and %1 more lines").arg(outOfRange.size() - shown);
        *error = QStringLiteral("values the station cannot hold: %1").arg(lines);
        return false;
    }
    return true;
}
} // namespace

namespace CatalogueReader {

bool read(const QByteArray &input, QList<Bottle> *bottles, QString *error)
{
    bottles->clear();
    QString reason;
    const QByteArray bytes = withoutByteOrderMark(input);
    const QByteArray start = bytes.trimmed().left(1);
    bool ok = start == "<" ? readDocument(bytes, bottles, &reason) : readCsv(bytes, bottles, &reason);
    // Written into the station, two such rows become one EAN with two weights, and every weighing of it
    // takes the first: the file is refused, naming both.
    const QStringList same = ok ? Database::sameStationEans(*bottles) : QStringList();
    if (!same.isEmpty()) {
        reason = QStringLiteral("rows the station would hold as one EAN: %1").arg(same.join(QStringLiteral("; ")));
        ok = false;
    }
    if (!ok) {
        bottles->clear();
        if (error)
            *error = reason;
    }
    return ok;
}

bool readFile(const QString &path, QList<Bottle> *bottles, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        bottles->clear();
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QString reason;
    if (read(file.readAll(), bottles, &reason))
        return true;
    if (error)
        *error = QStringLiteral("%1: %2").arg(path, reason);
    return false;
}

} // namespace CatalogueReader
