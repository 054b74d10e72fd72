#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "errorbox.h"
#include "fileprompt.h"
#include "progressdialog.h"
#include "resourcepaths.h"
#include "tablesetup.h"

#include "catalogueupdate.h"
#include "database.h"
#include "diffdatabase.h"
#include "interaction.h"
#include "localcatalogue.h"
#include "salestotals.h"
#include "settings.h"
#include "stationprotocol.h"
#include "tablefile.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPainter>
#include <QPrinter>
#include <QUrl>

#include <algorithm>

Q_LOGGING_CATEGORY(lcMainWindow, "mainwindow")

namespace {
const char revision[] = "1:94";
const QColor currentRowColor(255, 255, 255);
const QColor updatedRowColor(232, 232, 232);

QString shownDate(const QDateTime &time)
{
    return time.toString(QStringLiteral("dd.MM.yyyy"));
}

QString fileDateOrDash(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? shownDate(info.lastModified()) : QStringLiteral("---");
}

QString legendStyle(const QColor &color)
{
    return QStringLiteral("background: #%1%2%3;")
        .arg(color.red(), 2, 16, QLatin1Char('0'))
        .arg(color.green(), 2, 16, QLatin1Char('0'))
        .arg(color.blue(), 2, 16, QLatin1Char('0'));
}

void showError(const QString &text)
{
    Interaction::instance()->errorBox(ErrorBox::tr("Error"), text);
}

bool hasSelection(const QTableView *view)
{
    return view->model() && view->selectionModel() && view->selectionModel()->hasSelection();
}

void askToSelect(QWidget *parent)
{
    Interaction::instance()->message(parent, Interaction::Icon::Information, MainWindow::tr("Select Item"),
                                     MainWindow::tr("Select Item to Delete"));
}
} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    setWindowIcon(QIcon(grafikaPath(QStringLiteral("iconQuarmel.png"))));
    setUpLook();

    communication = new Communication(this);
    database = new Database(this);
    networkManager = new QNetworkAccessManager(this);
    // A server that takes the connection and then says nothing would keep the progress overlay up for good.
    networkManager->setTransferTimeout(CatalogueUpdate::transferTimeoutMs);
    diffDatabase = new DiffDatabase(this, database, currentRowColor, updatedRowColor);
    progressDialog = new ProgressDialog(this, ui->stackedWidget);
    progressDialog->close();
    setWindowFlags(Qt::Window);
    printer = new QPrinter(QPrinter::HighResolution);

    currencyMenu.addAction(tr("CZK"), &inventory, &Inventory::selectCZK);
    currencyMenu.addAction(tr("EUR"), &inventory, &Inventory::selectEUR);
    stockMenu.addAction(tr("Litres"), &inventory, &Inventory::selectLitresStock);
    stockMenu.addAction(tr("Pieces"), &inventory, &Inventory::selectPiecesStock);
    finalMenu.addAction(tr("Litres"), &inventory, &Inventory::selectLitresFinal);
    finalMenu.addAction(tr("Pieces"), &inventory, &Inventory::selectPiecesFinal);

    TableSetup::prepare(*ui);
    updateDatabaseDateLabel();
    updateLastSavedLabel();
    loadLocalDatabase();

    connectMenuPage();
    connectStation();
    connectOverviewPages();
    connectSalesPage();
    connectCataloguePages();

    ui->tvItemInventory->hide();
    itemTableCheckChanged(false);
}

MainWindow::~MainWindow()
{
    delete ui;
    delete printer;
}

