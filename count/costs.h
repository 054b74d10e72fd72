#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QString>

class Inventory;
class ItemInventory;
namespace History {
struct Count;
}

// What one full bottle (or one piece of an appended item) costs the bar, with its par level and supplier.
struct Cost
{
    QString key; // the EAN of a bottle kind, or the name of an appended item
    double cost = 0;
    bool hasPar = false;
    double par = 0; // bottles (pieces) to have at the bar after a delivery
    QString supplier;
};

// The purchase costs of the bar, kept beside the catalogue in a file of their own ("EAN;cost;par;supplier"
// lines) so that the station's catalogue and every reader of the catalogue and table files stay as they are.
// Costs are taken in the currency of the count they are applied to.
class CostList
{
    Q_DECLARE_TR_FUNCTIONS(CostList)

public:
    static QString fileName(); // in the data folder

    // A missing file is an empty list; a file that cannot be read or holds a bad line is refused whole.
    bool load(const QString &path, QString *reason);
    bool save(const QString &path, QString *reason) const;

    // Reads "EAN;cost;par;supplier" lines (a decimal comma or point; par and supplier may be left empty; a
    // header line allowed; blank lines and lines starting with # passed over). All or nothing: a bad line is
    // refused naming its number and why, and the list is left as it was.
    bool parse(const QByteArray &bytes, QString *reason);
    // Adds what `other` holds, replacing the entries with the same key.
    void merge(const CostList &other);
    QByteArray toCsv() const;

    const Cost *find(const QString &key) const;
    // Sets the cost of `key` from typed text; an empty text removes the cost with its par and supplier.
    // Refused with the reason for text that is no cost.
    bool setCostText(const QString &key, const QString &text, QString *reason);
    // The par level and supplier are kept with a cost only: refused for a key without one. An empty par
    // removes the par level; line breaks in a supplier become blanks, so the file stays one line a kind.
    bool setParText(const QString &key, const QString &text, QString *reason);
    bool setSupplierText(const QString &key, const QString &text, QString *reason);

    QList<Cost> entries;
};

// The cost of a count: per row what the sold quantity cost and what the row's pour cost is, and for the
// table the cost of goods sold, the pour cost and the stock left valued at cost. Unrounded; rounded only to
// be shown. A row without a cost is named, never taken as free.
struct CostFigures
{
    Q_DECLARE_TR_FUNCTIONS(CostFigures)

public:
    struct Row
    {
        QString name;
        bool hasCost = false;
        double costOfGoods = 0;
        bool hasPourCost = false;
        double pourCost = 0; // percent of the row's takings
        double stockValue = 0;
    };

    static CostFigures of(const Inventory &inventory, const ItemInventory &items, const CostList &costs);

    QList<Row> bottles; // in the order of inventory.rows
    QList<Row> items;   // in the order of items.rows
    double bottleCostOfGoods = 0;
    double costOfGoods = 0; // bottles and appended items
    bool hasPourCost = false;
    double pourCost = 0; // the bottles' cost of goods per alcohol sales, percent
    // The pour cost is of the bottles with a cost only: some bottle without one took money, and its takings
    // are left out with it.
    bool pourCostOfSome = false;
    double stockValue = 0;
    QStringList missing; // names of the rows with something sold or left but no cost

    // The lines written after the sales CSV: "Cost of goods sold;AMOUNT", "Pour cost;PERCENT %",
    // "Stock value at cost;AMOUNT" and, when rows lack a cost, "No cost for;NAMES".
    QByteArray csvLines() const;
    // The same for the window, translated, with the currency name, and the rows of the highest pour cost:
    // an underpriced drink stands out there.
    QString text(int currency) const;
};

// What to buy before the next count: for each kind below its par level the whole bottles (pieces) that bring
// it up to par, grouped by supplier, with what the order costs.
struct OrderList
{
    Q_DECLARE_TR_FUNCTIONS(OrderList)

public:
    struct Line
    {
        QString ean; // empty for an appended item
        QString name;
        double onHand = 0; // bottles (pieces) left after the count
        double par = 0;
        qint64 order = 0; // whole bottles, rounded up, never negative
        QString supplier;
        double cost = 0; // of the bottles ordered
    };

    static OrderList of(const Inventory &inventory, const ItemInventory &items, const CostList &costs);

    QList<Line> lines; // by supplier (those without one last), then by name
    double cost = 0;   // a par level is kept with a cost only, so every line has one

    // "EAN;Item;On hand [bottles];Par [bottles];Order [bottles];Supplier" and a line per kind to order, then
    // "Order cost;AMOUNT".
    QByteArray csv() const;
    // The same for the window, translated, one line per supplier.
    QString text(int currency) const;
};

// A par level proposed from the history: what a kind used per period over the last counts. The usage is
// taken per day over the periods together, so a long period (a holiday) weighs as its length and no more,
// and brought to the usual period, the median length of those periods; rounded up to whole bottles.
struct ParSuggestion
{
    static constexpr int countsUsed = 6;

    QString ean;
    QString name;
    double usage = 0; // bottles per usual period
    qint64 par = 0;   // whole bottles, at least 1 for a kind that sold at all

    // For each EAN of `volumes` (ml per bottle) sold in the last counts of `counts` that are counted (see
    // History::Count::counted) and have a period, by name. `periodDays` (optional) gets the usual period.
    static QList<ParSuggestion> of(const QList<History::Count> &counts, const QHash<QString, qint64> &volumes,
                                   double *periodDays = nullptr);
};
