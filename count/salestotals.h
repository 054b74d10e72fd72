#pragma once

#include <QString>

class Inventory;
class ItemInventory;

// The takings of a count as shown under the tables, printed on the sales printout and written by quarmelctl,
// with two decimals and the currency name.
namespace SalesTotals {

QString alcohol(const Inventory &inventory);                           // "Alcohol Sales: 12.50 CZK"
QString items(const ItemInventory &items);                             // "Other Items Sales: ..."
QString appendedItems(const ItemInventory &items);                     // "Appended Item Sales: ..."
QString total(const Inventory &inventory, const ItemInventory &items); // "Total Sales: ..."

} // namespace SalesTotals
