#pragma once

#include "tillsales.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A till's sales export as a table of text fields, before its columns are given meaning.
struct TillTable
{
    QString encoding;        // how the bytes were read: "UTF-8", "UTF-16LE", "Windows-1250", "xlsx", ...
    QStringList header;      // the line naming the columns
    QList<QStringList> rows; // the lines after the header
    QList<int> lineNumbers;  // the line (or sheet row) of the file each of `rows` comes from
    QList<QStringList> preamble; // what stands above the header: titles, the period

    int columnCount() const { return int(header.size()); }
    // The header folded and joined: the same layout gives the same key whatever its case and accents.
    QString layoutKey() const;
    // "3: Net Sales", or "3" for a column without a header.
    QString columnLabel(int column) const;
};

// Which column holds what; -1 is none. The product needs a name or a code, and the amount is required.
struct TillColumns
{
    enum Role { Name, Code, Quantity, Unit, Amount, RoleCount };
    int column[RoleCount] = {-1, -1, -1, -1, -1};

    int &operator[](Role role) { return column[role]; }
    int operator[](Role role) const { return column[role]; }
    bool operator==(const TillColumns &other) const;
    bool isUsable(int columnCount) const;
    // "name=2,code=1,quantity=4,unit=-,amount=7" with 1-based numbers; what --till-columns and the
    // remembered choices are written as.
    QString toText() const;
    // Each COL a 1-based number or a header text (compared folded); roles not named stay -1.
    static bool fromText(const QString &text, const QStringList &header, TillColumns *columns,
                         QString *reason);
    static QString roleName(Role role); // "name", "code", ...
};

// What was read, and every line that was not counted with the reason.
struct TillReading
{
    TillFigures figures;
    QStringList refused; // "line 7: \"x\" is not an amount: ..." – the user must hear of these
    QStringList skipped; // totals and summary lines, which the till added itself
};

namespace TillExport {

// The first bytes of an .xlsx workbook (a zip archive).
bool isWorkbook(const QByteArray &bytes);

// The bytes of an export file, within the 16 MiB a till export can reasonably have.
bool readFile(const QString &path, QByteArray *bytes, QString *reason);

// The table of a CSV or .xlsx export: the header is the first line, after any title lines, that names
// columns. False with `reason` when none does.
bool readTable(const QByteArray &bytes, TillTable *table, QString *reason);

// The columns a program can choose alone. `certain` is set when the header and the content leave no doubt
// (a single column for each role, amounts net of discounts and with VAT); otherwise the choice is a
// proposal for the user to confirm.
TillColumns guessColumns(const TillTable &table, bool *certain);
// The columns that could hold each role, for the user to choose from ("amount: 5: Gross, 7: Net").
QStringList candidates(const TillTable &table);
// The columns chosen, as the command line reports them: "name: 2 "Item Name", code: -, ...".
QString describe(const TillTable &table, const TillColumns &columns);

// An amount as tills write it: "-$9.00", "(65.00)", "65,00-", "−65,00", "1 152,-", "CZK 1'234.50".
enum class Number { Ok, NotANumber, Ambiguous };
Number parseAmount(const QString &text, double *value, QString *readings = nullptr);

// Millilitres of one unit of the quantity: from a unit ("4cl", "0,04 l", "40 ml", "l"), 0 for pieces or
// no unit known.
double portionOf(const QString &text);
// The portion written at the end of a product name ("Tuzemák 4cl"), or 0; `rest` receives the name
// without it.
double portionInName(const QString &name, QString *rest = nullptr);

// The figures of `table` read with `columns`: refunds subtract, a product sold on many lines is one line,
// totals and summary lines are skipped.
bool read(const TillTable &table, const TillColumns &columns, TillReading *reading, QString *reason);

// The user's choices of columns per layout, kept beside the till matches.
class RememberedColumns
{
public:
    static QString fileName() { return QStringLiteral("tillColumns.txt"); }
    void load(const QString &path);
    bool save(const QString &path, QString *reason = nullptr) const;
    bool find(const TillTable &table, TillColumns *columns) const;
    void remember(const TillTable &table, const TillColumns &columns);

private:
    QList<QPair<QString, QString>> choices; // layout key, TillColumns::toText
};

} // namespace TillExport
