#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "errorbox.h"
#include "progressdialog.h"
#include "resourcepaths.h"

#include "cipher.h"
#include "database.h"
#include "diffdatabase.h"
#include "interaction.h"
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
#include <QNetworkRequest>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
#include <QSettings>
#include <QTextStream>
#include <QUrl>

#include <algorithm>

Q_LOGGING_CATEGORY(lcMainWindow, "mainwindow")

namespace {
const char revision[] = "1:94";
const char defaultUpdateUrl[] = "https://update.quarmel.eu/catalogue/database70.hex";
const char tooLargeProperty[] = "quarmelTooLarge";
const QColor currentRowColor(255, 255, 255);
const QColor updatedRowColor(232, 232, 232);

QString shownDate(const QDateTime &time)
{
    return time.toString(QStringLiteral("dd.MM.yyyy"));
}

QString money(double amount)
{
    return QString::number(amount, 'f', 2);
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

// The address of the update catalogue: the environment wins (demo, tests), then the user's setting.
QUrl updateUrl()
{
    const QString fromEnvironment = qEnvironmentVariable("QUARMEL_UPDATE_URL");
    if (!fromEnvironment.isEmpty())
        return QUrl(fromEnvironment);
    const QSettings settings(QStringLiteral("Quarmel"), QStringLiteral("Quarmel"));
    const QString fromSettings = settings.value(QStringLiteral("updateUrl")).toString();
    return QUrl(fromSettings.isEmpty() ? QString::fromLatin1(defaultUpdateUrl) : fromSettings);
}

void showError(const QString &text)
{
    Interaction::instance()->errorBox(ErrorBox::tr("Error"), text);
}
} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    setWindowIcon(QIcon(grafikaPath(QStringLiteral("iconQuarmel.png"))));

    for (QPushButton *button : {ui->pbEditDatabase, ui->pbLoadLastInventory, ui->pbLoadLastThreeInventory,
                                ui->pbRefreshDatabase, ui->pbAppendedItems})
        button->setCursor(Qt::PointingHandCursor);

    QFile styleFile(grafikaPath(QStringLiteral("style.css")));
    QString styleSheet;
    if (styleFile.open(QIODevice::ReadOnly | QIODevice::Text))
        styleSheet = QString::fromUtf8(styleFile.readAll());
    qApp->setStyleSheet(styleSheet);

    communication = new Communication(this);
    database = new Database(this);
    networkManager = new QNetworkAccessManager(this);
    // A server that takes the connection and then says nothing would keep the progress overlay up for good.
    networkManager->setTransferTimeout(updateTransferTimeoutMs);
    diffDatabase = new DiffDatabase(this, database, currentRowColor, updatedRowColor);

    progressDialog = new ProgressDialog(this, ui->stackedWidget);
    progressDialog->close();
    setWindowFlags(Qt::Window);

    printer = new QPrinter(QPrinter::HighResolution);
    shownOverview = nullptr;
    readIndex = -1;
    updateDatabaseDateLabel();
    updateLastSavedLabel();

    currencyMenu.addAction(tr("CZK"), &inventory, &Inventory::selectCZK);
    currencyMenu.addAction(tr("EUR"), &inventory, &Inventory::selectEUR);
    stockMenu.addAction(tr("Litres"), &inventory, &Inventory::selectLitresStock);
    stockMenu.addAction(tr("Pieces"), &inventory, &Inventory::selectPiecesStock);
    finalMenu.addAction(tr("Litres"), &inventory, &Inventory::selectLitresFinal);
    finalMenu.addAction(tr("Pieces"), &inventory, &Inventory::selectPiecesFinal);

    ui->lblCurrent->setStyleSheet(legendStyle(currentRowColor));
    ui->lblUpdated->setStyleSheet(legendStyle(updatedRowColor));

    connect(networkManager, &QNetworkAccessManager::finished, this, &MainWindow::replyFinished);

