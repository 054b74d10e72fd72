#include "xlsxsheet.h"

#include <QCoreApplication>
#include <QLocale>
#include <QLoggingCategory>
#include <QXmlStreamReader>

#include <zip.h>

#include <cmath>

Q_LOGGING_CATEGORY(lcXlsxSheet, "xlsxsheet")

namespace {

// A till export inflated beyond this is no till export, whatever the archive claims (a zip bomb).
constexpr zip_uint64_t maximumEntry = 16 * 1024 * 1024;
// Far beyond any till's columns; a cell reference past it is damage.
constexpr int maximumColumns = 1024;

QString tr(const char *text)
{
    return QCoreApplication::translate("XlsxSheet", text);
}

class Archive
{
public:
    explicit Archive(const QByteArray &bytes)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t *source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
        if (source) {
            archive = zip_open_from_source(source, ZIP_RDONLY, &error);
            if (!archive)
                zip_source_free(source);
        }
        zip_error_fini(&error);
    }
    ~Archive()
    {
        if (archive)
            zip_discard(archive);
    }
    Archive(const Archive &) = delete;
    Archive &operator=(const Archive &) = delete;

    bool isOpen() const { return archive != nullptr; }

    // The entry's bytes; false when it is missing, damaged or too large.
    bool read(const char *name, QByteArray *bytes, bool *missing = nullptr) const
    {
        if (missing)
            *missing = false;
        const zip_int64_t index = zip_name_locate(archive, name, 0);
        if (index < 0) {
            if (missing)
                *missing = true;
            return false;
        }
        zip_file_t *file = zip_fopen_index(archive, zip_uint64_t(index), 0);
        if (!file)
            return false;
        bytes->clear();
        char buffer[65536];
        bool ok = true;
        for (;;) {
            const zip_int64_t got = zip_fread(file, buffer, sizeof buffer);
            if (got < 0) {
                ok = false;
                break;
            }
            if (got == 0)
                break;
            if (zip_uint64_t(bytes->size()) + zip_uint64_t(got) > maximumEntry) {
                qCWarning(lcXlsxSheet, "%s inflates beyond %llu bytes", name,
                          static_cast<unsigned long long>(maximumEntry));
                ok = false;
                break;
            }
            bytes->append(buffer, int(got));
        }
        zip_fclose(file);
        return ok;
    }

private:
    zip_t *archive = nullptr;
};

// "BC12" -> column 54 (0-based); -1 when it is no cell reference.
int columnOf(const QString &reference)
{
    int column = 0;
    int letters = 0;
    for (const QChar c : reference) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) {
            column = column * 26 + (c.unicode() - 'A' + 1);
            if (++letters > 3)
                return -1;
        } else {
            break;
        }
    }
    return letters == 0 || column > maximumColumns ? -1 : column - 1;
}

// The text of a <si> or <is>: the <t> elements inside it, rich text runs included, phonetic runs left out.
QString textOf(QXmlStreamReader &xml)
{
    const QString element = xml.name().toString();
    QString text;
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("rPh"))
            ++phonetic;
        else if (xml.isEndElement() && xml.name() == QLatin1String("rPh"))
            --phonetic;
        else if (xml.isStartElement() && xml.name() == QLatin1String("t") && phonetic == 0)
            text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.isEndElement() && xml.name() == element)
            break;
    }
    return text;
}

QString numberText(const QString &stored)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(stored, &ok);
    if (!ok || !std::isfinite(value))
        return stored;
    QString text = QString::number(value, 'f', 6);
    while (text.contains(QLatin1Char('.')) && (text.endsWith(QLatin1Char('0')) || text.endsWith(QLatin1Char('.'))))
        text.chop(1);
    const int point = int(text.indexOf(QLatin1Char('.')));
    if (point >= 0 && text.size() - point - 1 == 3)
        text += QLatin1Char('0');
    return text;
}

} // namespace

