// Names and descriptions that a screen reader speaks for the window's tables, fields and charts. Kept in one
// place, by object name, so that the pages stay as they are laid out.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>

Q_LOGGING_CATEGORY(lcAccessibility, "accessibility")

#ifdef QT_CHARTS_USE_NAMESPACE
QT_CHARTS_USE_NAMESPACE
#endif

void MainWindow::nameForAccessibility()
{
    struct Named
    {
        const char *objectName;
        QString name;
        QString description;
    };
    const Named named[] = {
        {"tvEditDatabase", tr("Catalogue"), tr("The bottles and items the station knows, one per row.")},
        {"tvDatabaseUpdate", tr("Catalogue update"),
         tr("The catalogue with the update applied; updated rows are shaded.")},
        {"tvInventory", tr("Bottle sales"),
         tr("One row per bottle: stock at the start, bottles taken from stock, weighed stock and sales.")},
        {"tvItemInventory", tr("Appended item sales"), tr("Items sold by the piece, added to this count.")},
        {"tvInventoryOverview", tr("Weighed bottles"),
         tr("Every weighing of the inventory read from the station, with the residue left in the bottle.")},
        {"tvInventoryOverview_1", tr("Last count"), tr("The weighings of the last inventory in the station.")},
        {"tvInventoryOverview_2", tr("Next to last count"),
         tr("The weighings of the inventory before the last.")},
        {"tvInventoryOverview_3", tr("Two before the last count"),
         tr("The weighings of the inventory two before the last.")},
        {"tvHistory", tr("Saved counts"), tr("Every saved count with its period and its takings.")},
        {"tvTillVariance", tr("Till variance"),
         tr("What the count says was sold beside what the till took, row by row.")},
        {"lwUnmatchedTill", tr("Till products not matched"), QString()},
        {"lwUnmatchedRows", tr("Sold but not in the till"), QString()},
        {"leTillAmount", tr("Till takings"), tr("The amount the till took in the period of this count.")},
        {"dteCountEnd", tr("Counted at"), tr("The end of the period of this count; the next count starts here.")},
        {"cbHistoryBottle", tr("Bottle in the chart"), tr("The bottle whose sold quantity the chart shows.")},
        {"cbHistoryVarianceBottle", tr("Bottle in the till variance chart"),
         tr("The whole count, or the bottle whose till variance the chart shows.")},
    };
    for (const Named &entry : named) {
        QWidget *widget = findChild<QWidget *>(QLatin1String(entry.objectName));
        if (!widget) {
            qCDebug(lcAccessibility) << "No widget" << entry.objectName;
            continue;
        }
        widget->setAccessibleName(entry.name);
        if (!entry.description.isEmpty())
            widget->setAccessibleDescription(entry.description);
    }
    // A chart is spoken by its title, which already says what it shows.
    for (QChartView *chart : findChildren<QChartView *>()) {
        if (chart->accessibleName().isEmpty() && chart->chart())
            chart->setAccessibleName(chart->chart()->title());
    }
}