    for (QTableView *view : {ui->tvEditDatabase, ui->tvDatabaseUpdate, ui->tvInventory, ui->tvItemInventory,
                             ui->tvInventoryOverview, ui->tvInventoryOverview_1, ui->tvInventoryOverview_2,
                             ui->tvInventoryOverview_3})
        view->verticalHeader()->hide();
    ui->tvEditDatabase->setSortingEnabled(true);
    for (QTableView *view : {ui->tvEditDatabase, ui->tvInventory, ui->tvInventoryOverview,
                             ui->tvInventoryOverview_1, ui->tvInventoryOverview_2, ui->tvInventoryOverview_3})
        view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ui->tvDatabaseUpdate->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    connect(ui->tvInventory->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &MainWindow::inventoryHeaderClicked);
    connect(ui->tvInventory, &QTableView::clicked, this, &MainWindow::inventoryBottleSelected);
    connect(ui->tvItemInventory, &QTableView::clicked, this, &MainWindow::inventoryItemSelected);
    connect(&inventory, &Inventory::calculated, this, &MainWindow::calculated);
    connect(&itemInventory, &ItemInventory::calculated, this, &MainWindow::calculated);
    connect(ui->pbAddRow, &QPushButton::clicked, this, &MainWindow::addDatabaseRow);
    connect(ui->pbDeleteItem, &QPushButton::clicked, this, &MainWindow::deleteDatabaseRow);

    loadLocalDatabase();

    connect(ui->pbLoadLastInventory, &QPushButton::clicked, this, &MainWindow::readFwVersion);
    connect(ui->pbLoadLastThreeInventory, &QPushButton::clicked, this, &MainWindow::loadLast3Inventory);
    connect(ui->pbEditDatabase, &QPushButton::clicked, this, &MainWindow::editDatabase);
    connect(ui->pbRefreshDatabase, &QPushButton::clicked, this, &MainWindow::downloadDatabase);
    for (QPushButton *back : {ui->pbBack_2, ui->pbBack_3, ui->pbBack, ui->pbBack_5})
        connect(back, &QPushButton::clicked, this, &MainWindow::showMainMenu);
    connect(ui->pbBack_4, &QPushButton::clicked, this, &MainWindow::backFromInventory);
    connect(ui->pbSelectInventory, &QPushButton::clicked, this, &MainWindow::selectInventory);
    connect(ui->pbInventory_2, &QPushButton::clicked, this, &MainWindow::openInventory);

    connect(communication, &Communication::versionReadFinished, this, &MainWindow::readVersionFinished);
    connect(communication, &Communication::lastInventoryNumber, this, &MainWindow::lastInventoryNumber);
    connect(communication, &Communication::inventoryRead, this, &MainWindow::readingInventory);
    connect(communication, &Communication::inventoryReadFinished, this, &MainWindow::inventoryLoaded);
    connect(communication, &Communication::portNotOpened, this, &MainWindow::portNotOpened);
    connect(communication, &Communication::timeout, this, &MainWindow::timeout);
    connect(communication, &Communication::databaseWriten, this, &MainWindow::savingDatabase);
    connect(communication, &Communication::databaseWriteFinished, this, &MainWindow::saveDatabaseToFile);
    connect(communication, &Communication::writeError, this, &MainWindow::databaseWriteRefused);

    connect(ui->pbSaveInventory, &QPushButton::clicked, this, &MainWindow::saveInventory);
    connect(ui->pbImportInventory, &QPushButton::clicked, this, &MainWindow::importInventory);
    connect(ui->pbInventoryExportCSV, &QPushButton::clicked, this, &MainWindow::inventoryExportCSV);
    connect(ui->pbInventoryExportExcel, &QPushButton::clicked, this, &MainWindow::inventoryExportExcel);
    connect(ui->pbInventoryOverviewExportCSV, &QPushButton::clicked, this,
            &MainWindow::inventoryOverviewExportCSV);
    connect(ui->pbInventoryOverviewExportXML, &QPushButton::clicked, this,
            &MainWindow::inventoryOverviewExportXML);
    connect(ui->pbInventoryOverviewExportExcel, &QPushButton::clicked, this,
            &MainWindow::inventoryOverviewExportExcel);
    connect(ui->pbPrint_2, &QPushButton::clicked, this, &MainWindow::printInventoryOverview);
    connect(ui->pbPrintInventory, &QPushButton::clicked, this, &MainWindow::printInventory);
    connect(ui->pbDeleteItemOverview, &QPushButton::clicked, this, &MainWindow::deleteInventoryOverviewRow);
    connect(ui->pbAddInventoryItem, &QPushButton::clicked, this, &MainWindow::addInvetoryItem);
    connect(ui->pbDeleteInventoryItem, &QPushButton::clicked, this, &MainWindow::deleteInventoryItem);
    connect(ui->pbSaveDatabase, &QPushButton::clicked, this, &MainWindow::saveDatabase);
    connect(ui->pbUnlock, &QPushButton::clicked, this, &MainWindow::unlock);
    connect(ui->pbUpdate, &QPushButton::clicked, this, &MainWindow::applyDatabaseUpdate);

