#include "tillexport.h"

#include "csvfield.h"
#include "savefile.h"
#include "xlsxsheet.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSet>
#include <QVector>

#include <cmath>

Q_LOGGING_CATEGORY(lcTillExport, "tillexport")

namespace {

// A sales export of a bar is a few hundred lines; anything far bigger is not one.
constexpr qint64 maximumSize = 16 * 1024 * 1024;
// Title lines above the header are few; a header further down is not looked for.
constexpr int headerSearchLines = 40;

QString tr(const char *text)
{
    return QCoreApplication::translate("TillExport", text);
}

// The words of a header or a name, folded: "Gross Amount (incl. voids)" -> gross amount incl voids.
QStringList tokens(const QString &text)
{
    static const QRegularExpression nonWord(QStringLiteral("[^\\p{L}\\p{N}]+"));
    return TillSales::folded(text).split(nonWord, Qt::SkipEmptyParts);
}

bool hasAny(const QStringList &words, std::initializer_list<const char *> wanted)
{
    for (const char *word : wanted) {
        if (words.contains(QLatin1String(word)))
            return true;
    }
    return false;
}

// A phrase of several words, as a run of `words`.
bool hasPhrase(const QStringList &words, std::initializer_list<const char *> phrases)
{
    const QString joined = QLatin1Char(' ') + words.join(QLatin1Char(' ')) + QLatin1Char(' ');
    for (const char *phrase : phrases) {
        if (joined.contains(QLatin1Char(' ') + QLatin1String(phrase) + QLatin1Char(' ')))
            return true;
    }
    return false;
}

// Columns that describe the sale, not the product: a store code is no product code, a category no name.
bool describesSale(const QStringList &words)
{
    return hasAny(words, {"store", "shop", "branch", "location", "outlet", "provozovna", "pokladna", "register",
                          "terminal", "receipt", "doklad", "uctenka", "bill", "check", "order", "transaction",
                          "employee", "waiter", "server", "obsluha", "cashier", "table", "stul", "category",
                          "kategorie", "group", "skupina", "date", "time", "datum", "cas", "payment", "platba",
                          "tender", "kategoria", "kategorie", "gruppe", "warengruppe", "csoport", "kasse",
                          "paragon", "datum", "zeit", "day", "den", "hour", "vat", "dph", "tax", "mwst"}) &&
           !hasAny(words, {"sales", "amount", "trzba", "celkem", "total", "umsatz", "castka"});
}

bool isNameHeader(const QStringList &w)
{
    return hasAny(w, {"name", "product", "item", "article", "artikl", "nazev", "polozka", "zbozi", "popis",
                      "description", "produkt", "bezeichnung", "artikel", "nazwa", "towar", "megnevezes",
                      "termek", "tovar", "napoj", "drink", "menu", "nazov", "cikk"});
}

bool isCodeHeader(const QStringList &w)
{
    return hasAny(w, {"ean", "gtin", "plu", "code", "kod", "barcode", "sku", "id", "cislo", "nummer", "nr",
                      "cikkszam", "vonalkod", "upc", "art", "kody", "indeks"});
}

bool isQuantityHeader(const QStringList &w)
{
    return hasAny(w, {"quantity", "qty", "count", "mnozstvi", "pocet", "ks", "pcs", "sold", "prodano",
                      "menge", "anzahl", "ilosc", "mennyiseg", "db", "units", "mnozstvo", "kusu", "kusy",
                      "szt", "stk", "number"});
}

bool isUnitHeader(const QStringList &w)
{
    return hasAny(w, {"unit", "mj", "jm", "jednotka", "uom", "einheit", "portion", "porce", "measure",
                      "size", "velikost", "objem", "volume", "mertekegyseg", "me"}) ||
           hasPhrase(w, {"m j", "j m"});
}

bool isAmountWord(const QStringList &w)
{
    return hasAny(w, {"amount", "total", "sales", "revenue", "trzba", "trzby", "castka", "celkem", "obrat",
                      "suma", "umsatz", "betrag", "wartosc", "kwota", "osszeg", "takings", "sum", "value",
                      "hodnota", "turnover", "netto", "brutto", "net", "gross", "sprzedaz", "erlos",
                      "forgalom", "trzba", "spolu"});
}

bool isPriceWord(const QStringList &w)
{
    return hasAny(w, {"price", "cena", "preis", "ar", "egysegar"});
}

// How well a header names the money taken: net of discounts, voids and refunds, with VAT. Below zero for
// a column that is plainly some other money (gross of discounts, without VAT, the VAT itself).
int amountScore(const QStringList &w)
{
    int score = 0;
    if (isAmountWord(w))
        score = 3;
    else if (isPriceWord(w))
        score = 1; // a unit price, unless a total word says otherwise
    else
        return 0;
    if (isPriceWord(w) && !hasAny(w, {"total", "celkem", "sum", "suma", "gesamt", "osszesen", "razem"}))
        score -= 3;
    const bool withVat = hasPhrase(w, {"s dph", "vc dph", "vcetne dph", "incl vat", "including vat",
                                       "with vat", "inkl mwst", "mit mwst", "z vat", "brutto", "incl tax",
                                       "including tax", "s dph", "afaval", "brutto"});
    const bool withoutVat =
        hasPhrase(w, {"bez dph", "excl vat", "excluding vat", "ex vat", "without vat", "ohne mwst",
                      "exkl mwst", "bez vat", "netto", "zaklad", "excl tax", "before tax", "pre tax",
                      "afa nelkul", "nettó"});
    if (withVat)
        score += 1;
    if (withoutVat)
        score -= 5;
    else if (!withVat && hasAny(w, {"dph", "vat", "mwst", "tax", "podatek", "afa", "dan"}))
        score -= 6; // the VAT of the line, not its takings
    if (hasAny(w, {"net", "after"}))
        score += 2; // net of discounts and voids
    if (hasAny(w, {"gross", "void", "voids", "storno", "storna", "discount", "discounts", "sleva", "slevy",
                   "rabatt", "rabat", "refund", "refunds", "return", "returns", "cost", "naklad", "naklady",
                   "nakupni", "margin", "marze", "profit", "zisk", "comp", "comps", "tip", "tips", "spropitne",
                   "before", "service", "znizka", "kedvezmeny"}))
        score -= 5;
    return score;
}

QString foldedUnit(const QString &text)
{
    QString unit = TillSales::folded(text);
    unit.remove(QLatin1Char(' '));
    unit.remove(QLatin1Char('.'));
    return unit;
}

// Millilitres of a unit word; 0 for pieces, -1 for no unit.
double unitMl(const QString &unit)
{
    static const QHash<QString, double> units = {
        {QStringLiteral("ml"), 1},     {QStringLiteral("cl"), 10},   {QStringLiteral("dl"), 100},
        {QStringLiteral("l"), 1000},   {QStringLiteral("ltr"), 1000}, {QStringLiteral("litr"), 1000},
        {QStringLiteral("liter"), 1000}, {QStringLiteral("litre"), 1000}, {QStringLiteral("lt"), 1000},
        {QStringLiteral("ks"), 0},     {QStringLiteral("pcs"), 0},   {QStringLiteral("pc"), 0},
        {QStringLiteral("x"), 0},      {QStringLiteral("kus"), 0},   {QStringLiteral("stk"), 0},
        {QStringLiteral("szt"), 0},    {QStringLiteral("db"), 0},    {QStringLiteral("porce"), 0},
        {QStringLiteral("portion"), 0}, {QStringLiteral("each"), 0}, {QStringLiteral("ea"), 0},
        {QStringLiteral("bal"), 0},    {QStringLiteral("lahev"), 0}, {QStringLiteral("bottle"), 0},
    };
    return units.value(unit, -1);
}

// Whether a cell holds letters, as a name does.
bool hasLetters(const QString &text)
{
    for (const QChar c : text) {
        if (c.isLetter())
            return true;
    }
    return false;
}

bool isDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (!c.isDigit())
            return false;
    }
    return true;
}

