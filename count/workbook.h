#pragma once

#include <QList>
#include <QString>

class Inventory;
class ItemInventory;
struct OverviewRow;
struct TillComparison;
struct CostFigures;
struct OrderList;
namespace History {
struct Count;
}
namespace Chain {
struct Figures;
struct CountCost;
}

// The spreadsheet workbooks (.xlsx) handed to a spreadsheet program: numbers stored as numbers with number
// formats, so that they read as numbers in every language setting, which a CSV cannot promise. Both writes
// replace `path` only once the workbook is complete; `reason` (optional) says why a write failed.
namespace Workbook {

// The sales table, the appended items below it, the totals as formulas and, with `till`, a sheet comparing
// the takings with the till, with `costs` a sheet of what the sold drinks cost and with `order` a sheet of
// what to buy.
bool writeSales(const QString &path, const Inventory &inventory, const ItemInventory &items,
                const TillComparison *till = nullptr, QString *reason = nullptr,
                const CostFigures *costs = nullptr, const OrderList *order = nullptr);

// The order list alone, with the cost per line and its sum.
bool writeOrder(const QString &path, const OrderList &order, int currency, QString *reason = nullptr);

// The overview: EAN, name and residue of each weighed bottle.
bool writeOverview(const QString &path, const QList<OverviewRow> &rows, QString *reason = nullptr);

// The history: the counts that are not damaged with their totals and till variances as formulas, the total
// sales per period, the till variance per period in money and in sell units (when any count has till
// figures) and, for the bottle `ean` unless it is empty, its sold litres and its till variance per period;
// each with a line chart. With `costs` (one per count, in the order of `counts`) the list gains the cost of
// goods and the pour cost of each count, and a sheet charts the pour cost per period.
bool writeHistory(const QString &path, const QList<History::Count> &counts, const QString &ean,
                  QString *reason = nullptr, const QList<Chain::CountCost> *costs = nullptr);

// The bars of a chain: one sheet with every bar's takings, till variance and pour cost per month, and a
// sheet per bar with its takings per month and a line chart of them.
bool writeChain(const QString &path, const QList<Chain::Figures> &bars, QString *reason = nullptr);

} // namespace Workbook
