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
#include "shown.h"
#include "stationsession.h"
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

// Returns "file: reason" when the record could not be written, or an empty string.
QString setDownloaded(InventoryBottleList &list, const QList<InventoryBottle> &inventory)
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
    return written ? QString() : QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(record), reason);
}

// Told once the download is shown: a full disk or a folder that takes no file is news the user needs.
void reportNotRecorded(QWidget *parent, const QString &failure)
{
    if (failure.isEmpty())
        return;
    Interaction::instance()->message(
        parent, Interaction::Icon::Warning, MainWindow::tr("Download not recorded"),
        MainWindow::tr("%1\n\nThe weighings are shown all the same; only the note of when this count was "
                       "first downloaded on this computer is missing.")
            .arg(failure));
}

// Passes every question on, each message saying first which count it is about.
class NamingInteraction : public Interaction
{
public:
    NamingInteraction(Interaction *shown, const QString &count) : shown(shown), count(count) {}

    Button message(QWidget *parent, Icon icon, const QString &title, const QString &text,
                   int buttons) override
    {
        return shown->message(parent, icon, title, count + QLatin1Char('\n') + text, buttons);
    }
    QString fileDialog(QWidget *parent, const QString &title, const QString &startPath, const QString &filter,
                       bool save, QString *folder) override
    {
        return shown->fileDialog(parent, title, startPath, filter, save, folder);
    }
    bool getText(QWidget *parent, const QString &title, const QString &label, QString *text) override
    {
        return shown->getText(parent, title, label, text);
    }
    bool choose(QWidget *parent, const QString &title, const QString &label, const QStringList &choices,
                int *chosen) override
    {
        return shown->choose(parent, title, label, choices, chosen);
    }
    bool getNumber(QWidget *parent, const QString &title, const QString &label, int minimum, int maximum,
                   int *value) override
    {
        return shown->getNumber(parent, title, label, minimum, maximum, value);
    }
    bool printDialog(QWidget *parent, QPrinter *printer, const QString &title) override
    {
        return shown->printDialog(parent, printer, title);
    }
    void errorBox(const QString &title, const QString &text) override { shown->errorBox(title, text); }
    bool openUrl(const QUrl &url) override { return shown->openUrl(url); }

private:
    Interaction *shown;
    QString count;
};

QString minuteText(const QDateTime &time)
{
    return Shown::dateTime(time, QStringLiteral("dd.MM.yyyy hh:mm"));
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
    showProgress(tr("Reading inventory from Quarmel: %1 %").arg(0));
    session->readLast();
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
                   .arg(minuteText(QDateTime::fromSecsSinceEpoch(qint64(built))));
    ui->lblQuarmelVersion->setText(text);
}

void MainWindow::loadLast3Inventory()
{
    showFirmware();
    showProgress(tr("Reading inventory from Quarmel: %1 %").arg(0));
    session->readLastThree();
}

void MainWindow::stationFailed(const QString &message)
{
    progressDialog->close();
    showError(message);
}

void MainWindow::readingInventory(int percent)
{
    progressDialog->setText(tr("Reading inventory from Quarmel: %1 %").arg(percent));
}

void MainWindow::inventoryLoaded(int slot)
{
    lastSlot = slot;
    const QList<InventoryBottle> &weighings = session->weighings[slot];
    // Before the list is filled: its warnings ("lower than empty weight") and the overview's question about
    // unknown bottles are shown as they come, and must not sit under the overlay.
    progressDialog->close();
    currentList.setInventory(weighings, database);
    const QString notRecorded = setDownloaded(currentList, weighings);
    showInventoryOverview(&currentList);
    showDoubts(DoubtSummary::overview(currentList.rows));
    reportNotRecorded(this, notRecorded);
}

void MainWindow::lastThreeLoaded()
{
    lastSlot = session->lastSlot();
    showPage(LastThreePage);
    progressDialog->close();
    // Only a look before one is chosen: each count against a copy of the catalogue, so that no bottle is
    // marked for later counts, and without its warnings, which belong to the count that is opened.
    ScriptedInteraction quiet;
    Interaction *shown = Interaction::setInstance(&quiet);
    // The three share one record, so the last write tells for all of them.
    QString notRecorded;
    for (int slot = 0; slot < 3; ++slot) {
        Database preview;
        preview.setBottles(database->bottles);
        lastLists[slot].setInventory(session->weighings[slot], &preview);
        notRecorded = setDownloaded(lastLists[slot], session->weighings[slot]);
    }
    Interaction::setInstance(shown);
    showLastThreeInventories();
    reportNotRecorded(this, notRecorded);
}
void MainWindow::showDoubts(const QString &summary)
{
    if (summary.isEmpty())
        return;
    // A message over the progress overlay of a download still running would be hidden or answered before
    // its figures are in: it waits for the overlay to go.
    if (progressDialog->isVisible()) {
        pendingDoubts.append(summary);
        return;
    }
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
    auto *list = qobject_cast<InventoryBottleList *>(view->model());
    if (!list)
        return;
    const int slot = int(list - lastLists);
    if (slot < 0 || slot > 2)
        return;
    QString name;
    if (view == ui->tvInventoryOverview_1)
        name = ui->rbInventory_1->text() + QLatin1String(": ") + ui->lblInventoryTaken_1->text();
    else if (view == ui->tvInventoryOverview_2)
        name = ui->rbInventory_2->text() + QLatin1String(": ") + ui->lblInventoryTaken_2->text();
    else
        name = ui->rbInventory_3->text() + QLatin1String(": ") + ui->lblInventoryTaken_3->text();
    // The count opened is the one whose bottles the catalogue marks and whose warnings are shown, each
    // saying which count it is about.
    NamingInteraction named(Interaction::instance(), name);
    Interaction *shown = Interaction::setInstance(&named);
    const QVariant first = list->property(firstDownloadedProperty);
    const QVariant weighed = list->property(weighingsProperty);
    list->setInventory(session->weighings[slot], database);
    list->setProperty(firstDownloadedProperty, first);
    list->setProperty(weighingsProperty, weighed);
    showInventoryOverview(list);
    showDoubts(DoubtSummary::overview(list->rows));
    Interaction::setInstance(shown);
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
    ui->tvEditDatabase->setCurrentIndex(ui->tvEditDatabase->model()->index(0, 0));
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
    const auto write = [rows = shownOverview->rows](const QString &file, QString *reason) {
        return Workbook::writeOverview(file, rows, reason);
    };
    QString reason;
    if (write(path, &reason))
        openInSpreadsheet(path, RememberedFolder::csvOverviewPath, write);
    else
        FilePrompt::reportSaveFailure(this, path, reason);
}

void MainWindow::printInventoryOverview()
{
    if (!shownOverview ||
        !FilePrompt::askToPrint(this, printer, printName(QStringLiteral("weighings"), shownOverview->time)))
        return;
    PrintableTableModel::resetPageNumber();
    QPainter painter;
    if (!beginPrinting(painter))
        return;
    shownOverview->print(printer, painter, QString(), QString(),
                         FilePrompt::printHeading(tr("Loaded: ") + shownDate(shownOverview->time)));
}