// The words that stand for a till's own total or subtotal, folded, in Czech, Slovak, German, Polish,
// Hungarian and English.
bool isTotalWord(const QString &word)
{
    static const QSet<QString> words = {
        QStringLiteral("total"),    QStringLiteral("totals"),     QStringLiteral("subtotal"),
        QStringLiteral("grandtotal"), QStringLiteral("celkem"),   QStringLiteral("celkom"),
        QStringLiteral("soucet"),   QStringLiteral("mezisoucet"), QStringLiteral("suma"),
        QStringLiteral("sum"),      QStringLiteral("summe"),      QStringLiteral("gesamt"),
        QStringLiteral("gesamtsumme"), QStringLiteral("zwischensumme"), QStringLiteral("endsumme"),
        QStringLiteral("spolu"),    QStringLiteral("sucet"),      QStringLiteral("medzisucet"),
        QStringLiteral("razem"),    QStringLiteral("ogolem"),     QStringLiteral("osszesen"),
        QStringLiteral("vegosszeg"), QStringLiteral("reszosszeg"), QStringLiteral("osszeg"),
        QStringLiteral("insgesamt"), QStringLiteral("lacznie"),   QStringLiteral("podsuma"),
    };
    return words.contains(word);
}

// Words that may stand beside a total word on a total line without naming a product.
bool isTotalFiller(const QString &word)
{
    static const QSet<QString> words = {
        QStringLiteral("za"),     QStringLiteral("obdobi"), QStringLiteral("obdobie"), QStringLiteral("kc"),
        QStringLiteral("czk"),    QStringLiteral("eur"),    QStringLiteral("usd"),     QStringLiteral("s"),
        QStringLiteral("dph"),    QStringLiteral("bez"),    QStringLiteral("vat"),     QStringLiteral("incl"),
        QStringLiteral("excl"),   QStringLiteral("grand"),  QStringLiteral("sub"),     QStringLiteral("all"),
        QStringLiteral("for"),    QStringLiteral("period"), QStringLiteral("the"),     QStringLiteral("den"),
        QStringLiteral("day"),    QStringLiteral("mwst"),   QStringLiteral("inkl"),    QStringLiteral("zl"),
        QStringLiteral("pln"),    QStringLiteral("ft"),     QStringLiteral("huf"),     QStringLiteral("sales"),
        QStringLiteral("trzba"),  QStringLiteral("trzby"),  QStringLiteral("general"), QStringLiteral("overall"),
        QStringLiteral("okres"),  QStringLiteral("brutto"), QStringLiteral("netto"),   QStringLiteral("net"),
        QStringLiteral("gross"),  QStringLiteral("i"),      QStringLiteral("vcetne"),  QStringLiteral("vc"),
        QStringLiteral("zeitraum"), QStringLiteral("tag"),  QStringLiteral("ertekesites"), QStringLiteral("of"),
        QStringLiteral("sk"),     QStringLiteral("with"),   QStringLiteral("z"),       QStringLiteral("ve"),
        QStringLiteral("v"),      QStringLiteral("amount"), QStringLiteral("items"),   QStringLiteral("polozky"),
        QStringLiteral("eu"),     QStringLiteral("a"),      QStringLiteral("ar"),
    };
    return words.contains(word);
}

