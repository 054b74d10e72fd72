// The till's sales export. Every line it takes holds finite numbers within the reader's bounds, no line
// vanishes without being named, and the figures written into a table file read back equal.
#include "fuzzcheck.h"

#include "countdocument.h"
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    TillFigures figures;
    QStringList rejected;
    QString reason;
    if (!TillSales::parse(bytes, &figures, &rejected, &reason)) {
        FUZZ_CHECK(!reason.isEmpty());
        return 0;
    }
    FUZZ_CHECK(figures.lines.size() + rejected.size() <= bytes.count('\n') + bytes.count('\r') + 1);
    for (const TillLine &line : figures.lines) {
        FUZZ_CHECK(std::isfinite(line.quantity) && std::fabs(line.quantity) <= 1e12);
        FUZZ_CHECK(std::isfinite(line.amount) && std::fabs(line.amount) <= 1e12);
    }

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
        FUZZ_CHECK(near(a.quantity, b.quantity) && near(a.amount, b.amount));
    }
    return 0;
}
