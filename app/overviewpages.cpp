// The window's reading from the station, the overview page and the page of the last three inventories.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "fileprompt.h"
#include "progressdialog.h"
#include "tablesetup.h"

#include "database.h"
#include "doubtsummary.h"
#include "downloadrecord.h"
#include "interaction.h"
#include "settings.h"
#include "workbook.h"

#include <QDateTime>
#include <QDir>
#include <QLoggingCategory>
#include <QPainter>

Q_LOGGING_CATEGORY(lcOverviewPages, "overviewpages")

namespace {
// What the download record knew of an overview's count, carried by the overview model for the pages that
// show it: the station itself never says when a count was taken.
constexpr char firstDownloadedProperty[] = "firstDownloaded";
constexpr char weighingsProperty[] = "weighings";

void setDownloaded(InventoryBottleList &list, const QList<InventoryBottle> &inventory)
{
    bool written = true;
    QString reason;
    const QString record = localFilePath(QLatin1String(DownloadRecord::fileName));
    const QDateTime first =
        DownloadRecord::remember(record, inventory, QDateTime::currentDateTime(), &written, &reason);
    if (!written)
        qCWarning(lcOverviewPages) << "Download not recorded in" << record << reason;
    list.setProperty(firstDownloadedProperty, first);
    list.setProperty(weighingsProperty, int(inventory.size()));
    list.setProperty("downloadFingerprint", DownloadRecord::fingerprint(inventory));
}

QString minuteText(const QDateTime &time)
{
    return time.toString(QStringLiteral("dd.MM.yyyy hh:mm"));
}

// The line under a radio button of the last three inventories.
QString downloadedText(const InventoryBottleList &list)
{
    const int weighings = list.property(weighingsProperty).toInt();
    const QDateTime first = list.property(firstDownloadedProperty).toDateTime();
    if (weighings == 0)
        return MainWindow::tr("Empty: Quarmel holds no weighings in this place.");
    if (first.isValid())
        return MainWindow::tr("Bottles: %1, first downloaded %2").arg(weighings).arg(minuteText(first));
    return MainWindow::tr("Bottles: %1. Quarmel does not record when a count was taken, and this count had "
                          "never been downloaded on this computer before.")
        .arg(weighings);
}
} // namespace

void MainWindow::readFwVersion()
{
    readIndex = -1;
    showProgress(tr("Reading inventory from Quarmel: %1 %").arg(0));
    communication->readVersion();
}

void MainWindow::readVersionFinished()
{
    loadLastInventory();
}

void MainWindow::loadLastInventory()
{
    showFirmware();
    readIndex = -1;
    communication->readLastInventoryNumber();
}

// The firmware is known by the time it was built; a station that gave no readable time says so, and one not
// asked yet (the three-inventory read does not ask) shows nothing.
void MainWindow::showFirmware()
{
    const quint64 built = communication->firmwareVersion;
    QString text;
    if (built == 4294967295u)
        text = tr("Quarmel FW: unknown");
    else if (built != 0)
        text = tr("Quarmel FW: %1")
                   .arg(QDateTime::fromSecsSinceEpoch(qint64(built))
                            .toString(QStringLiteral("dd.MM.yyyy hh:mm")));
    ui->lblQuarmelVersion->setText(text);
}

void MainWindow::loadLast3Inventory()
{
    showFirmware();
    readIndex = 0;
    showProgress(tr("Reading inventory from Quarmel: %1 %").arg(0));
    communication->readLastInventoryNumber();
}

void MainWindow::lastInventoryNumber(int number)
{
    // Only slots 0 to 2 hold inventories; a station that has never taken one reports -1. Reading another
    // number would take the catalogue area for weighings or index past the three lists.
    if (number < 0 || number > 2) {
        qCWarning(lcOverviewPages) << "No stored inventory, last inventory number" << number;
        readIndex = -1;
        progressDialog->close();
        showError(tr("Quarmel holds no stored inventory yet (it reports number %1). "
                     "Take an inventory on Quarmel first.")
                      .arg(number));
        return;
    }
    lastSlot = number;
    communication->readInventory(readIndex == -1 ? number : readIndex);
}

void MainWindow::readingInventory(int percent)
{
    progressDialog->setText(tr("Reading inventory from Quarmel: %1 %").arg(percent));
}

void MainWindow::inventoryLoaded()
{
    if (readIndex == -1) {
        currentList.setInventory(communication->inventory, database);
        setDownloaded(currentList, communication->inventory);
        // Before the overview: its question about unknown bottles must not sit under the overlay.
        progressDialog->close();
        showInventoryOverview(&currentList);
        showDoubts(DoubtSummary::overview(currentList.rows));
        return;
    }
    if (readIndex == 0 || readIndex == 1) {
        lastLists[readIndex].setInventory(communication->inventory, database);
        setDownloaded(lastLists[readIndex], communication->inventory);
        ++readIndex;
        communication->readInventory(readIndex);
        return;
    }
    showPage(LastThreePage);
    progressDialog->close();
    lastLists[2].setInventory(communication->inventory, database);
    setDownloaded(lastLists[2], communication->inventory);
    readIndex = -1;
    showLastThreeInventories();
}

