#include "salestotals.h"

#include "inventory.h"
#include "iteminventory.h"
#include "settings.h"

#include <QCoreApplication>

namespace SalesTotals {

namespace {
QString amount(const char *text, double value)
{
    // Translated in the window's context, where these texts have always lived.
    return QCoreApplication::translate("MainWindow", text).arg(QString::number(value, 'f', 2)) +
           QLatin1Char(' ') + Settings::currencyName();
}
} // namespace

QString alcohol(const Inventory &inventory)
{
    return amount(QT_TRANSLATE_NOOP("MainWindow", "Alcohol Sales: %1"), inventory.total);
}

QString items(const ItemInventory &items)
{
    return amount(QT_TRANSLATE_NOOP("MainWindow", "Other Items Sales: %1"), items.total);
}

QString appendedItems(const ItemInventory &items)
{
    return amount(QT_TRANSLATE_NOOP("MainWindow", "Appended Item Sales: %1"), items.total);
}

QString total(const Inventory &inventory, const ItemInventory &items)
{
    return amount(QT_TRANSLATE_NOOP("MainWindow", "Total Sales: %1"), inventory.total + items.total);
}

} // namespace SalesTotals