// "Celkem za období", "TOTAL (CZK)", "Grand Total", "Spirits total"; not "Total Energy Drink".
bool isTotalText(const QString &text)
{
    const QStringList words = tokens(text);
    int totalAt = -1;
    for (int i = 0; i < words.size(); ++i) {
        if (isTotalWord(words.at(i)))
            totalAt = i;
    }
    if (totalAt < 0)
        return false;
    bool onlyFillers = true;
    for (int i = 0; i < words.size(); ++i) {
        if (i != totalAt && !isTotalWord(words.at(i)) && !isTotalFiller(words.at(i)) && !isDigits(words.at(i)))
            onlyFillers = false;
    }
    // A category followed by its total ("Spirits total", "Pivo celkem").
    return onlyFillers || (totalAt == words.size() - 1 && words.size() <= 3);
}

struct Separators
{
    int decimals = -1; // digits after the decimal mark of the reading; -1 without one
    QChar mark;        // the decimal mark used, or 0
    QChar grouping;    // the thousands mark used, or 0
};

// The digits and marks of an amount; Ambiguous when a single mark with three digits after it could
// group thousands or mark decimals.
TillExport::Number readDigits(const QString &text, double *value, double *other, Separators *seen)
{
    *seen = Separators();
    if (text.isEmpty())
        return TillExport::Number::NotANumber;
    int commas = 0;
    int points = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char(','))
            ++commas;
        else if (c == QLatin1Char('.'))
            ++points;
        else if (!c.isDigit() || c.unicode() > 0x7F)
            return TillExport::Number::NotANumber;
    }
    if (!text.at(0).isDigit() && !(text.at(0) == QLatin1Char('.') || text.at(0) == QLatin1Char(',')))
        return TillExport::Number::NotANumber;
    if (!text.back().isDigit())
        return TillExport::Number::NotANumber;
    // Groups of three digits between thousands marks, as "1.234.567,50" has them.
    const auto groupsOk = [](const QString &whole, QChar mark) {
        const QStringList parts = whole.split(mark);
        if (parts.first().isEmpty() || parts.first().size() > 3)
            return false;
        for (int i = 1; i < parts.size(); ++i) {
            if (parts.at(i).size() != 3)
                return false;
        }
        return true;
    };
    QString plain;
    if (commas > 0 && points > 0) {
        const int comma = int(text.lastIndexOf(QLatin1Char(',')));
        const int point = int(text.lastIndexOf(QLatin1Char('.')));
        const QChar mark = comma > point ? QLatin1Char(',') : QLatin1Char('.');
        const QChar grouping = comma > point ? QLatin1Char('.') : QLatin1Char(',');
        if (text.count(mark) != 1)
            return TillExport::Number::NotANumber;
        const int at = int(text.lastIndexOf(mark));
        if (!groupsOk(text.left(at), grouping))
            return TillExport::Number::NotANumber;
        seen->mark = mark;
        seen->grouping = grouping;
        seen->decimals = int(text.size()) - at - 1;
        plain = text.left(at).remove(grouping) + QLatin1Char('.') + text.mid(at + 1);
    } else if (commas + points > 1) {
        const QChar mark = commas > 0 ? QLatin1Char(',') : QLatin1Char('.');
        if (!groupsOk(text, mark))
            return TillExport::Number::NotANumber;
        seen->grouping = mark;
        plain = QString(text).remove(mark);
    } else if (commas + points == 1) {
        const QChar mark = commas > 0 ? QLatin1Char(',') : QLatin1Char('.');
        const int at = int(text.indexOf(mark));
        const QString whole = text.left(at);
        const int after = int(text.size()) - at - 1;
        plain = whole + QLatin1Char('.') + text.mid(at + 1);
        const bool mayGroup = after == 3 && !whole.isEmpty() && whole.size() <= 3 && whole.at(0) != QLatin1Char('0');
        if (mayGroup) {
            bool ok = false;
            *value = QLocale::c().toDouble(plain, &ok);
            *other = QLocale::c().toDouble(whole + text.mid(at + 1), &ok);
            seen->mark = mark;
            seen->decimals = 3;
            return TillExport::Number::Ambiguous;
        }
        seen->mark = mark;
        seen->decimals = after;
    } else {
        plain = text;
        seen->decimals = 0;
    }
    bool ok = false;
    const double read = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(read) || std::fabs(read) > 1e12)
        return TillExport::Number::NotANumber;
    *value = read;
    return TillExport::Number::Ok;
}

// The amount without its sign, currency, blanks and ",-"; `negative` says whether it was a minus.
bool stripAmount(QString text, QString *digits, bool *negative, QChar *wholeMark = nullptr)
{
    *negative = false;
    if (wholeMark)
        *wholeMark = QChar();
    static const QStringList currencies = {
        QStringLiteral("czk"), QStringLiteral("kc"), QStringLiteral("eur"), QStringLiteral("usd"),
        QStringLiteral("gbp"), QStringLiteral("pln"), QStringLiteral("zl"), QStringLiteral("huf"),
        QStringLiteral("ft"),  QStringLiteral("chf"), QStringLiteral("sk"), QStringLiteral("skk"),
        QStringLiteral("$"),   QStringLiteral("€"),  QStringLiteral("£"),  QStringLiteral("fr"),
    };
    for (const QChar blank : {QChar(0x00A0), QChar(0x202F), QChar(0x2009), QChar(0x2007), QChar(' '),
                              QChar('\''), QChar(0x2019), QChar('\t')})
        text.remove(blank);
    text = TillSales::folded(text);
    text.remove(QLatin1Char(' '));
    int signs = 0;
    bool parenthesised = false;
    for (bool changed = true; changed && !text.isEmpty();) {
        changed = false;
        if (text.startsWith(QLatin1Char('(')) && text.endsWith(QLatin1Char(')')) && !parenthesised) {
            parenthesised = true;
            text = text.mid(1, text.size() - 2);
            changed = true;
            continue;
        }
        // ",-" stands for no decimals: "1.152,-" is 1152 whole crowns.
        if (text.endsWith(QLatin1String(",-")) || text.endsWith(QLatin1String(".-")) ||
            text.endsWith(QLatin1String(",--")) || text.endsWith(QLatin1String(",—"))) {
            const int cut = text.endsWith(QLatin1String(",--")) ? 3 : 2;
            if (wholeMark)
                *wholeMark = text.at(text.size() - cut);
            text.chop(cut);
            changed = true;
            continue;
        }
        for (const QChar minus : {QChar('-'), QChar(0x2212), QChar(0x2013)}) {
            if (text.startsWith(minus) || text.endsWith(minus)) {
                text = text.startsWith(minus) ? text.mid(1) : text.left(text.size() - 1);
                ++signs;
                changed = true;
            }
        }
        if (text.startsWith(QLatin1Char('+'))) {
            text = text.mid(1);
            changed = true;
        }
        for (const QString &currency : currencies) {
            if (text.startsWith(currency)) {
                text = text.mid(currency.size());
                changed = true;
            } else if (text.endsWith(currency)) {
                text.chop(currency.size());
                changed = true;
            }
        }
    }
    if (signs > 1 || (signs == 1 && parenthesised))
        return false;
    *negative = signs == 1 || parenthesised;
    *digits = text;
    return !text.isEmpty();
}