    ui->tvItemInventory->hide();
    connect(ui->pbAppendedItems, &QPushButton::toggled, this, &MainWindow::itemTableCheckChanged);
    itemTableCheckChanged(false);

    const QString revisionText = QString::fromLatin1(revision);
    const int colon = revisionText.indexOf(QLatin1Char(':'));
    const QString notice = tr("© 2026 Quarmel Inventory developers. Free to use in your bar.");
    if (colon >= 0)
        ui->lblCopyright->setText(tr("Quarmel Inventory SW ") + revisionText.mid(colon + 1) +
                                  QStringLiteral(", ") + notice);
    else
        ui->lblCopyright->setText(notice);
}

MainWindow::~MainWindow()
{
    delete ui;
    delete printer;
}

// ---------------------------------------------------------------------------------------------------------
// Start-up and navigation

void MainWindow::loadLocalDatabase()
{
    const QString path = localFilePath(QStringLiteral("database70.xml"));
    DocumentDamage damage;
    if (!database->loadFromFile(path, false, &damage)) {
        Interaction::instance()->errorBox(tr("Error"), tr("Error, database not found"));
    } else if (damage.damaged) {
        // The next save would replace the file with only the records read before the fault, so keep the
        // damaged original where the user can find it before anything writes over it.
        const QString copy = path + QStringLiteral(".damaged-") +
                             QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        const bool kept = QFile::copy(path, copy);
        qCWarning(lcMainWindow) << "Local database damaged:" << damage.toString();
        const QString text =
            kept ? tr("The local database file is damaged (%1). Only the items before the fault were loaded. "
                      "A copy of the damaged file was kept as %2.")
                       .arg(damage.toString(), copy)
                 : tr("The local database file is damaged (%1). Only the items before the fault were loaded, "
                      "and no copy of the damaged file could be kept.")
                       .arg(damage.toString());
        Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Damaged database"), text);
    }
    ui->tvEditDatabase->setModel(database);
}

void MainWindow::showMainMenu()
{
    ui->stackedWidget->setCurrentIndex(0);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (ui->stackedWidget->currentIndex() == 2 && !confirmLeave())
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
    ui->lblLastSavedInventoryTime->setText(
        fileDateOrDash(localFilePath(QStringLiteral("lastInventory.inv"))));
}

void MainWindow::updateDatabaseDateLabel()
{
    ui->lblLastDatabaseUpdateTime->setText(fileDateOrDash(localFilePath(QStringLiteral("database70.xml"))));
}

// ---------------------------------------------------------------------------------------------------------
// Reading inventories from the station

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
    ui->stackedWidget->setCurrentIndex(4);
    progressDialog->close();
    lastLists[2].setInventory(communication->inventory, database);
    readIndex = -1;
    showLastThreeInventories();
}

void MainWindow::showLastThreeInventories()
{
    const int n = lastSlot;
    ui->tvInventoryOverview_1->setModel(&lastLists[n]);
    ui->tvInventoryOverview_2->setModel(&lastLists[(n + 2) % 3]);
    ui->tvInventoryOverview_3->setModel(&lastLists[(n + 1) % 3]);
    for (QTableView *view : {ui->tvInventoryOverview_1, ui->tvInventoryOverview_2, ui->tvInventoryOverview_3})
        fitOverviewTable(view);
    ui->rbInventory_1->setChecked(true);
}

