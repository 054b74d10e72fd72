// The till's sales export, CSV in any of its encodings or an .xlsx workbook. Every line it takes holds finite
// numbers within the reader's bounds, no line vanishes without being named, whatever columns are chosen, and
// the figures written into a table file read back equal.
#include "fuzzcheck.h"

#include "countdocument.h"
#include "tillexport.h"
#include "tillsales.h"

#include <QByteArray>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

#include <cmath>

namespace {
QString tablePath;

bool near(double a, double b)
{
    // Fifteen significant digits are written; money and quantities never need more.
    return std::fabs(a - b) <= 1e-9 * std::fmax(1.0, std::fabs(a));
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
    static QTemporaryDir folder;
    tablePath = folder.filePath(QStringLiteral("table.inv"));
    return 0;
}

namespace {
void checkLines(const QList<TillLine> &lines)
{
    for (const TillLine &line : lines) {
        FUZZ_CHECK(std::isfinite(line.quantity) && std::isfinite(line.amount));
        FUZZ_CHECK(std::isfinite(line.portion) && line.portion >= 0 && line.portion <= 1e6);
    }
}

// The reader with the columns it chooses and with columns drawn from the input, as a user might choose
// them: every row of the table is a product, refused or skipped, never lost.
void checkColumns(const QByteArray &bytes)
{
    TillTable table;
    QString reason;
    if (!TillExport::readTable(bytes, &table, &reason)) {
        FUZZ_CHECK(!reason.isEmpty());
        return;
    }
    FUZZ_CHECK(table.rows.size() == table.lineNumbers.size());
    bool certain = false;
    TillColumns columns[2] = {TillExport::guessColumns(table, &certain), TillColumns()};
    FUZZ_CHECK(!certain || columns[0].isUsable(table.columnCount()));
    const uint seed = qHash(bytes);
    for (int role = 0; role < TillColumns::RoleCount; ++role)
        columns[1].column[role] = int((seed >> (role * 6)) % uint(table.columnCount() + 1)) - 1;
    for (const TillColumns &chosen : columns) {
        TillReading reading;
        if (!TillExport::read(table, chosen, &reading, &reason)) {
            FUZZ_CHECK(!chosen.isUsable(table.columnCount()));
            continue;
        }
        FUZZ_CHECK(reading.figures.lines.size() + reading.refused.size() + reading.skipped.size() <=
                   table.rows.size());
        FUZZ_CHECK(reading.refused.size() + reading.skipped.size() <= table.rows.size());
        checkLines(reading.figures.lines);
        TillColumns back;
        FUZZ_CHECK(TillColumns::fromText(chosen.toText(), table.header, &back, nullptr) && back == chosen);
    }
    for (const QString &cell : table.header) {
        double value = 0;
        if (TillExport::parseAmount(cell, &value) == TillExport::Number::Ok)
            FUZZ_CHECK(std::isfinite(value) && std::fabs(value) <= 1e12);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    checkColumns(bytes);
    TillFigures figures;
    QStringList rejected;
    QString reason;
    if (!TillSales::parse(bytes, &figures, &rejected, &reason)) {
        FUZZ_CHECK(!reason.isEmpty());
        return 0;
    }
    // Lines of text, or rows of a sheet: a workbook's rows are not its bytes' line ends.
    if (!TillExport::isWorkbook(bytes))
        FUZZ_CHECK(figures.lines.size() + rejected.size() <= bytes.count('\n') + bytes.count('\r') + 1);
    checkLines(figures.lines);

    QByteArray document;
    QXmlStreamWriter writer(&document);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("inventory"));
    TillSales::writeXML(writer, figures);
    writer.writeEndElement();
    writer.writeEndDocument();
    QFile file(tablePath);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(document) == document.size());
    file.close();

    // Only the till's element: the document's reader reads it before it finds the table incomplete.
    CountDocument table;
    CountDocument::read(tablePath, &table);
    const TillFigures &back = table.till;
    FUZZ_CHECK(back.hasQuantities == (figures.hasQuantities && !figures.lines.isEmpty()));
    FUZZ_CHECK(back.lines.size() == figures.lines.size());
    for (int i = 0; i < figures.lines.size(); ++i) {
        const TillLine &a = figures.lines.at(i);
        const TillLine &b = back.lines.at(i);
        FUZZ_CHECK(Fuzz::xmlText(a.code) == b.code && Fuzz::xmlText(a.name) == b.name);
        FUZZ_CHECK(near(a.quantity, b.quantity) && near(a.amount, b.amount) && near(a.portion, b.portion));
    }
    return 0;
}
