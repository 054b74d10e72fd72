#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QXmlStreamWriter;

// One product line of a till's sales export: what the point of sale says it sold and took.
struct TillLine
{
    QString code; // EAN or the till's own product code; may be empty
    QString name;
    double quantity = 0; // portions or pieces, as the till counts them
    double amount = 0;   // money taken, in the table's currency
    // Millilitres of one unit of the quantity ("Rum 4cl": 40, a quantity in litres: 1000); 0 when the till
    // counts in the table's sell units or pieces.
    double portion = 0;
};

// What the till took in the period: one amount typed by the user, the lines of a sales export, or both.
struct TillFigures
{
    bool hasAmount = false;
    double amount = 0;
    bool hasQuantities = false; // the export had a quantity column
    QList<TillLine> lines;

    bool isEmpty() const { return !hasAmount && lines.isEmpty(); }
    // The typed amount when there is one (it covers what the export may miss), else the sum of the lines.
    double total() const;
};

// Reading a till's sales export and keeping the till figures in a table file.
namespace TillSales {

// The text of an export: UTF-8 with or without a byte order mark, UTF-16 in either byte order with or
// without one, otherwise Windows-1250. `encoding` receives the name of what was used.
QString decode(const QByteArray &bytes, QString *encoding = nullptr);

// The lines of an export (CSV or .xlsx) with the columns TillExport would choose alone. Lines that were
// not counted are listed in `rejected` with the reason ("line 7: ..."), so that nothing the till sold
// vanishes unnoticed. False, with `reason`, when no column of names or codes and amounts can be found.
bool parse(const QByteArray &bytes, TillFigures *figures, QStringList *rejected, QString *reason);
bool read(const QString &path, TillFigures *figures, QStringList *rejected, QString *reason);

// Lower case without diacritics or repeated blanks, so that "Množství" and "MNOZSTVI" read alike.
QString folded(const QString &text);

// A decimal number as tills and people write it: "1 234,50", "1,234.50", "12.5", "-3", "99 Kč".
bool parseNumber(QString text, double *number);

// The till figures as one element of the table file. Its name and its attribute-only children are ones the
// table readers pass over, so an older copy of the program still imports the file unchanged; the table
// file's reader (CountDocument) reads them back and passes over attributes it does not know.
void writeXML(QXmlStreamWriter &writer, const TillFigures &figures);

} // namespace TillSales