void MainWindow::fitOverviewTable(QTableView *view)
{
    view->setWordWrap(false);
    view->resizeColumnsToContents();
    view->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    view->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    view->repaint();
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
    ui->stackedWidget->setCurrentIndex(3);
    ui->tvInventoryOverview->setWordWrap(false);
    ui->tvInventoryOverview->setModel(list);
    ui->tvInventoryOverview->resizeColumnsToContents();
    ui->tvInventoryOverview->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    ui->tvInventoryOverview->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    shownOverview = list;
    ui->tvInventoryOverview->repaint();
    ui->lblInventoryDate_2->setText(shownDate(list->time));
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
// Sales page

void MainWindow::openInventory()
{
    if (!shownOverview)
        return;
    const QString lastCopy = localFilePath(QStringLiteral("lastInventory.inv"));
    inventory.loadFromOverview(shownOverview->rows);
    const Inventory::ErrCode carried = inventory.import(lastCopy);
    inventory.calculate();
    ui->tvInventory->setModel(&inventory);
    ui->tvInventory->resizeColumnsToContents();
    ui->tvInventory->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    ui->tvInventory->horizontalHeader()->setSectionResizeMode(9, QHeaderView::ResizeToContents);
    ui->tvInventory->repaint();

    itemInventory.load(lastCopy);
    itemInventory.calculate();
    ui->tvItemInventory->setModel(&itemInventory);
    ui->tvItemInventory->resizeColumnsToContents();
    ui->tvItemInventory->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    ui->tvItemInventory->horizontalHeader()->setSectionResizeMode(7, QHeaderView::ResizeToContents);
    ui->tvItemInventory->repaint();

    updateSalesTitle();
    ui->stackedWidget->setCurrentIndex(2);

    // No copy is the normal first count; a damaged one would quietly start every bottle at zero and make
    // the takings plainly wrong.
    if (carried == Inventory::FormatError)
        Interaction::instance()->message(
            this, Interaction::Icon::Warning, tr("Unable to import table"),
            tr("The last saved table %1 is not an inventory table, so every initial quantity is zero. "
               "Use Import Table to take them from a saved table file.")
                .arg(QDir::toNativeSeparators(lastCopy)));
}

void MainWindow::calculated()
{
    const QString currency = Settings::currencyName();
    ui->lblTotalRevenue->setText(tr("Total Sales: %1").arg(money(inventory.total + itemInventory.total)) +
                                 QLatin1Char(' ') + currency);
    ui->lblBottlesRevenue->setText(tr("Alcohol Sales: %1").arg(money(inventory.total)) + QLatin1Char(' ') +
                                   currency);
    ui->lblItemsRevenue->setText(tr("Other Items Sales: %1").arg(money(itemInventory.total)) +
                                 QLatin1Char(' ') + currency);
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
    if (section == 2)
        menu = &currencyMenu;
    else if (section == 4)
        menu = &stockMenu;
    else if (section == 6)
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
        ui->stackedWidget->setCurrentIndex(0);
}

bool MainWindow::confirmLeave()
{
    if (!inventory.modified && !itemInventory.modified)
        return true;
    return Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Inventory not saved"),
                                            tr("Are you sure to leave? All unsaved data will be discarded."),
                                            Interaction::Yes | Interaction::No) == Interaction::Yes;
}

// ---------------------------------------------------------------------------------------------------------
// Save, import, export and print

void MainWindow::saveInventory()
{
    QString folder;
    const QString startPath =
        rememberedFolder(QLatin1String(RememberedFolder::inventoryPath)) +
        QDateTime::currentDateTime().toString(QStringLiteral("'/inv_'yyyy_MM_dd-hh_mm_ss")) +
        QStringLiteral(".inv");
    const QString fileName = Interaction::instance()->fileDialog(
        this, tr("Save Table"), startPath, tr("Inventory table files (*.inv)"), true, &folder);
    if (fileName.isEmpty())
        return;
    setRememberedFolder(QLatin1String(RememberedFolder::inventoryPath), folder);

    const QByteArray bytes = TableFile::document(inventory, itemInventory);
    if (!TableFile::writeFile(fileName, bytes)) {
        // Nothing was written, so the number the document took is still free for the next try.
        --inventory.counter;
        Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Unable to save"),
                                         tr("Failed to save file"));
        return;
    }
    if (!TableFile::writeFile(localFilePath(QStringLiteral("lastInventory.inv")), bytes)) {
        Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Unable to save"),
                                         tr("Failed to save file"));
        return;
    }
    inventory.modified = false;
    itemInventory.modified = false;
    updateLastSavedLabel();
}

