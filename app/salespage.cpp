// The window's sales page: the sales table and the appended items of a count.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "fileprompt.h"
#include "tablesetup.h"
#include "tillpanel.h"

#include "doubtsummary.h"
#include "interaction.h"
#include "salestotals.h"
#include "settings.h"
#include "tablefile.h"
#include "workbook.h"

#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QStatusBar>
#include <QToolTip>

void MainWindow::openInventory()
{
    if (!shownOverview)
        return;
    const QString lastCopy = localFilePath(QLatin1String(DataFile::lastTable));
    const TableFile::Carried carried =
        TableFile::open(inventory, itemInventory, shownOverview->rows, lastCopy);
    tillPanel->clear();
    TableSetup::showSales(ui->tvInventory, &inventory);
    TableSetup::showItems(ui->tvItemInventory, &itemInventory);
    keepOneSalesSelection();
    updateSalesTitle();
    showPage(SalesPage);

    // No copy is the normal first count; a damaged one would quietly start every bottle at zero and make
    // the takings plainly wrong.
    if (carried == TableFile::Carried::Damaged)
        Interaction::instance()->message(
            this, Interaction::Icon::Warning, tr("Unable to import table"),
            tr("The last saved table %1 is not an inventory table, so every initial quantity is zero. "
               "Use Import Table to take them from a saved table file.")
                .arg(QDir::toNativeSeparators(lastCopy)));
    else
        showDoubts(DoubtSummary::sales(inventory));
}

void MainWindow::calculated()
{
    ui->lblTotalRevenue->setText(SalesTotals::total(inventory, itemInventory));
    ui->lblBottlesRevenue->setText(SalesTotals::alcohol(inventory));
    ui->lblItemsRevenue->setText(SalesTotals::items(itemInventory));
    ui->tvInventory->updateGeometry();
    statusBar()->clearMessage();
}

void MainWindow::inputRefused(const QModelIndex &index, const QString &reason)
{
    // The cell keeps its old value; say why where the eye is, and keep it in the status line until the
    // next accepted edit.
    QTableView *view = index.model() == &inventory ? ui->tvInventory : ui->tvItemInventory;
    const QString text = tr("Not taken: %1").arg(reason);
    statusBar()->showMessage(text);
    QToolTip::showText(view->viewport()->mapToGlobal(view->visualRect(index).bottomLeft()), text, view);
}

void MainWindow::updateSalesTitle()
{
    ui->lblInventory->setText(
        tr("Sales: %1 - %2").arg(shownDate(inventory.timeStart), shownDate(inventory.timeEnd)));
}

void MainWindow::inventoryHeaderClicked(int section)
{
    // The header only opens menus here. The column it selected on the way would make a later Delete Item
    // offer every row of the table for deletion.
    ui->tvInventory->clearSelection();
    QMenu *menu = nullptr;
    if (section == Inventory::PriceColumn)
        menu = &currencyMenu;
    else if (section == Inventory::FromStockColumn)
        menu = &stockMenu;
    else if (section == Inventory::BottlesColumn)
        menu = &finalMenu;
    if (menu)
        menu->popup(QCursor::pos());
}

// Delete Item removes from the table that holds a selection, so only one of the two may hold one, however
// it was made: by the mouse, the keyboard or Add Item.
void MainWindow::keepOneSalesSelection()
{
    for (QTableView *view : {ui->tvInventory, ui->tvItemInventory}) {
        if (!view->selectionModel())
            continue;
        const auto slot = view == ui->tvInventory ? &MainWindow::inventoryBottleSelected
                                                  : &MainWindow::inventoryItemSelected;
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, slot,
                Qt::UniqueConnection);
    }
}

void MainWindow::inventoryBottleSelected()
{
    if (hasSelection(ui->tvInventory) && ui->tvItemInventory->selectionModel())
        ui->tvItemInventory->selectionModel()->clearSelection();
}

void MainWindow::inventoryItemSelected()
{
    if (hasSelection(ui->tvItemInventory) && ui->tvInventory->selectionModel())
        ui->tvInventory->selectionModel()->clearSelection();
}

void MainWindow::itemTableCheckChanged(bool checked)
{
    ui->tvItemInventory->setVisible(checked);
    ui->lblItemsRevenue->setVisible(checked);
    if (checked) {
        const int half = ui->splitter->height() / 2;
        ui->splitter->setSizes({half, half});
        ui->pbAppendedItems->setText(tr("- Appended Items"));
    } else {
        ui->splitter->setSizes({10000, 0});
        ui->pbAppendedItems->setText(tr("+ Appended Items"));
    }
}

void MainWindow::backFromInventory()
{
    if (confirmLeave())
        showMainMenu();
}

bool MainWindow::confirmLeave()
{
    if (!inventory.modified && !itemInventory.modified)
        return true;
    return Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Inventory not saved"),
                                            tr("Are you sure to leave? All unsaved data will be discarded."),
                                            Interaction::Yes | Interaction::No) == Interaction::Yes;
}