// What the other values of a column say about its marks: the decimal mark and the thousands mark seen in
// values that are not in doubt.
struct ColumnMarks
{
    QChar decimal;
    QChar grouping;
};

ColumnMarks marksOf(const QList<QString> &cells)
{
    QHash<QChar, int> decimals;
    QHash<QChar, int> groupings;
    for (const QString &cell : cells) {
        QString digits;
        bool negative = false;
        QChar whole;
        if (!stripAmount(cell, &digits, &negative, &whole))
            continue;
        if (!whole.isNull())
            ++decimals[whole];
        double value = 0;
        double other = 0;
        Separators seen;
        if (readDigits(digits, &value, &other, &seen) != TillExport::Number::Ok)
            continue;
        if (!seen.mark.isNull())
            ++decimals[seen.mark];
        if (!seen.grouping.isNull())
            ++groupings[seen.grouping];
    }
    ColumnMarks marks;
    // A column that uses both marks as decimals tells nothing.
    if (decimals.size() == 1)
        marks.decimal = decimals.cbegin().key();
    if (groupings.size() == 1)
        marks.grouping = groupings.cbegin().key();
    return marks;
}

// An amount of a column, its doubt decided by the column's other values.
TillExport::Number amountIn(const QString &cell, const ColumnMarks &marks, double *value, QString *why)
{
    QString digits;
    bool negative = false;
    QChar whole;
    if (!stripAmount(cell, &digits, &negative, &whole))
        return TillExport::Number::NotANumber;
    double read = 0;
    double grouped = 0;
    Separators seen;
    const TillExport::Number result = readDigits(digits, &read, &grouped, &seen);
    if (result == TillExport::Number::NotANumber)
        return result;
    if (result == TillExport::Number::Ambiguous) {
        // "1.152,-": the ",-" says the comma is the decimal mark.
        if (!whole.isNull() && whole != seen.mark)
            read = grouped;
        else if (!marks.decimal.isNull() && marks.decimal != seen.mark)
            read = grouped;
        else if (!marks.grouping.isNull() && marks.grouping == seen.mark)
            read = grouped;
        else if (marks.decimal.isNull() || marks.decimal != seen.mark) {
            if (why)
                *why = tr("\"%1\" may be %2 or %3, and the other amounts of its column do not tell")
                           .arg(cell, QString::number(grouped, 'f', 0), QString::number(read, 'f', 3));
            return TillExport::Number::Ambiguous;
        }
    }
    *value = negative ? -read : read;
    return TillExport::Number::Ok;
}

struct ColumnContent
{
    int filled = 0;
    int numbers = 0; // cells read as amounts
    int letters = 0; // cells with letters
    int digits = 0;  // cells of digits alone
    int units = 0;   // cells that are units or portions
    QSet<QString> values;
};

QVector<ColumnContent> contentOf(const TillTable &table)
{
    QVector<ColumnContent> content(table.columnCount());
    for (const QStringList &row : table.rows) {
        for (int c = 0; c < table.columnCount() && c < row.size(); ++c) {
            const QString &cell = row.at(c);
            if (cell.isEmpty())
                continue;
            ColumnContent &column = content[c];
            ++column.filled;
            if (column.values.size() < 64)
                column.values.insert(cell);
            double value = 0;
            if (TillExport::parseAmount(cell, &value) != TillExport::Number::NotANumber)
                ++column.numbers;
            if (hasLetters(cell))
                ++column.letters;
            if (isDigits(cell))
                ++column.digits;
            if (unitMl(foldedUnit(cell)) >= 0 || TillExport::portionOf(cell) > 0)
                ++column.units;
        }
    }
    return content;
}

bool mostly(int part, int whole)
{
    return whole > 0 && part * 10 >= whole * 8;
}

} // namespace

QString TillTable::layoutKey() const
{
    QStringList folded;
    for (const QString &name : header)
        folded << TillSales::folded(name);
    return folded.join(QLatin1Char('|'));
}

QString TillTable::columnLabel(int column) const
{
    const QString name = header.value(column);
    return name.isEmpty() ? QString::number(column + 1) : QStringLiteral("%1: %2").arg(column + 1).arg(name);
}

bool TillColumns::operator==(const TillColumns &other) const
{
    for (int role = 0; role < RoleCount; ++role) {
        if (column[role] != other.column[role])
            return false;
    }
    return true;
}

bool TillColumns::isUsable(int columnCount) const
{
    for (const int c : column) {
        if (c >= columnCount || c < -1)
            return false;
    }
    for (int a = 0; a < RoleCount; ++a) {
        for (int b = a + 1; b < RoleCount; ++b) {
            if (column[a] >= 0 && column[a] == column[b])
                return false;
        }
    }
    return column[Amount] >= 0 && (column[Name] >= 0 || column[Code] >= 0);
}