void MainWindow::importInventory()
{
    QString folder;
    const QString fileName = Interaction::instance()->fileDialog(
        this, tr("Import table"), rememberedFolder(QLatin1String(RememberedFolder::inventoryPath)),
        tr("Inventory table files (*.inv)"), false, &folder);
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
    ui->tvInventory->setModel(&inventory);
    ui->tvInventory->resizeColumnsToContents();
    ui->tvInventory->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    ui->tvInventory->horizontalHeader()->setSectionResizeMode(9, QHeaderView::ResizeToContents);
    updateSalesTitle();
}

bool MainWindow::writeSalesCsv(const QString &fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    inventory.saveToCSV(stream);
    itemInventory.saveToCSV(stream);
    stream.flush();
    if (stream.status() != QTextStream::Ok) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void MainWindow::inventoryExportCSV()
{
    QString folder;
    const QString fileName = Interaction::instance()->fileDialog(
        this, tr("Export to CSV"),
        rememberedFolder(QLatin1String(RememberedFolder::csvPath)) + QStringLiteral("/inv.csv"),
        tr("CSV Files (*.csv)"), true, &folder);
    if (fileName.isEmpty())
        return;
    if (!writeSalesCsv(fileName)) {
        Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Unable to save"),
                                         tr("Failed to save file"));
        return;
    }
    setRememberedFolder(QLatin1String(RememberedFolder::csvPath), folder);
}

void MainWindow::inventoryExportExcel()
{
    const QString path = QDir::tempPath() + QStringLiteral("/inventory.csv");
    if (!writeSalesCsv(path)) {
        Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Unable to save"),
                                         tr("Failed to save file"));
        return;
    }
    openInSpreadsheet(path);
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

void MainWindow::inventoryOverviewExportCSV()
{
    if (!shownOverview)
        return;
    QString folder;
    const QString fileName = Interaction::instance()->fileDialog(
        this, tr("Export to CSV"),
        rememberedFolder(QLatin1String(RememberedFolder::csvOverviewPath)) + QStringLiteral("/inv.csv"),
        tr("CSV Files (*.csv)"), true, &folder);
    if (fileName.isEmpty())
        return;
    if (shownOverview->saveToCSV(fileName))
        setRememberedFolder(QLatin1String(RememberedFolder::csvOverviewPath), folder);
    else
        Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Unable to save"),
                                         tr("Failed to save file"));
}

void MainWindow::inventoryOverviewExportXML()
{
    if (!shownOverview)
        return;
    QString folder;
    const QString fileName = Interaction::instance()->fileDialog(
        this, tr("Export to XML"),
        rememberedFolder(QLatin1String(RememberedFolder::xmlOverviewPath)) + QStringLiteral("/inv.xml"),
        tr("XML Files (*.xml)"), true, &folder);
    if (fileName.isEmpty())
        return;
    if (shownOverview->saveToXML(fileName))
        setRememberedFolder(QLatin1String(RememberedFolder::xmlOverviewPath), folder);
    else
        Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Unable to save"),
                                         tr("Failed to save file"));
}

void MainWindow::inventoryOverviewExportExcel()
{
    // The list on the page, which after choosing among the last three is not the last single read.
    if (!shownOverview)
        return;
    const QString path = QDir::tempPath() + QStringLiteral("/inv.csv");
    if (!shownOverview->saveToCSV(path)) {
        Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Unable to save"),
                                         tr("Failed to save file"));
        return;
    }
    openInSpreadsheet(path);
}

void MainWindow::reportPrinterFailure()
{
    // A printer that cannot start (an unwritable PDF file, a vanished printer) must not look like a printout.
    qCWarning(lcMainWindow) << "Printer could not be started";
    Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Unable to print"),
                                     tr("The printer could not be started."));
}