void MainWindow::setUpLook()
{
    for (QPushButton *button : {ui->pbEditDatabase, ui->pbLoadLastInventory, ui->pbLoadLastThreeInventory,
                                ui->pbRefreshDatabase, ui->pbAppendedItems})
        button->setCursor(Qt::PointingHandCursor);

    QFile styleFile(grafikaPath(QStringLiteral("style.css")));
    QString styleSheet;
    if (styleFile.open(QIODevice::ReadOnly | QIODevice::Text))
        styleSheet = QString::fromUtf8(styleFile.readAll());
    qApp->setStyleSheet(styleSheet);

    ui->lblCurrent->setStyleSheet(legendStyle(currentRowColor));
    ui->lblUpdated->setStyleSheet(legendStyle(updatedRowColor));

    const QString revisionText = QString::fromLatin1(revision);
    const int colon = revisionText.indexOf(QLatin1Char(':'));
    const QString notice = tr("© 2026 Quarmel Inventory developers. Free to use in your bar.");
    if (colon >= 0)
        ui->lblCopyright->setText(tr("Quarmel Inventory SW ") + revisionText.mid(colon + 1) +
                                  QStringLiteral(", ") + notice);
    else
        ui->lblCopyright->setText(notice);
}

// ---------------------------------------------------------------------------------------------------------
// Connections, one group per page

void MainWindow::connectMenuPage()
{
    connect(ui->pbLoadLastInventory, &QPushButton::clicked, this, &MainWindow::readFwVersion);
    connect(ui->pbLoadLastThreeInventory, &QPushButton::clicked, this, &MainWindow::loadLast3Inventory);
    connect(ui->pbEditDatabase, &QPushButton::clicked, this, &MainWindow::editDatabase);
    connect(ui->pbRefreshDatabase, &QPushButton::clicked, this, &MainWindow::downloadDatabase);
    for (QPushButton *back : {ui->pbBack_2, ui->pbBack_3, ui->pbBack, ui->pbBack_5})
        connect(back, &QPushButton::clicked, this, &MainWindow::showMainMenu);
}

void MainWindow::connectStation()
{
    connect(communication, &Communication::versionReadFinished, this, &MainWindow::readVersionFinished);
    connect(communication, &Communication::lastInventoryNumber, this, &MainWindow::lastInventoryNumber);
    connect(communication, &Communication::inventoryRead, this, &MainWindow::readingInventory);
    connect(communication, &Communication::inventoryReadFinished, this, &MainWindow::inventoryLoaded);
    connect(communication, &Communication::portNotOpened, this, &MainWindow::portNotOpened);
    connect(communication, &Communication::timeout, this, &MainWindow::timeout);
    connect(communication, &Communication::databaseWriten, this, &MainWindow::savingDatabase);
    connect(communication, &Communication::databaseWriteFinished, this, &MainWindow::saveDatabaseToFile);
    connect(communication, &Communication::writeError, this, &MainWindow::databaseWriteRefused);
}

void MainWindow::connectOverviewPages()
{
    connect(ui->pbSelectInventory, &QPushButton::clicked, this, &MainWindow::selectInventory);
    connect(ui->pbInventory_2, &QPushButton::clicked, this, &MainWindow::openInventory);
    connect(ui->pbInventoryOverviewExportCSV, &QPushButton::clicked, this,
            &MainWindow::inventoryOverviewExportCSV);
    connect(ui->pbInventoryOverviewExportXML, &QPushButton::clicked, this,
            &MainWindow::inventoryOverviewExportXML);
    connect(ui->pbInventoryOverviewExportExcel, &QPushButton::clicked, this,
            &MainWindow::inventoryOverviewExportExcel);
    connect(ui->pbPrint_2, &QPushButton::clicked, this, &MainWindow::printInventoryOverview);
    connect(ui->pbDeleteItemOverview, &QPushButton::clicked, this, &MainWindow::deleteInventoryOverviewRow);
}