QString TillColumns::roleName(Role role)
{
    static const char *const names[RoleCount] = {"name", "code", "quantity", "unit", "amount"};
    return QLatin1String(names[role]);
}

QString TillColumns::toText() const
{
    QStringList parts;
    for (int role = 0; role < RoleCount; ++role)
        parts << roleName(Role(role)) + QLatin1Char('=') +
                     (column[role] < 0 ? QStringLiteral("-") : QString::number(column[role] + 1));
    return parts.join(QLatin1Char(','));
}

bool TillColumns::fromText(const QString &text, const QStringList &header, TillColumns *columns,
                           QString *reason)
{
    TillColumns read;
    const auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int equals = int(part.indexOf(QLatin1Char('=')));
        const QString role = part.left(equals).trimmed().toLower();
        const QString value = part.mid(equals + 1).trimmed();
        int which = -1;
        for (int r = 0; r < RoleCount; ++r) {
            if (role == roleName(Role(r)))
                which = r;
        }
        if (equals < 0 || which < 0)
            return fail(QCoreApplication::translate("TillColumns", "\"%1\" names no column role (name, code, quantity, unit, amount)").arg(part));
        if (value == QLatin1String("-") || value.isEmpty()) {
            read.column[which] = -1;
            continue;
        }
        bool isNumber = false;
        const int number = value.toInt(&isNumber);
        if (isNumber) {
            if (number < 1 || number > header.size())
                return fail(QCoreApplication::translate("TillColumns", "column %1 does not exist; the header has %2 columns").arg(value).arg(header.size()));
            read.column[which] = number - 1;
            continue;
        }
        int found = -1;
        for (int c = 0; c < header.size() && found < 0; ++c) {
            if (TillSales::folded(header.at(c)) == TillSales::folded(value))
                found = c;
        }
        if (found < 0)
            return fail(QCoreApplication::translate("TillColumns", "no column is headed \"%1\"").arg(value));
        read.column[which] = found;
    }
    if (!read.isUsable(int(header.size())))
        return fail(QCoreApplication::translate("TillColumns", "the columns need an amount, a name or a code, and a different column for each"));
    *columns = read;
    return true;
}

