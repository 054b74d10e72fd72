#pragma once

#include "countdocument.h"

#include <QByteArray>
#include <QDateTime>
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
    Carried,    // its numbers were carried over
    Nothing,    // there was none: the opening count of a bar
    Damaged,    // it is damaged: what was read before the damage is carried, as `message` says
    Unreadable, // it is there but cannot be read: nothing is carried
};

// Opens the sales table: rows from the overview, then what `lastCopy` (normally "lastInventory.inv" in the
// local data folder) carries over to the sales table and the appended items, and the totals. The period
// ends at `end`, when the table is opened from a download, and starts where the last table's ended.
// For a damaged or unreadable last table, `message` (optional) says what was carried, what was lost and
// why, ready to show. When the download was counted up before and `corrects` names the table it made, and
// that table is the last one, the count starts where that table started (its initial quantities, its start
// and whether it was the opening count), so that saving it again corrects that table.
Carried open(Inventory &inventory, ItemInventory &items, const QList<OverviewRow> &overview,
             const QString &lastCopy, QString *message = nullptr,
             const QDateTime &end = QDateTime::currentDateTime(), quint32 corrects = 0);

// Import Table: the sales rows of a saved table carried into the count in progress, as the last table
// would be. The table number is not taken: the next save is numbered above every number issued.
CountDocument::Reading importTable(Inventory &inventory, const QString &path);

// The count on screen as one document.
CountDocument gather(const Inventory &inventory, const ItemInventory &items,
                     const TillFigures *till = nullptr);
// A saved count put on screen as it was saved, to be looked at.
void show(const CountDocument &document, Inventory &inventory, ItemInventory &items);

// Writes `bytes` whole or not at all; false with the system's `reason` when the file could not be written.
bool writeFile(const QString &fileName, const QByteArray &bytes, QString *reason = nullptr);

// The save of a count. With a `lastCopy`, its folder is the data folder: the table is numbered above every
// number issued there (the kept number, the history, the last copy), the number is marked as being saved,
// then the history copy, `fileName` and `lastCopy` are written, and the mark is cleared. The tables count
// as saved only when `fileName` and `lastCopy` were written; otherwise `reason` says why and `failedFile`
// names the file that could not be written, and the history copy is withdrawn. Saving a table again
// records the number it corrects.
bool save(Inventory &inventory, ItemInventory &items, const QString &fileName, const QString &lastCopy,
          QString *reason = nullptr, const TillFigures *till = nullptr, QString *failedFile = nullptr);

// Finishes or reports a save of `dataFolder` that was cut off between its writes. Empty when there was
// none; otherwise what happened, ready to show.
QString recover(const QString &dataFolder);

// The sales CSV: the sales rows, then the appended items.
QByteArray salesCsv(Inventory &inventory, ItemInventory &items);
bool writeSalesCsv(const QString &fileName, Inventory &inventory, ItemInventory &items,
                   QString *reason = nullptr);

} // namespace TableFile