void MainWindow::connectSalesPage()
{
    connect(ui->tvInventory->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &MainWindow::inventoryHeaderClicked);
    connect(ui->tvInventory, &QTableView::clicked, this, &MainWindow::inventoryBottleSelected);
    connect(ui->tvItemInventory, &QTableView::clicked, this, &MainWindow::inventoryItemSelected);
    connect(&inventory, &Inventory::calculated, this, &MainWindow::calculated);
    connect(&itemInventory, &ItemInventory::calculated, this, &MainWindow::calculated);
    connect(ui->pbBack_4, &QPushButton::clicked, this, &MainWindow::backFromInventory);
    connect(ui->pbSaveInventory, &QPushButton::clicked, this, &MainWindow::saveInventory);
    connect(ui->pbImportInventory, &QPushButton::clicked, this, &MainWindow::importInventory);
    connect(ui->pbInventoryExportCSV, &QPushButton::clicked, this, &MainWindow::inventoryExportCSV);
    connect(ui->pbInventoryExportExcel, &QPushButton::clicked, this, &MainWindow::inventoryExportExcel);
    connect(ui->pbPrintInventory, &QPushButton::clicked, this, &MainWindow::printInventory);
    connect(ui->pbAddInventoryItem, &QPushButton::clicked, this, &MainWindow::addInvetoryItem);
    connect(ui->pbDeleteInventoryItem, &QPushButton::clicked, this, &MainWindow::deleteInventoryItem);
    connect(ui->pbAppendedItems, &QPushButton::toggled, this, &MainWindow::itemTableCheckChanged);
}

void MainWindow::connectCataloguePages()
{
    connect(ui->pbAddRow, &QPushButton::clicked, this, &MainWindow::addDatabaseRow);
    connect(ui->pbDeleteItem, &QPushButton::clicked, this, &MainWindow::deleteDatabaseRow);
    connect(ui->pbSaveDatabase, &QPushButton::clicked, this, &MainWindow::saveDatabase);
    connect(ui->pbUnlock, &QPushButton::clicked, this, &MainWindow::unlock);
    connect(ui->pbUpdate, &QPushButton::clicked, this, &MainWindow::applyDatabaseUpdate);
    connect(networkManager, &QNetworkAccessManager::finished, this, &MainWindow::replyFinished);
}

// ---------------------------------------------------------------------------------------------------------
// Start-up and navigation

void MainWindow::loadLocalDatabase()
{
    const LocalCatalogue::Opened opened =
        LocalCatalogue::open(*database, localFilePath(QLatin1String(DataFile::catalogue)));
    if (opened.result == LocalCatalogue::Opened::Missing) {
        Interaction::instance()->errorBox(tr("Error"), tr("Error, database not found"));
    } else if (opened.result == LocalCatalogue::Opened::Damaged) {
        const QString text =
            opened.keptCopy.isEmpty()
                ? tr("The local database file is damaged (%1). Only the items before the fault were loaded, "
                     "and no copy of the damaged file could be kept.")
                      .arg(opened.damage)
                : tr("The local database file is damaged (%1). Only the items before the fault were loaded. "
                     "A copy of the damaged file was kept as %2.")
                      .arg(opened.damage, opened.keptCopy);
        Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Damaged database"), text);
    }
    ui->tvEditDatabase->setModel(database);
}

void MainWindow::showPage(Page page)
{
    ui->stackedWidget->setCurrentIndex(page);
}

void MainWindow::showMainMenu()
{
    showPage(MenuPage);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (ui->stackedWidget->currentIndex() == SalesPage && !confirmLeave())
        event->ignore();
    else
        event->accept();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    itemTableCheckChanged(ui->pbAppendedItems->isChecked());
}

void MainWindow::showProgress(const QString &text)
{
    progressDialog->setText(text);
    progressDialog->show();
    progressDialog->raise();
}

void MainWindow::updateLastSavedLabel()
{
    ui->lblLastSavedInventoryTime->setText(fileDateOrDash(localFilePath(QLatin1String(DataFile::lastTable))));
}

void MainWindow::updateDatabaseDateLabel()
{
    ui->lblLastDatabaseUpdateTime->setText(fileDateOrDash(localFilePath(QLatin1String(DataFile::catalogue))));
}

