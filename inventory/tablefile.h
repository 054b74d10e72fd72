#pragma once

#include <QByteArray>
#include <QString>

class Inventory;
class ItemInventory;

// The inventory table file: the sales table and the appended items of one count.
namespace TableFile {

// Raises the sales table's counter (a save takes the next number even when writing then fails) and returns
// the document.
QByteArray document(Inventory &inventory, ItemInventory &items);

// Writes `bytes` whole or not at all; false when the file could not be written.
bool writeFile(const QString &fileName, const QByteArray &bytes);

// The save of the window: the document to `fileName` and to `lastCopy` (normally "lastInventory.inv" in
// the local data folder). The tables count as saved only when the copy was written.
bool save(Inventory &inventory, ItemInventory &items, const QString &fileName, const QString &lastCopy);

// Opening the sales table: carries over what the last saved table gives the new one and recalculates.
void continueFrom(Inventory &inventory, ItemInventory &items, const QString &lastCopy);

} // namespace TableFile