void MainWindow::saveInventory()
{
    QString folder;
    const QString proposed =
        QDateTime::currentDateTime().toString(QStringLiteral("'inv_'yyyy_MM_dd-hh_mm_ss")) +
        QStringLiteral(".inv");
    const QString fileName = FilePrompt::ask(this, tr("Save Table"), RememberedFolder::inventoryPath,
                                             proposed, tr("Inventory table files (*.inv)"), true, &folder);
    if (fileName.isEmpty())
        return;
    setRememberedFolder(QLatin1String(RememberedFolder::inventoryPath), folder);
    QString reason;
    QString failedFile;
    if (!TableFile::save(inventory, itemInventory, fileName,
                         localFilePath(QLatin1String(DataFile::lastTable)), &reason, &tillPanel->figures(),
                         &failedFile)) {
        FilePrompt::reportSaveFailure(this, failedFile, reason);
        return;
    }
    updateLastSavedLabel();
}

void MainWindow::importInventory()
{
    QString folder;
    const QString fileName = FilePrompt::ask(this, tr("Import table"), RememberedFolder::inventoryPath,
                                             QString(), tr("Inventory table files (*.inv)"), false, &folder);
    if (fileName.isEmpty())
        return;
    setRememberedFolder(QLatin1String(RememberedFolder::inventoryPath), folder);

    switch (inventory.import(fileName)) {
    case Inventory::FileNotFound:
        Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Unable to import table"),
                                         tr("File not found."));
        return;
    case Inventory::FormatError:
        Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Unable to import table"),
                                         tr("File is not inventory table."));
        return;
    case Inventory::NoError:
        break;
    }
    ui->tvInventory->setModel(nullptr);
    TableSetup::showSales(ui->tvInventory, &inventory);
    keepOneSalesSelection();
    updateSalesTitle();
}

void MainWindow::inventoryExportCSV()
{
    FilePrompt::exportTo(this, tr("Export to CSV"), RememberedFolder::csvPath, QStringLiteral("inv.csv"),
                         tr("CSV Files (*.csv)"), [this](const QString &fileName, QString *reason) {
                             return TableFile::writeSalesCsv(fileName, inventory, itemInventory, reason);
                         });
}

void MainWindow::inventoryExportExcel()
{
    const QString path = QDir::tempPath() + QStringLiteral("/inventory.xlsx");
    const TillComparison *till = tillPanel->figures().isEmpty() ? nullptr : &tillPanel->comparison();
    QString reason;
    if (Workbook::writeSales(path, inventory, itemInventory, till, &reason))
        openInSpreadsheet(path);
    else
        FilePrompt::reportSaveFailure(this, path, reason);
}

void MainWindow::printInventory()
{
    if (!Interaction::instance()->printDialog(this, printer, tr("Print Document")))
        return;
    QPainter painter;
    if (!beginPrinting(painter))
        return;
    const QString total = SalesTotals::total(inventory, itemInventory);
    PrintableTableModel::resetPageNumber();
    const QString date = tr("Inventory date: ") + shownDate(inventory.timeEnd);
    const bool withItems = itemInventory.rowCount() > 0;
    inventory.print(printer, painter, SalesTotals::alcohol(inventory), withItems ? QString() : total, date);
    if (withItems) {
        printer->newPage();
        itemInventory.print(printer, painter, SalesTotals::appendedItems(itemInventory), total, QString());
    }
    if (!tillPanel->figures().isEmpty()) {
        printer->newPage();
        TillVarianceModel printed;
        printed.setComparison(tillPanel->comparison());
        printed.setUnmatchedListed(true);
        printed.print(printer, painter, printed.summary(), QString(), QString());
    }
    painter.end();
}

void MainWindow::addInvetoryItem()
{
    if (!ui->pbAppendedItems->isChecked())
        ui->pbAppendedItems->setChecked(true);
    if (ui->tvItemInventory->model() != &itemInventory) {
        ui->tvItemInventory->setModel(&itemInventory);
        keepOneSalesSelection();
    }
    const QModelIndex current = ui->tvItemInventory->currentIndex();
    int row = 0;
    if (!current.isValid() || !ui->tvItemInventory->selectionModel()->hasSelection()) {
        row = itemInventory.rowCount();
        itemInventory.insertRows(row, 1);
        ui->tvItemInventory->scrollToBottom();
    } else {
        // A new row goes before the one the user chose; but after the one Add Item itself just made, or
        // several clicks in a row would list the items in the reverse order of the clicks.
        row = current.row() == lastAddedItemRow ? current.row() + 1 : current.row();
        itemInventory.insertRows(row, 1);
    }
    lastAddedItemRow = row;
    const QModelIndex name = itemInventory.index(row, ItemInventory::NameColumn);
    ui->tvItemInventory->setCurrentIndex(name);
    ui->tvItemInventory->edit(name);
}

void MainWindow::deleteInventoryItem()
{
    QTableView *view = nullptr;
    if (hasSelection(ui->tvInventory))
        view = ui->tvInventory;
    else if (hasSelection(ui->tvItemInventory))
        view = ui->tvItemInventory;
    if (view) {
        lastAddedItemRow = -1;
        deleteSelectedRows(view, view == ui->tvInventory ? tr("From the sales table:")
                                                         : tr("From the appended items:"));
    } else {
        askToSelect();
    }
}