void MainWindow::portNotOpened(Communication::State state)
{
    progressDialog->close();
    QString text;
    switch (state) {
    case Communication::ReadingDatabase:
        text = tr("Quarmel must be connected to download database.");
        break;
    case Communication::WritingDatabase:
        text = tr("Quarmel must be connected to write database.");
        break;
    case Communication::ReadingInventory:
    case Communication::ReadingInventoryNumber:
    case Communication::ReadingVersion:
        text = tr("Quarmel must be connected to download inventory.");
        break;
    default:
        break;
    }
    if (text.isEmpty())
        Interaction::instance()->errorBox(QString(), QString());
    else
        showError(text);
}

void MainWindow::timeout()
{
    progressDialog->close();
    showError(tr("Timeout Error, Quarmel not connected?"));
}

// ---------------------------------------------------------------------------------------------------------
// Reading inventories from the station, the overview page and the page of the last three

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
    ui->lblQuarmelVersion->setText(tr("Quarmel FW: %1").arg(communication->firmwareVersion));
    readIndex = -1;
    communication->readLastInventoryNumber();
}

void MainWindow::loadLast3Inventory()
{
    readIndex = 0;
    showProgress(tr("Reading inventory from Quarmel: %1 %").arg(0));
    communication->readLastInventoryNumber();
}

void MainWindow::lastInventoryNumber(int number)
{
    // Only slots 0 to 2 hold inventories; a station that has never taken one reports -1. Reading another
    // number would take the catalogue area for weighings or index past the three lists.
    if (number < 0 || number > 2) {
        qCWarning(lcMainWindow) << "No stored inventory, last inventory number" << number;
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
        showInventoryOverview(&currentList);
        progressDialog->close();
        return;
    }
    if (readIndex == 0 || readIndex == 1) {
        lastLists[readIndex].setInventory(communication->inventory, database);
        ++readIndex;
        communication->readInventory(readIndex);
        return;
    }
    showPage(LastThreePage);
    progressDialog->close();
    lastLists[2].setInventory(communication->inventory, database);
    readIndex = -1;
    showLastThreeInventories();
}

void MainWindow::showLastThreeInventories()
{
    const int n = lastSlot;
    TableSetup::showOverview(ui->tvInventoryOverview_1, &lastLists[n]);
    TableSetup::showOverview(ui->tvInventoryOverview_2, &lastLists[(n + 2) % 3]);
    TableSetup::showOverview(ui->tvInventoryOverview_3, &lastLists[(n + 1) % 3]);
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
    ui->lblInventoryDate_2->setText(shownDate(list->time));
}

void MainWindow::deleteInventoryOverviewRow()
{
    if (!hasSelection(ui->tvInventoryOverview)) {
        askToSelect(this);
        return;
    }
    deleteSelectedRows(ui->tvInventoryOverview);
}

void MainWindow::inventoryOverviewExportCSV()
{
    if (!shownOverview)
        return;
    FilePrompt::exportTo(this, tr("Export to CSV"), RememberedFolder::csvOverviewPath,
                         QStringLiteral("inv.csv"), tr("CSV Files (*.csv)"),
                         [this](const QString &fileName, QString *reason) {
                             return shownOverview->saveToCSV(fileName, reason);
                         });
}

void MainWindow::inventoryOverviewExportXML()
{
    if (!shownOverview)
        return;
    FilePrompt::exportTo(this, tr("Export to XML"), RememberedFolder::xmlOverviewPath,
                         QStringLiteral("inv.xml"), tr("XML Files (*.xml)"),
                         [this](const QString &fileName, QString *reason) {
                             return shownOverview->saveToXML(fileName, reason);
                         });
}