void MainWindow::showDoubts(const QString &summary)
{
    if (!summary.isEmpty())
        Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Weighings to check"), summary,
                                         Interaction::Ok);
}

void MainWindow::showLastThreeInventories()
{
    const int n = lastSlot;
    TableSetup::showOverview(ui->tvInventoryOverview_1, &lastLists[n]);
    TableSetup::showOverview(ui->tvInventoryOverview_2, &lastLists[(n + 2) % 3]);
    TableSetup::showOverview(ui->tvInventoryOverview_3, &lastLists[(n + 1) % 3]);
    ui->lblInventoryTaken_1->setText(downloadedText(lastLists[n]));
    ui->lblInventoryTaken_2->setText(downloadedText(lastLists[(n + 2) % 3]));
    ui->lblInventoryTaken_3->setText(downloadedText(lastLists[(n + 1) % 3]));
    ui->rbInventory_1->setChecked(true);
}

void MainWindow::selectInventory()
{
    QTableView *view = nullptr;
    if (ui->rbInventory_1->isChecked())
        view = ui->tvInventoryOverview_1;
    else if (ui->rbInventory_2->isChecked())
        view = ui->tvInventoryOverview_2;
    else if (ui->rbInventory_3->isChecked())
        view = ui->tvInventoryOverview_3;
    if (!view)
        return;
    if (auto *list = qobject_cast<InventoryBottleList *>(view->model()))
        showInventoryOverview(list);
}

void MainWindow::showInventoryOverview(InventoryBottleList *list)
{
    showPage(OverviewPage);
    shownOverview = list;
    TableSetup::showOverview(ui->tvInventoryOverview, list);
    // The date the overview was made is today's; a count read before shows when that was, the nearest true
    // time of the count there is.
    const QDateTime first = list->property(firstDownloadedProperty).toDateTime();
    ui->lblInventoryDate_2->setText(first.isValid() ? tr("%1 (first downloaded %2)")
                                                          .arg(shownDate(list->time), minuteText(first))
                                                    : shownDate(list->time));
    offerUnknownBottles(*list);
}

void MainWindow::offerUnknownBottles(const InventoryBottleList &list)
{
    if (list.unknownEans.isEmpty())
        return;
    if (Interaction::instance()->message(
            this, Interaction::Icon::Question, tr("Add to database"),
            tr("Not in the database: %1. Add it now? The database opens with a new row holding each EAN; "
               "fill in the names, volume and weights, press Save, then read the count again.")
                .arg(list.unknownEans.join(QStringLiteral(", "))),
            Interaction::Yes | Interaction::No) != Interaction::Yes)
        return;
    editDatabase();
    unlock();
    for (auto ean = list.unknownEans.crbegin(); ean != list.unknownEans.crend(); ++ean) {
        if (!database->findByEan(*ean))
            database->insertBottle(0, *ean);
    }
    ui->tvEditDatabase->scrollToTop();
    ui->tvEditDatabase->setCurrentIndex(database->index(0, 0));
}

void MainWindow::deleteInventoryOverviewRow()
{
    if (!hasSelection(ui->tvInventoryOverview)) {
        askToSelect();
        return;
    }
    deleteSelectedRows(ui->tvInventoryOverview, tr("From the overview:"));
}

void MainWindow::inventoryOverviewExportCSV()
{
    if (shownOverview)
        FilePrompt::exportTo(this, tr("Export to CSV"), RememberedFolder::csvOverviewPath,
                             QStringLiteral("inv.csv"), tr("CSV Files (*.csv)"),
                             [list = shownOverview](const QString &file, QString *reason) {
                                 return list->saveToCSV(file, reason);
                             });
}

void MainWindow::inventoryOverviewExportXML()
{
    if (shownOverview)
        FilePrompt::exportTo(this, tr("Export to XML"), RememberedFolder::xmlOverviewPath,
                             QStringLiteral("inv.xml"), tr("XML Files (*.xml)"),
                             [list = shownOverview](const QString &file, QString *reason) {
                                 return list->saveToXML(file, reason);
                             });
}

void MainWindow::inventoryOverviewExportExcel()
{
    // The list on the page, which after choosing among the last three is not the last single read.
    if (!shownOverview)
        return;
    const QString path = QDir::tempPath() + QStringLiteral("/inv.xlsx");
    QString reason;
    if (Workbook::writeOverview(path, shownOverview->rows, &reason))
        openInSpreadsheet(path);
    else
        FilePrompt::reportSaveFailure(this, path, reason);
}

void MainWindow::printInventoryOverview()
{
    if (!shownOverview || !Interaction::instance()->printDialog(this, printer, tr("Print Document")))
        return;
    PrintableTableModel::resetPageNumber();
    QPainter painter;
    if (!beginPrinting(painter))
        return;
    shownOverview->print(printer, painter, QString(), QString(),
                         tr("Loaded: ") + shownDate(shownOverview->time));
}