namespace TillExport {

bool isWorkbook(const QByteArray &bytes)
{
    return bytes.startsWith("PK\x03\x04");
}

bool readFile(const QString &path, QByteArray *bytes, QString *reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    if (file.size() > maximumSize) {
        if (reason)
            *reason = tr("The file is too large for a till export (more than 16 MiB).");
        return false;
    }
    *bytes = file.read(maximumSize + 1);
    if (bytes->size() > maximumSize) {
        if (reason)
            *reason = tr("The file is too large for a till export (more than 16 MiB).");
        return false;
    }
    return true;
}

bool readTable(const QByteArray &bytes, TillTable *table, QString *reason)
{
    *table = TillTable();
    QList<QStringList> lines;
    QList<int> numbers;
    if (isWorkbook(bytes)) {
        table->encoding = QStringLiteral("xlsx");
        if (!XlsxSheet::readFirstSheet(bytes, &lines, &numbers, reason))
            return false;
    } else {
        QString text = TillSales::decode(bytes, &table->encoding);
        // Many zero bytes: not text in the encoding it was read as. A stray one is damage of its line only,
        // which then fails where it stands.
        if (text.count(QChar(0)) * 100 > text.size()) {
            if (reason)
                *reason = tr("The file holds zero bytes: it is not text (read as %1), nor an .xlsx workbook. "
                             "Save the report from the till as CSV.")
                              .arg(table->encoding);
            return false;
        }
        text.replace(QChar(0), QChar(0xFFFD));
        QStringList raw = text.split(QLatin1Char('\n'));
        // The separator that gives the header the most column names wins.
        QChar best = QLatin1Char(';');
        int bestScore = -1;
        for (const QChar separator : {QChar(';'), QChar('\t'), QChar(','), QChar('|')}) {
            for (int i = 0; i < raw.size() && i < headerSearchLines; ++i) {
                const QStringList fields = csvSplit(raw.at(i).trimmed(), separator, CsvQuotes::Anywhere);
                if (fields.size() < 2)
                    continue;
                int score = 0;
                for (const QString &field : fields) {
                    const QStringList w = tokens(field);
                    score += isNameHeader(w) || isCodeHeader(w) || isQuantityHeader(w) || amountScore(w) != 0;
                }
                if (score > bestScore) {
                    bestScore = score;
                    best = separator;
                }
            }
        }
        for (int i = 0; i < raw.size(); ++i) {
            lines << csvSplit(raw.at(i).trimmed(), best, CsvQuotes::Anywhere);
            numbers << i + 1;
        }
    }
    // The header: the first line with two fields or more that names a product and an amount column.
    int headerAt = -1;
    for (int i = 0; i < lines.size() && i < headerSearchLines && headerAt < 0; ++i) {
        bool product = false;
        bool money = false;
        if (lines.at(i).size() < 2)
            continue;
        for (const QString &field : lines.at(i)) {
            const QStringList w = tokens(field);
            product = product || isNameHeader(w) || isCodeHeader(w);
            money = money || amountScore(w) != 0 || isPriceWord(w);
        }
        if (product && money)
            headerAt = i;
    }
    if (headerAt < 0) {
        if (reason)
            *reason = tr("No line of the file names the columns for the product and the amount (the text was "
                         "read as %1).")
                          .arg(table->encoding);
        return false;
    }
    table->header = lines.at(headerAt);
    for (int i = 0; i < headerAt; ++i) {
        if (!lines.at(i).join(QString()).trimmed().isEmpty())
            table->preamble << lines.at(i);
    }
    for (int i = headerAt + 1; i < lines.size(); ++i) {
        if (lines.at(i).join(QString()).trimmed().isEmpty())
            continue;
        table->rows << lines.at(i);
        table->lineNumbers << numbers.at(i);
    }
    qCDebug(lcTillExport, "%s, header on line %d, %d lines", qUtf8Printable(table->encoding),
            numbers.value(headerAt), int(table->rows.size()));
    return true;
}

Number parseAmount(const QString &text, double *value, QString *readings)
{
    QString digits;
    bool negative = false;
    QChar whole;
    if (!stripAmount(text, &digits, &negative, &whole))
        return Number::NotANumber;
    double read = 0;
    double other = 0;
    Separators seen;
    Number result = readDigits(digits, &read, &other, &seen);
    if (result == Number::Ambiguous && !whole.isNull() && whole != seen.mark) {
        read = other;
        result = Number::Ok;
    }
    if (result == Number::Ambiguous && readings)
        *readings = QStringLiteral("%1 / %2").arg(other).arg(read);
    if (result != Number::NotANumber)
        *value = negative ? -read : read;
    return result;
}

double portionOf(const QString &text)
{
    static const QRegularExpression portion(
        QStringLiteral("^(\\d+(?:[.,]\\d+)?)?\\s*(ml|cl|dl|l|ltr|lt|litr|liter|litre)\\.?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = portion.match(text.trimmed());
    if (!match.hasMatch())
        return 0;
    const double ml = unitMl(match.captured(2).toLower());
    double number = 1;
    if (!match.captured(1).isEmpty()) {
        QString n = match.captured(1);
        number = QLocale::c().toDouble(n.replace(QLatin1Char(','), QLatin1Char('.')));
    }
    const double result = number * ml;
    return std::isfinite(result) && result > 0 && result <= 1e6 ? result : 0;
}

double portionInName(const QString &name, QString *rest)
{
    static const QRegularExpression atEnd(
        QStringLiteral("[\\s(]+(\\d+(?:[.,]\\d+)?\\s*(?:ml|cl|dl|l))\\)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = atEnd.match(name);
    if (!match.hasMatch()) {
        if (rest)
            *rest = name;
        return 0;
    }
    const double ml = portionOf(match.captured(1));
    if (rest)
        *rest = ml > 0 ? name.left(match.capturedStart(0)).trimmed() : name;
    return ml;
}

TillColumns guessColumns(const TillTable &table, bool *certain)
{
    TillColumns chosen;
    bool sure = true;
    const QVector<ColumnContent> content = contentOf(table);
    const int count = table.columnCount();
    QList<QStringList> words;
    for (const QString &name : table.header)
        words << tokens(name);
    QVector<bool> taken(count, false);
    const auto numeric = [&](int c) {
        // Most cells: a few damaged ones are refused line by line, a text column has next to no numbers.
        return content.at(c).filled == 0 || content.at(c).numbers * 2 > content.at(c).filled;
    };
    // The best column for a role among those its test admits; `sure` falls when two are equally good.
    const auto pick = [&](TillColumns::Role role, auto admits, auto score, bool required) {
        int best = -1;
        int bestScore = 0;
        bool tie = false;
        for (int c = 0; c < count; ++c) {
            if (taken.at(c) || !admits(c))
                continue;
            const int s = score(c);
            if (s > bestScore) {
                best = c;
                bestScore = s;
                tie = false;
            } else if (s == bestScore && s > 0) {
                tie = true;
            }
        }
        if (tie)
            sure = false;
        if (best < 0 && required)
            sure = false;
        chosen[role] = best;
        if (best >= 0)
            taken[best] = true;
    };
    const auto words1 = [&](int c) { return words.at(c); };

    // Quantity, code and unit first, so that "Item ID" and "Items Sold" are not taken for names.
    pick(TillColumns::Quantity,
         [&](int c) { return isQuantityHeader(words1(c)) && numeric(c) && !describesSale(words1(c)) && amountScore(words1(c)) <= 0; },
         [&](int c) { return isPriceWord(words1(c)) ? 0 : 2; }, false);
    pick(TillColumns::Code,
         [&](int c) {
             const ColumnContent &cc = content.at(c);
             // One value on every line is the store's or the till's code, not the product's.
             const bool oneValue = cc.filled >= 3 && cc.values.size() == 1;
             return isCodeHeader(words1(c)) && !describesSale(words1(c)) && !oneValue &&
                    (cc.filled == 0 || !mostly(cc.letters, cc.filled));
         },
         [&](int c) {
             return hasAny(words1(c), {"ean", "gtin", "plu", "barcode", "upc"}) ? 3 : 2;
         },
         false);
    pick(TillColumns::Unit,
         [&](int c) {
             const ColumnContent &cc = content.at(c);
             return isUnitHeader(words1(c)) && !describesSale(words1(c)) && mostly(cc.units, cc.filled);
         },
         [&](int) { return 1; }, false);
    pick(TillColumns::Amount, [&](int c) { return numeric(c) && content.at(c).filled > 0; },
         [&](int c) { return amountScore(words1(c)); }, true);
    pick(TillColumns::Name,
         [&](int c) {
             const ColumnContent &cc = content.at(c);
             return !describesSale(words1(c)) && (cc.filled == 0 || cc.letters * 2 >= cc.filled);
         },
         [&](int c) { return isNameHeader(words1(c)) ? 2 : 0; }, false);

    // Without a worded amount column, the last numeric column is a proposal the user has to confirm.
    if (chosen[TillColumns::Amount] < 0) {
        for (int c = count - 1; c >= 0 && chosen[TillColumns::Amount] < 0; --c) {
            if (!taken.at(c) && content.at(c).filled > 0 && numeric(c) &&
                !mostly(content.at(c).digits, content.at(c).filled)) {
                chosen[TillColumns::Amount] = c;
                taken[c] = true;
            }
        }
        for (int c = count - 1; c >= 0 && chosen[TillColumns::Amount] < 0; --c) {
            if (!taken.at(c) && content.at(c).filled > 0 && numeric(c)) {
                chosen[TillColumns::Amount] = c;
                taken[c] = true;
            }
        }
        sure = false;
    } else if (amountScore(words.at(chosen[TillColumns::Amount])) < 3) {
        sure = false; // a price or a column plainly not the takings is the best there is
    }
    if (chosen[TillColumns::Name] < 0 && chosen[TillColumns::Code] < 0)
        sure = false;
    // A worded column that fails its content (a text "Sales Category") leaves a doubt the user settles.
    for (int c = 0; c < count; ++c) {
        if (!taken.at(c) && amountScore(words.at(c)) >= 3 && !describesSale(words.at(c)) &&
            amountScore(words.at(c)) >= amountScore(words.value(chosen[TillColumns::Amount])))
            sure = false;
    }
    if (certain)
        *certain = sure && chosen.isUsable(count);
    return chosen;
}

QStringList candidates(const TillTable &table)
{
    const QVector<ColumnContent> content = contentOf(table);
    QStringList lines;
    for (int role = 0; role < TillColumns::RoleCount; ++role) {
        QStringList columns;
        for (int c = 0; c < table.columnCount(); ++c) {
            const QStringList w = tokens(table.header.at(c));
            const ColumnContent &cc = content.at(c);
            const bool numeric = cc.filled > 0 && cc.numbers * 2 > cc.filled;
            bool fits = false;
            const bool sale = describesSale(w);
            switch (TillColumns::Role(role)) {
            case TillColumns::Name:
                fits = !sale && cc.filled > 0 && cc.letters * 2 >= cc.filled;
                break;
            case TillColumns::Code:
                fits = !sale && !isQuantityHeader(w) &&
                       (isCodeHeader(w) || (cc.filled > 0 && mostly(cc.digits, cc.filled)));
                break;
            case TillColumns::Quantity:
                fits = numeric && isQuantityHeader(w);
                break;
            case TillColumns::Unit:
                fits = cc.filled > 0 && mostly(cc.units, cc.filled);
                break;
            case TillColumns::Amount:
                fits = numeric && !sale && !isQuantityHeader(w) && !isCodeHeader(w);
                break;
            case TillColumns::RoleCount:
                break;
            }
            if (fits)
                columns << QStringLiteral("%1 \"%2\"").arg(c + 1).arg(table.header.at(c));
        }
        lines << TillColumns::roleName(TillColumns::Role(role)) + QStringLiteral(": ") +
                     (columns.isEmpty() ? QStringLiteral("-") : columns.join(QStringLiteral(", ")));
    }
    return lines;
}

QString describe(const TillTable &table, const TillColumns &columns)
{
    QStringList parts;
    for (int role = 0; role < TillColumns::RoleCount; ++role) {
        const int c = columns.column[role];
        parts << TillColumns::roleName(TillColumns::Role(role)) + QStringLiteral(": ") +
                     (c < 0 ? QStringLiteral("-") : QStringLiteral("%1 \"%2\"").arg(c + 1).arg(table.header.value(c)));
    }
    return parts.join(QStringLiteral(", "));
}

bool read(const TillTable &table, const TillColumns &columns, TillReading *reading, QString *reason)
{
    *reading = TillReading();
    if (!columns.isUsable(table.columnCount())) {
        if (reason)
            *reason = tr("No column holds the amounts of money taken, or none names the products.");
        return false;
    }
    const int nameColumn = columns[TillColumns::Name];
    const int codeColumn = columns[TillColumns::Code];
    const int quantityColumn = columns[TillColumns::Quantity];
    const int unitColumn = columns[TillColumns::Unit];
    const int amountColumn = columns[TillColumns::Amount];
    int needed = 0;
    for (const int c : columns.column)
        needed = qMax(needed, c + 1);

    // The marks of amounts and quantities, from the values of each column that are not in doubt.
    QList<QString> amountCells;
    QList<QString> quantityCells;
    for (const QStringList &row : table.rows) {
        amountCells << row.value(amountColumn);
        if (quantityColumn >= 0)
            quantityCells << row.value(quantityColumn);
    }
    const ColumnMarks amountMarks = marksOf(amountCells);
    const ColumnMarks quantityMarks = marksOf(quantityCells);

    struct Read
    {
        TillLine line;
        int number;
        QString text;
        QStringList fields;
    };
    QList<Read> products;
    int groupStart = 0; // the first product since the last total
    for (int i = 0; i < table.rows.size(); ++i) {
        const QStringList &fields = table.rows.at(i);
        const int number = table.lineNumbers.at(i);
        const QString text = fields.join(QLatin1Char(';'));
        if (fields.size() < needed) {
            reading->refused << tr("line %1: %2 fields where the columns need %3: %4")
                                    .arg(number)
                                    .arg(fields.size())
                                    .arg(needed)
                                    .arg(text);
            continue;
        }
        TillLine line;
        line.code = codeColumn >= 0 ? fields.at(codeColumn) : QString();
        line.name = nameColumn >= 0 ? fields.at(nameColumn) : QString();
        // A till's own sum would count everything twice: by its words wherever they stand...
        QString label = line.name.isEmpty() ? line.code : line.name;
        for (int c = 0; c < fields.size() && label.isEmpty(); ++c) {
            if (hasLetters(fields.at(c)) && c != amountColumn)
                label = fields.at(c);
        }
        bool totalWords = isTotalText(label);
        for (int c = 0; c < fields.size() && !totalWords; ++c)
            totalWords = c != nameColumn && c != amountColumn && hasLetters(fields.at(c)) &&
                         isTotalText(fields.at(c)) && (line.code.isEmpty() || c == codeColumn);
        if (totalWords) {
            reading->skipped << tr("line %1: a total, not a product: %2").arg(number).arg(text);
            groupStart = int(products.size());
            continue;
        }
        QString why;
        const Number amountRead = amountIn(fields.at(amountColumn), amountMarks, &line.amount, &why);
        if (amountRead != Number::Ok) {
            if (why.isEmpty())
                why = fields.at(amountColumn).isEmpty()
                          ? tr("no amount")
                          : tr("\"%1\" is not an amount").arg(fields.at(amountColumn));
            reading->refused << tr("line %1: %2: %3").arg(number).arg(why, text);
            continue;
        }
        if (quantityColumn >= 0) {
            const QString cell = fields.at(quantityColumn);
            if (amountIn(cell, quantityMarks, &line.quantity, &why) != Number::Ok) {
                if (why.isEmpty())
                    why = cell.isEmpty() ? tr("no quantity") : tr("\"%1\" is not a quantity").arg(cell);
                reading->refused << tr("line %1: %2: %3").arg(number).arg(why, text);
                continue;
            }
        }
        // ... and by what it is: a line without a product, a category's sum.
        if (line.code.isEmpty() && line.name.isEmpty()) {
            reading->skipped << tr("line %1: names no product, a summary: %2").arg(number).arg(text);
            groupStart = int(products.size());
            continue;
        }
        if (int(products.size()) - groupStart >= 2) {
            double sum = 0;
            double quantities = 0;
            bool category = false;
            for (int p = groupStart; p < products.size(); ++p) {
                sum += products.at(p).line.amount;
                quantities += products.at(p).line.quantity;
                // The name of the line is what another column of the group's lines holds: its category.
                for (int c = 0; c < products.at(p).fields.size() && !category; ++c)
                    category = c != nameColumn && c != codeColumn && !line.name.isEmpty() &&
                               TillSales::folded(products.at(p).fields.at(c)) == TillSales::folded(line.name);
            }
            const bool sameSum = std::fabs(sum - line.amount) < 0.005 &&
                                 (quantityColumn < 0 || std::fabs(quantities - line.quantity) < 1e-6);
            if (sameSum && category) {
                reading->skipped << tr("line %1: the sum of the lines above it, not a product: %2")
                                        .arg(number)
                                        .arg(text);
                groupStart = int(products.size());
                continue;
            }
        }
        double portion = 0;
        if (unitColumn >= 0) {
            const QString unit = fields.at(unitColumn);
            portion = portionOf(unit);
            if (portion <= 0 && !unit.isEmpty() && unitMl(foldedUnit(unit)) < 0)
                qCDebug(lcTillExport, "line %d: unit %s not known", number, qUtf8Printable(unit));
        }
        if (portion <= 0)
            portion = portionInName(line.name);
        line.portion = portion;
        products.append({line, number, text, fields});
    }

    // One line per product: a per-sale export lists a product once per sale.
    QHash<QString, int> index;
    for (const Read &read : qAsConst(products)) {
        const QString key = read.line.code + QLatin1Char('\n') + TillSales::folded(read.line.name) +
                            QLatin1Char('\n') + QString::number(read.line.portion, 'g', 15);
        const auto it = index.constFind(key);
        if (it == index.cend()) {
            index.insert(key, int(reading->figures.lines.size()));
            reading->figures.lines.append(read.line);
            continue;
        }
        TillLine &into = reading->figures.lines[it.value()];
        // Beyond what a table file keeps; no till sells so much of one product.
        if (std::fabs(into.quantity + read.line.quantity) > 1e12 || std::fabs(into.amount + read.line.amount) > 1e12) {
            reading->refused << tr("line %1: the product's sum grows too large: %2").arg(read.number).arg(read.text);
            continue;
        }
        into.quantity += read.line.quantity;
        into.amount += read.line.amount;
    }
    reading->figures.hasQuantities = quantityColumn >= 0;
    qCDebug(lcTillExport, "%d products from %d lines, %d refused, %d skipped", int(reading->figures.lines.size()),
            int(products.size()), int(reading->refused.size()), int(reading->skipped.size()));
    return true;
}

void RememberedColumns::load(const QString &path)
{
    choices.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > 1024 * 1024)
        return;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QList<QByteArray> fields = raw.split('\t');
        if (fields.size() == 2 && !fields.at(0).isEmpty())
            choices.append({QString::fromUtf8(fields.at(0)), QString::fromUtf8(fields.at(1).trimmed())});
    }
}

bool RememberedColumns::save(const QString &path, QString *reason) const
{
    QByteArray bytes;
    for (const auto &choice : choices) {
        QString key = choice.first;
        key.replace(QLatin1Char('\t'), QLatin1Char(' '));
        key.replace(QLatin1Char('\n'), QLatin1Char(' '));
        key.replace(QLatin1Char('\r'), QLatin1Char(' '));
        bytes += key.toUtf8() + '\t' + choice.second.toUtf8() + '\n';
    }
    return writeFileWhole(path, bytes, reason);
}

bool RememberedColumns::find(const TillTable &table, TillColumns *columns) const
{
    QString key = table.layoutKey();
    key.replace(QLatin1Char('\t'), QLatin1Char(' '));
    key.replace(QLatin1Char('\r'), QLatin1Char(' '));
    for (const auto &choice : choices) {
        if (choice.first == key)
            return TillColumns::fromText(choice.second, table.header, columns, nullptr);
    }
    return false;
}

void RememberedColumns::remember(const TillTable &table, const TillColumns &columns)
{
    QString key = table.layoutKey();
    key.replace(QLatin1Char('\t'), QLatin1Char(' '));
    key.replace(QLatin1Char('\r'), QLatin1Char(' '));
    for (auto &choice : choices) {
        if (choice.first == key) {
            choice.second = columns.toText();
            return;
        }
    }
    choices.append({key, columns.toText()});
}

} // namespace TillExport