void MainWindow::inventoryOverviewExportExcel()
{
    // The list on the page, which after choosing among the last three is not the last single read.
    if (!shownOverview)
        return;
    const QString path = QDir::tempPath() + QStringLiteral("/inv.csv");
    QString reason;
    if (shownOverview->saveToCSV(path, &reason))
        openInSpreadsheet(path);
    else
        FilePrompt::reportSaveFailure(this, reason);
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

// ---------------------------------------------------------------------------------------------------------
// Sales page

void MainWindow::openInventory()
{
    if (!shownOverview)
        return;
    const QString lastCopy = localFilePath(QLatin1String(DataFile::lastTable));
    const TableFile::Carried carried =
        TableFile::open(inventory, itemInventory, shownOverview->rows, lastCopy);
    TableSetup::showSales(ui->tvInventory, &inventory);
    TableSetup::showItems(ui->tvItemInventory, &itemInventory);
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
}

void MainWindow::calculated()
{
    ui->lblTotalRevenue->setText(SalesTotals::total(inventory, itemInventory));
    ui->lblBottlesRevenue->setText(SalesTotals::alcohol(inventory));
    ui->lblItemsRevenue->setText(SalesTotals::items(itemInventory));
    ui->tvInventory->updateGeometry();
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

void MainWindow::inventoryBottleSelected()
{
    if (ui->tvItemInventory->selectionModel())
        ui->tvItemInventory->selectionModel()->clearSelection();
}

void MainWindow::inventoryItemSelected()
{
    if (ui->tvInventory->selectionModel())
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
    if (!TableFile::save(inventory, itemInventory, fileName,
                         localFilePath(QLatin1String(DataFile::lastTable)), &reason)) {
        FilePrompt::reportSaveFailure(this, reason);
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
    const QString path = QDir::tempPath() + QStringLiteral("/inventory.csv");
    QString reason;
    if (TableFile::writeSalesCsv(path, inventory, itemInventory, &reason))
        openInSpreadsheet(path);
    else
        FilePrompt::reportSaveFailure(this, reason);
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
    painter.end();
}

void MainWindow::addInvetoryItem()
{
    if (!ui->pbAppendedItems->isChecked())
        ui->pbAppendedItems->setChecked(true);
    if (ui->tvItemInventory->model() != &itemInventory)
        ui->tvItemInventory->setModel(&itemInventory);
    const QModelIndex current = ui->tvItemInventory->currentIndex();
    int row = 0;
    if (!current.isValid() || !ui->tvItemInventory->selectionModel()->hasSelection()) {
        row = itemInventory.rowCount();
        itemInventory.insertRows(row, 1);
        ui->tvItemInventory->scrollToBottom();
    } else {
        row = current.row();
        itemInventory.insertRows(row, 1);
    }
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
    if (view)
        deleteSelectedRows(view);
    else
        askToSelect(this);
}

// ---------------------------------------------------------------------------------------------------------
// Shared by the pages: deleting rows, the spreadsheet hand-off, the printer

void MainWindow::deleteSelectedRows(QTableView *view)
{
    if (Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Delete Item"),
                                         tr("Are you sure to delete selected items ?"),
                                         Interaction::Yes | Interaction::No) == Interaction::No)
        return;
    QList<int> rows;
    for (const QModelIndex &index : view->selectionModel()->selectedIndexes())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QAbstractItemModel *model = view->model();
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        model->removeRows(*it, 1);
}

void MainWindow::openInSpreadsheet(const QString &path)
{
    // Without a program for .csv files the desktop opens nothing and says nothing; the file is there all the
    // same, so tell the user where to find it.
    if (Interaction::instance()->openUrl(QUrl::fromLocalFile(path)))
        return;
    qCWarning(lcMainWindow) << "No program opened" << path;
    Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Unable to open"),
                                     tr("No program for CSV files was found. The table was saved as %1.")
                                         .arg(QDir::toNativeSeparators(path)));
}

bool MainWindow::beginPrinting(QPainter &painter)
{
    if (painter.begin(printer))
        return true;
    // A printer that cannot start (an unwritable PDF file, a vanished printer) must not look like a printout.
    qCWarning(lcMainWindow) << "Printer could not be started";
    Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Unable to print"),
                                     tr("The printer could not be started."));
    return false;
}

// ---------------------------------------------------------------------------------------------------------
// Catalogue page and update page

void MainWindow::editDatabase()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TableSetup::showCatalogue(ui->tvEditDatabase, database);
    setDatabaseLocked(true);
    showPage(CataloguePage);
    QApplication::restoreOverrideCursor();
}