void MainWindow::printInventoryOverview()
{
    if (!shownOverview)
        return;
    if (!Interaction::instance()->printDialog(this, printer, tr("Print Document")))
        return;
    PrintableTableModel::resetPageNumber();
    QPainter painter;
    if (!painter.begin(printer)) {
        reportPrinterFailure();
        return;
    }
    shownOverview->print(printer, painter, QString(), QString(),
                         tr("Loaded: ") + shownDate(shownOverview->time));
}

void MainWindow::printInventory()
{
    if (!Interaction::instance()->printDialog(this, printer, tr("Print Document")))
        return;
    QPainter painter;
    if (!painter.begin(printer)) {
        reportPrinterFailure();
        return;
    }
    const QString currency = Settings::currencyName();
    const QString total =
        tr("Total Sales: %1").arg(money(inventory.total + itemInventory.total)) + QLatin1Char(' ') + currency;
    PrintableTableModel::resetPageNumber();
    const QString date = tr("Inventory date: ") + shownDate(inventory.timeEnd);
    const QString alcohol = tr("Alcohol Sales: %1").arg(money(inventory.total)) + QLatin1Char(' ') + currency;
    const bool withItems = itemInventory.rowCount() > 0;
    inventory.print(printer, painter, alcohol, withItems ? QString() : total, date);
    if (withItems) {
        printer->newPage();
        const QString items =
            tr("Appended Item Sales: %1").arg(money(itemInventory.total)) + QLatin1Char(' ') + currency;
        itemInventory.print(printer, painter, items, total, QString());
    }
    painter.end();
}

// ---------------------------------------------------------------------------------------------------------
// Adding and deleting rows

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
    if (row < 0) {
        database->insertBottle(0, ean);
        ui->tvEditDatabase->scrollToTop();
    } else {
        database->insertBottle(row, ean);
    }
}

void MainWindow::deleteDatabaseRow()
{
    const int row = ui->tvEditDatabase->currentIndex().row();
    if (row < 0 || row >= database->rowCount()) {
        Interaction::instance()->message(this, Interaction::Icon::Information, tr("Select Item"),
                                         tr("Select Item to Delete"));
        return;
    }
    const QString ean = database->bottles.at(row).ean;
    if (Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Delete Item"),
                                         tr("Are you sure to delete item %1 ?").arg(ean),
                                         Interaction::Yes | Interaction::No) == Interaction::Yes)
        database->removeBottle(row);
}

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

static bool hasSelection(const QTableView *view)
{
    return view->model() && view->selectionModel() && view->selectionModel()->hasSelection();
}

void MainWindow::deleteInventoryOverviewRow()
{
    if (!hasSelection(ui->tvInventoryOverview)) {
        Interaction::instance()->message(this, Interaction::Icon::Information, tr("Select Item"),
                                         tr("Select Item to Delete"));
        return;
    }
    deleteSelectedRows(ui->tvInventoryOverview);
}

void MainWindow::deleteInventoryItem()
{
    QTableView *view = nullptr;
    if (hasSelection(ui->tvInventory))
        view = ui->tvInventory;
    else if (hasSelection(ui->tvItemInventory))
        view = ui->tvItemInventory;
    if (!view) {
        Interaction::instance()->message(this, Interaction::Icon::Information, tr("Select Item"),
                                         tr("Select Item to Delete"));
        return;
    }
    deleteSelectedRows(view);
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
    const QModelIndex name = itemInventory.index(row, 0);
    ui->tvItemInventory->setCurrentIndex(name);
    ui->tvItemInventory->edit(name);
}

// ---------------------------------------------------------------------------------------------------------
// Catalogue editing and update

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

void MainWindow::centreCheckBoxes(QTableView *view, int column)
{
    view->setStyleSheet(QStringLiteral("::indicator {left: %1;}").arg(view->columnWidth(column) / 2 - 15));
}

void MainWindow::editDatabase()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ui->tvEditDatabase->setModel(database);
    ui->tvEditDatabase->resizeColumnsToContents();
    QHeaderView *header = ui->tvEditDatabase->horizontalHeader();
    header->setSectionResizeMode(2, QHeaderView::Interactive);
    for (int section = 3; section <= 7; ++section)
        header->setSectionResizeMode(section, QHeaderView::ResizeToContents);
    header->setSortIndicatorShown(false);
    centreCheckBoxes(ui->tvEditDatabase, 7);
    setDatabaseLocked(true);
    ui->stackedWidget->setCurrentIndex(1);
    QApplication::restoreOverrideCursor();
}