namespace XlsxSheet {

bool readFirstSheet(const QByteArray &bytes, QList<QStringList> *rows, QList<int> *rowNumbers, QString *reason)
{
    rows->clear();
    rowNumbers->clear();
    const auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    const Archive archive(bytes);
    if (!archive.isOpen())
        return fail(tr("The file looks like an .xlsx workbook but cannot be opened as one."));

    // The first sheet of the workbook's list, through the relationship that names its part.
    QByteArray part;
    QString sheetPart = QStringLiteral("xl/worksheets/sheet1.xml");
    QByteArray workbook;
    QByteArray relations;
    if (archive.read("xl/workbook.xml", &workbook) && archive.read("xl/_rels/workbook.xml.rels", &relations)) {
        QString firstId;
        QXmlStreamReader xml(workbook);
        while (!xml.atEnd() && firstId.isEmpty()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("sheet")) {
                for (const QXmlStreamAttribute &attribute : xml.attributes()) {
                    if (attribute.name() == QLatin1String("id"))
                        firstId = attribute.value().toString();
                }
            }
        }
        QXmlStreamReader rels(relations);
        while (!rels.atEnd() && !firstId.isEmpty()) {
            if (rels.readNext() == QXmlStreamReader::StartElement &&
                rels.name() == QLatin1String("Relationship") &&
                rels.attributes().value(QLatin1String("Id")) == firstId) {
                QString target = rels.attributes().value(QLatin1String("Target")).toString();
                if (target.startsWith(QLatin1Char('/')))
                    target = target.mid(1);
                else
                    target = QStringLiteral("xl/") + target;
                if (!target.contains(QLatin1String("..")))
                    sheetPart = target;
                break;
            }
        }
    }
    bool missing = false;
    if (!archive.read(sheetPart.toUtf8().constData(), &part, &missing))
        return fail(missing ? tr("The workbook has no sheet.")
                            : tr("The first sheet of the workbook is damaged or larger than 16 MiB."));

    QStringList shared;
    QByteArray strings;
    bool noStrings = false;
    if (archive.read("xl/sharedStrings.xml", &strings, &noStrings)) {
        QXmlStreamReader xml(strings);
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("si"))
                shared << textOf(xml);
        }
    } else if (!noStrings) {
        return fail(tr("The texts of the workbook are damaged or larger than 16 MiB."));
    }

    QXmlStreamReader xml(part);
    QStringList row;
    int rowNumber = 0;
    int nextColumn = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("row")) {
            row.clear();
            nextColumn = 0;
            const int number = xml.attributes().value(QLatin1String("r")).toInt();
            rowNumber = number > 0 ? number : rowNumber + 1;
        } else if (xml.isEndElement() && xml.name() == QLatin1String("row")) {
            rows->append(row);
            rowNumbers->append(rowNumber);
        } else if (xml.isStartElement() && xml.name() == QLatin1String("c")) {
            const QXmlStreamAttributes attributes = xml.attributes();
            const QString reference = attributes.value(QLatin1String("r")).toString();
            const QString type = attributes.value(QLatin1String("t")).toString();
            int column = reference.isEmpty() ? nextColumn : columnOf(reference);
            if (column < 0 || column < nextColumn)
                return fail(tr("A cell of the sheet has a damaged reference: %1").arg(reference));
            QString value;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == QLatin1String("v"))
                    value = xml.readElementText();
                else if (xml.isStartElement() && xml.name() == QLatin1String("is"))
                    value = textOf(xml);
                else if (xml.isEndElement() && xml.name() == QLatin1String("c"))
                    break;
            }
            if (type == QLatin1String("s")) {
                bool ok = false;
                const int index = value.toInt(&ok);
                value = ok && index >= 0 && index < shared.size() ? shared.at(index) : QString();
            } else if (type.isEmpty() || type == QLatin1String("n")) {
                value = numberText(value);
            }
            while (row.size() < column)
                row << QString();
            row << value.trimmed();
            nextColumn = column + 1;
        }
    }
    if (xml.hasError())
        return fail(tr("The first sheet of the workbook is damaged: %1").arg(xml.errorString()));
    qCDebug(lcXlsxSheet, "%d rows from %s", int(rows->size()), qUtf8Printable(sheetPart));
    return true;
}

} // namespace XlsxSheet