void MainWindow::setDatabaseLocked(bool locked)
{
    ui->tvEditDatabase->setEditTriggers(locked ? QAbstractItemView::NoEditTriggers
                                               : QAbstractItemView::DoubleClicked |
                                                     QAbstractItemView::SelectedClicked |
                                                     QAbstractItemView::EditKeyPressed);
    database->locked = locked;
    ui->pbUnlock->setEnabled(locked);
    ui->pbSaveDatabase->setEnabled(!locked);
    ui->pbAddRow->setEnabled(!locked);
    ui->pbDeleteItem->setEnabled(!locked);
}

void MainWindow::unlock()
{
    setDatabaseLocked(false);
}

void MainWindow::addDatabaseRow()
{
    QString ean;
    if (!Interaction::instance()->getText(this, tr("Input EAN"), tr("EAN"), &ean))
        return;
    if (database->findByEan(ean)) {
        Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Item already exists"),
                                         tr("This item already exists, select different one"));
        return;
    }
    const int row = ui->tvEditDatabase->currentIndex().row();
    database->insertBottle(qMax(row, 0), ean);
    if (row < 0)
        ui->tvEditDatabase->scrollToTop();
}

void MainWindow::deleteDatabaseRow()
{
    const int row = ui->tvEditDatabase->currentIndex().row();
    if (row < 0 || row >= database->rowCount()) {
        askToSelect(this);
        return;
    }
    const QString ean = database->bottles.at(row).ean;
    if (Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Delete Item"),
                                         tr("Are you sure to delete item %1 ?").arg(ean),
                                         Interaction::Yes | Interaction::No) == Interaction::Yes)
        database->removeBottle(row);
}

void MainWindow::saveDatabase()
{
    showProgress(tr("Writing database: %1 %").arg(0));
    communication->writeDatabase(&database->bottles);
}

void MainWindow::savingDatabase(int percent)
{
    progressDialog->setText(tr("Writing database: %1 %").arg(percent));
}

void MainWindow::saveDatabaseToFile()
{
    QString reason;
    const bool saved =
        database->saveToFile(localFilePath(QLatin1String(DataFile::catalogue)), false, &reason);
    progressDialog->close();
    if (!saved) {
        // The station has the new catalogue but this computer has not; the table stays open so the user can
        // save again once the folder is writable.
        FilePrompt::reportSaveFailure(this, reason);
        return;
    }
    updateDatabaseDateLabel();
    setDatabaseLocked(true);
}

void MainWindow::databaseWriteRefused()
{
    // The station's catalogue area ends where its stored inventories begin, so the link refuses a longer
    // list before sending anything; nothing was written and the table stays open for deleting items.
    progressDialog->close();
    qCWarning(lcMainWindow) << "Database not written:" << database->rowCount() << "items";
    showError(tr("Quarmel holds at most %1 items, but the database has %2. Nothing was written; "
                 "delete items and save again.")
                  .arg(StationProtocol::MaxBottles)
                  .arg(database->rowCount()));
}

void MainWindow::downloadDatabase()
{
    showProgress(tr("Downloading database update"));
    CatalogueUpdate::get(networkManager);
}

void MainWindow::replyFinished(QNetworkReply *reply)
{
    progressDialog->close();
    QList<Bottle> update;
    switch (CatalogueUpdate::read(reply, &update)) {
    case CatalogueUpdate::Result::Ok:
        showDatabaseUpdate(update);
        break;
    case CatalogueUpdate::Result::DownloadFailed:
        showError(tr("Error, downloading database, check internet connection."));
        break;
    case CatalogueUpdate::Result::Damaged:
        showError(tr("The downloaded database update is damaged."));
        break;
    }
    reply->deleteLater();
}

void MainWindow::showDatabaseUpdate(const QList<Bottle> &update)
{
    diffDatabase->setUpdate(update);
    TableSetup::showUpdate(ui->tvDatabaseUpdate, diffDatabase);
    showPage(UpdatePage);
}

void MainWindow::applyDatabaseUpdate()
{
    diffDatabase->applyUpdate();
    saveDatabase();
}
