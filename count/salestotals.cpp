#include "salestotals.h"

#include "inventory.h"
#include "iteminventory.h"
#include "settings.h"
#include "shown.h"

#include <QCoreApplication>

namespace SalesTotals {

namespace {
// In the count's own currency: an old count is shown in the one it was saved in.
QString amount(const char *text, double value, int currency)
{
    // Translated in the window's context, where these texts have always lived.
    return QCoreApplication::translate("MainWindow", text).arg(Shown::fixed(value, 2)) +
           QLatin1Char(' ') + Settings::currencyName(currency);
}
} // namespace

QString alcohol(const Inventory &inventory)
{
    return amount(QT_TRANSLATE_NOOP("MainWindow", "Alcohol Sales: %1"), inventory.total, inventory.currency);
}

QString items(const ItemInventory &items)
{
    return amount(QT_TRANSLATE_NOOP("MainWindow", "Other Items Sales: %1"), items.total, items.currency);
}

QString appendedItems(const ItemInventory &items)
{
    return amount(QT_TRANSLATE_NOOP("MainWindow", "Appended Item Sales: %1"), items.total, items.currency);
}

QString total(const Inventory &inventory, const ItemInventory &items)
{
    return amount(QT_TRANSLATE_NOOP("MainWindow", "Total Sales: %1"), inventory.total + items.total,
                  inventory.currency);
}

} // namespace SalesTotals
