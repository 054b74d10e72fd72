#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class Inventory;
class ItemInventory;
struct OverviewRow;
struct TillFigures;

// The steps of a count that touch the table files: opening the sales table, saving it, and its CSV. The
// window, quarmelctl and the tests all go this one road.
namespace TableFile {

// What the last saved table gave a newly opened sales table.
enum class Carried {
    Carried, // its numbers were carried over
    Nothing, // there was none: the normal first count
    Damaged, // it is not an inventory table; every initial quantity stays zero
};

// Opens the sales table: rows from the overview, then what `lastCopy` (normally "lastInventory.inv" in the
// local data folder) carries over to the sales table and the appended items, and the totals.
Carried open(Inventory &inventory, ItemInventory &items, const QList<OverviewRow> &overview,
             const QString &lastCopy);

// Raises the sales table's counter and returns the document. The number is taken for good: a save that
// then fails keeps it raised, so two documents never go out with one number. Till figures, when there are
// any, follow the appended items.
QByteArray document(Inventory &inventory, ItemInventory &items, const TillFigures *till = nullptr);

// Writes `bytes` whole or not at all; false with the system's `reason` when the file could not be written.
bool writeFile(const QString &fileName, const QByteArray &bytes, QString *reason = nullptr);

// The save of a count: the document to `fileName` and, unless `lastCopy` is empty, the same bytes to
// `lastCopy`, then a copy into the history of the folder of `lastCopy`. The tables count as saved only when
// both files were written; otherwise `reason` says why and `failedFile` names the file that could not be
// written. A history copy that fails is only logged.
bool save(Inventory &inventory, ItemInventory &items, const QString &fileName, const QString &lastCopy,
          QString *reason = nullptr, const TillFigures *till = nullptr, QString *failedFile = nullptr);

// The sales CSV: the sales rows, then the appended items.
QByteArray salesCsv(Inventory &inventory, ItemInventory &items);
bool writeSalesCsv(const QString &fileName, Inventory &inventory, ItemInventory &items,
                   QString *reason = nullptr);

} // namespace TableFile