void MainWindow::unlock()
{
    setDatabaseLocked(false);
}

void MainWindow::saveDatabase()
{
    // A row the station cannot hold would be stored as something else; an EAN stored as 0 even ends the
    // station's list there. Nothing is written until every row fits.
    const QList<StationProtocol::CatalogueFault> faults = StationProtocol::checkCatalogue(database->bottles);
    if (!faults.isEmpty() && database->rowCount() <= StationProtocol::MaxBottles) {
        const QStringList rows = StationProtocol::describeFaults(database->bottles, faults);
        showError(tr("Quarmel cannot hold these items as they are. Nothing was written; correct them and "
                     "save again.\n\n%1")
                      .arg(rows.join(QLatin1Char('\n'))));
        return;
    }
    showProgress(tr("Writing database: %1 %").arg(0));
    communication->writeDatabase(&database->bottles);
}

void MainWindow::savingDatabase(int percent)
{
    progressDialog->setText(tr("Writing database: %1 %").arg(percent));
}

void MainWindow::saveDatabaseToFile()
{
    const bool saved = database->saveToFile(localFilePath(QStringLiteral("database70.xml")), false);
    progressDialog->close();
    if (!saved) {
        // The station has the new catalogue but this computer has not; the table stays open so the user can
        // save again once the folder is writable.
        Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Unable to save"),
                                         tr("Failed to save file"));
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
    if (database->rowCount() <= StationProtocol::MaxBottles) {
        // Read back after writing, the station held something else than was sent.
        showError(tr("Quarmel does not hold the database as it was written (reading it back showed a "
                     "difference). Check the connection and save again."));
        return;
    }
    showError(tr("Quarmel holds at most %1 items, but the database has %2. Nothing was written; "
                 "delete items and save again.")
                  .arg(StationProtocol::MaxBottles)
                  .arg(database->rowCount()));
}

void MainWindow::downloadDatabase()
{
    showProgress(tr("Downloading database update"));
    QNetworkReply *reply = networkManager->get(QNetworkRequest(updateUrl()));
    // Stop a reply that outgrows any catalogue as soon as it does, rather than holding it all in memory.
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > maxUpdateReplyBytes || total > maxUpdateReplyBytes) {
            reply->setProperty(tooLargeProperty, true);
            reply->abort();
        }
    });
}

void MainWindow::replyFinished(QNetworkReply *reply)
{
    progressDialog->close();
    const bool tooLarge =
        reply->property(tooLargeProperty).toBool() || reply->bytesAvailable() > maxUpdateReplyBytes;
    if (reply->error() != QNetworkReply::NoError || tooLarge) {
        qCWarning(lcMainWindow) << "Database download failed:" << reply->errorString();
        showError(tr("Error, downloading database, check internet connection."));
    } else {
        const QByteArray body = reply->read(maxUpdateReplyBytes);
        QByteArray document;
        if (decryptHexData(body, document))
            showDatabaseUpdate(document);
        else
            showError(tr("The downloaded database update is damaged."));
    }
    reply->deleteLater();
}

void MainWindow::showDatabaseUpdate(const QByteArray &document)
{
    QList<Bottle> update;
    Database::parse(document, update);
    diffDatabase->setUpdate(update);

    QTableView *view = ui->tvDatabaseUpdate;
    view->setWordWrap(false);
    view->setModel(diffDatabase);
    view->resizeColumnsToContents();
    // A stretched EAN or name column is squeezed by the four wide weight headers until nobody can tell which
    // bottle a row is; those two keep their full width and the volume column takes up the slack instead.
    view->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    view->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    view->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    for (int section = 3; section <= 6; ++section)
        view->horizontalHeader()->setSectionResizeMode(section, QHeaderView::ResizeToContents);
    view->horizontalHeader()->setSortIndicatorShown(false);
    centreCheckBoxes(view, 6);
    ui->stackedWidget->setCurrentIndex(5);
}

void MainWindow::applyDatabaseUpdate()
{
    diffDatabase->applyUpdate();
    saveDatabase();
}
