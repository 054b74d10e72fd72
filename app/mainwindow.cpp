#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "datafolderwatch.h"
#include "errorbox.h"
#include "fileprompt.h"
#include "historypage.h"
#include "progressdialog.h"
#include "resourcepaths.h"
#include "tablesetup.h"
#include "tillpanel.h"

#include "catalogueupdate.h"
#include "database.h"
#include "diffdatabase.h"
#include "interaction.h"
#include "localcatalogue.h"
#include "settings.h"
#include "shown.h"
#include "stationsession.h"
#include "tablefile.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPainter>
#include <QPrinter>
#include <QScrollArea>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>

#include <algorithm>

Q_LOGGING_CATEGORY(lcMainWindow, "mainwindow")

namespace {
const char revision[] = "1:94";
const QColor currentRowColor(255, 255, 255);
const QColor updatedRowColor(232, 232, 232);

QString fileDateOrDash(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? MainWindow::shownDate(info.lastModified()) : QStringLiteral("---");
}

QString legendStyle(const QColor &color)
{
    return QStringLiteral("background: #%1%2%3;")
        .arg(color.red(), 2, 16, QLatin1Char('0'))
        .arg(color.green(), 2, 16, QLatin1Char('0'))
        .arg(color.blue(), 2, 16, QLatin1Char('0'));
}
} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    // On a screen smaller than the pages need (1366x768 at 125 %, 1920x1080 at 200 %) the pages scroll
    // instead of pushing the totals and the till panel off the bottom of a window larger than the screen.
    auto *pageScroll = new QScrollArea;
    pageScroll->setObjectName(QStringLiteral("pageScroll"));
    pageScroll->setWidgetResizable(true);
    pageScroll->setFrameShape(QFrame::NoFrame);
    // Not a stop of its own for Tab, where a keyboard user would land on nothing that shows or speaks; it
    // still scrolls to whatever takes the focus inside it.
    pageScroll->setFocusPolicy(Qt::NoFocus);
    delete ui->stackedWidget->parentWidget()->layout()->replaceWidget(ui->stackedWidget, pageScroll);
    pageScroll->setWidget(ui->stackedWidget);
    // The window's paper shows through, as it did before the pages scrolled.
    pageScroll->viewport()->setAutoFillBackground(false);
    ui->stackedWidget->setAutoFillBackground(false);
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
    progressDialog->installEventFilter(this);
    setWindowFlags(Qt::Window);
    printer = new QPrinter(QPrinter::HighResolution);

    currencyMenu.addAction(tr("CZK"), &inventory, &Inventory::selectCZK);
    currencyMenu.addAction(tr("EUR"), &inventory, &Inventory::selectEUR);
    // The units are a habit of the bar, not of one count: the choice is kept for the next start.
    const auto unitChoice = [this](QMenu &menu, const char *key, void (Inventory::*litres)(),
                                   void (Inventory::*pieces)()) {
        const auto choose = [this, key](void (Inventory::*select)(), bool inPieces) {
            return [this, key, select, inPieces] {
                (inventory.*select)();
                QSettings(QString::fromLatin1(organisationName), QString::fromLatin1(applicationName))
                    .setValue(QLatin1String(key), inPieces ? QStringLiteral("pieces") : QStringLiteral("litres"));
            };
        };
        menu.addAction(tr("Litres"), this, choose(litres, false));
        menu.addAction(tr("Pieces"), this, choose(pieces, true));
        const QSettings settings(QString::fromLatin1(organisationName), QString::fromLatin1(applicationName));
        if (settings.value(QLatin1String(key)).toString() == QLatin1String("pieces"))
            (inventory.*pieces)();
    };
    unitChoice(stockMenu, "sales/fromStockUnit", &Inventory::selectLitresStock, &Inventory::selectPiecesStock);
    unitChoice(finalMenu, "sales/bottlesUnit", &Inventory::selectLitresFinal, &Inventory::selectPiecesFinal);

    TableSetup::prepare(*ui);
    updateDatabaseDateLabel();
    updateLastSavedLabel();
    checkDataFolder();
    new DataFolderWatch(QFileInfo(localFilePath(QLatin1String(DataFile::lastTable))).absolutePath(), this);
    recoverSave();
    loadLocalDatabase();

    connectMenuPage();
    connectStation();
    connectOverviewPages();
    connectSalesPage();
    connectCataloguePages();
    addHistoryPage();
    addSettingsButton();
    setUpStore();
    for (QTableView *view : {ui->tvInventory, ui->tvItemInventory, ui->tvInventoryOverview, ui->tvEditDatabase})
        view->installEventFilter(this);

    ui->tvItemInventory->hide();
    itemTableCheckChanged(false);

    connect(communication, &Communication::databaseRead, this, [this](int percent) {
        if (readingStationCatalogue)
            progressDialog->setText(tr("Reading the catalogue from Quarmel: %1 %").arg(percent));
    });
    connect(communication, &Communication::databaseReadFinished, this, &MainWindow::catalogueReadFromStation);
    setUpMenus();
    assignMnemonics();
    // The toggle names its state in its text, which loses the mnemonic each time.
    connect(ui->pbAppendedItems, &QPushButton::toggled, this, &MainWindow::assignMnemonics);
    nameForAccessibility();
    for (QTableView *view : findChildren<QTableView *>())
        TableSetup::useKeyboard(view);
    restoreWindowGeometry();
    if (firstStart)
        welcome();
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
    for (QPushButton *back : {ui->pbBack_2, ui->pbBack, ui->pbBack_5})
        connect(back, &QPushButton::clicked, this, &MainWindow::showMainMenu);
}

// Built in code rather than in the form: a page of its own behind one more button of the home page.
void MainWindow::addHistoryPage()
{
    auto *history = new HistoryPage(printer, ui->stackedWidget);
    historyPage = history;
    ui->stackedWidget->addWidget(history);
    connect(history, &HistoryPage::back, this, &MainWindow::showMainMenu);
    connect(history, &HistoryPage::countChosen, this, &MainWindow::showOldCount);
    connect(history, &HistoryPage::chainRequested, this, &MainWindow::showChain);

    auto *button = new QPushButton(tr("History"), ui->pbEditDatabase->parentWidget());
    button->setObjectName(QStringLiteral("pbHistory"));
    button->setToolTip(tr("Shows the saved counts over time, with charts of the sales."));
    button->setCursor(Qt::PointingHandCursor);
    button->setSizePolicy(ui->pbEditDatabase->sizePolicy());
    button->setMinimumSize(ui->pbEditDatabase->minimumSize());
    auto *grid = ui->pbEditDatabase->parentWidget()->findChild<QGridLayout *>(QStringLiteral("gridLayout_2"));
    int row = 0, column = 0, rows = 0, columns = 0;
    if (grid) {
        grid->getItemPosition(grid->indexOf(ui->pbEditDatabase), &row, &column, &rows, &columns);
        // Whatever sits below the last row of buttons moves down one row to make room.
        QList<QPair<QLayoutItem *, QRect>> below;
        for (int i = grid->count() - 1; i >= 0; --i) {
            int r = 0, c = 0, rs = 0, cs = 0;
            grid->getItemPosition(i, &r, &c, &rs, &cs);
            if (r > row)
                below.append({grid->takeAt(i), QRect(c, r + 1, cs, rs)});
        }
        for (const auto &item : qAsConst(below))
            grid->addItem(item.first, item.second.y(), item.second.x(), item.second.height(),
                          item.second.width());
        grid->addWidget(button, row + 1, 1, 1, 2);
    } else {
        qCWarning(lcMainWindow, "No place for the history button on the home page");
    }
    connect(button, &QPushButton::clicked, this, [this, history] {
        // The catalogue's volumes turn the millilitres sold into bottles for the counts' cost of goods.
        QHash<QString, quint64> volumes;
        for (const Bottle &bottle : qAsConst(database->bottles))
            volumes.insert(bottle.ean, bottle.volume);
        history->load(QFileInfo(localFilePath(QLatin1String(DataFile::lastTable))).absolutePath(), volumes);
        ui->stackedWidget->setCurrentWidget(history);
    });
}

// Shares the history button's row of the home page, so that both stay as large as the buttons above.
void MainWindow::addSettingsButton()
{
    auto *button = new QPushButton(tr("Settings..."), ui->pbEditDatabase->parentWidget());
    button->setObjectName(QStringLiteral("pbSettings"));
    button->setToolTip(tr("The full-weight tolerance and the shared server this computer sends its saves to."));
    button->setCursor(Qt::PointingHandCursor);
    button->setSizePolicy(ui->pbEditDatabase->sizePolicy());
    button->setMinimumSize(ui->pbEditDatabase->minimumSize());
    connect(button, &QPushButton::clicked, this, &MainWindow::changeSettings);
    auto *history = findChild<QPushButton *>(QStringLiteral("pbHistory"));
    auto *grid = ui->pbEditDatabase->parentWidget()->findChild<QGridLayout *>(QStringLiteral("gridLayout_2"));
    const int at = grid && history ? grid->indexOf(history) : -1;
    if (at < 0) {
        qCWarning(lcMainWindow, "No place for the settings button on the home page");
        return;
    }
    int row = 0, column = 0, rows = 0, columns = 0;
    grid->getItemPosition(at, &row, &column, &rows, &columns);
    grid->removeWidget(history);
    grid->addWidget(history, row, column);
    grid->addWidget(button, row, column + 1);
}

void MainWindow::connectStation()
{
    // Before the session's own connections: the window's handlers leave the session's failures to it.
    connect(communication, &Communication::portNotOpened, this, &MainWindow::portNotOpened);
    connect(communication, &Communication::timeout, this, &MainWindow::timeout);
    session = new StationSession(communication, this);
    connect(session, &StationSession::firmwareRead, this, &MainWindow::showFirmware);
    connect(session, &StationSession::progress, this, &MainWindow::readingInventory);
    connect(session, &StationSession::lastRead, this, &MainWindow::inventoryLoaded);
    connect(session, &StationSession::threeRead, this, &MainWindow::lastThreeLoaded);
    connect(session, &StationSession::failed, this, &MainWindow::stationFailed);
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
    connect(&inventory, &Inventory::inputRefused, this, &MainWindow::inputRefused);
    connect(&itemInventory, &ItemInventory::inputRefused, this, &MainWindow::inputRefused);
    connect(ui->pbBack_4, &QPushButton::clicked, this, &MainWindow::backFromInventory);
    connect(ui->pbSaveInventory, &QPushButton::clicked, this, &MainWindow::saveInventory);
    connect(ui->pbImportInventory, &QPushButton::clicked, this, &MainWindow::importInventory);
    connect(ui->pbInventoryExportCSV, &QPushButton::clicked, this, &MainWindow::inventoryExportCSV);
    connect(ui->pbInventoryExportExcel, &QPushButton::clicked, this, &MainWindow::inventoryExportExcel);
    connect(ui->pbPrintInventory, &QPushButton::clicked, this, &MainWindow::printInventory);
    // What to buy before the next count, beside the printout of the count.
    const auto rows = ui->pbPrintInventory->parentWidget()->findChildren<QBoxLayout *>();
    for (QBoxLayout *row : rows) {
        const int at = row->indexOf(ui->pbPrintInventory);
        if (at < 0)
            continue;
        auto *orderList = new QPushButton(tr("Order List..."), ui->pbPrintInventory->parentWidget());
        orderList->setObjectName(QStringLiteral("pbOrderList"));
        orderList->setToolTip(tr("The whole bottles to buy for each kind below its par level, by supplier."));
        row->insertWidget(at + 1, orderList);
        connect(orderList, &QPushButton::clicked, this, &MainWindow::showOrderList);
        // A word of its own for the button in Czech: the long name would push Back off a 1366-pixel screen.
        auto *deliveries = new QPushButton(tr("Deliveries and Issues...", "sales page button"),
                                           ui->pbPrintInventory->parentWidget());
        deliveries->setObjectName(QStringLiteral("pbDeliveries"));
        deliveries->setToolTip(tr("What arrived from suppliers and went from the store to the bar; the issues "
                                  "fill From Stock."));
        row->insertWidget(at + 2, deliveries);
        connect(deliveries, &QPushButton::clicked, this, &MainWindow::showDeliveries);
        break;
    }
    connect(ui->pbAddInventoryItem, &QPushButton::clicked, this, &MainWindow::addInvetoryItem);
    connect(ui->pbDeleteInventoryItem, &QPushButton::clicked, this, &MainWindow::deleteInventoryItem);
    connect(ui->pbAppendedItems, &QPushButton::toggled, this, &MainWindow::itemTableCheckChanged);

    // When the count was counted up, beside the title: a count weighed last night and counted up this
    // morning is dated by the user.
    countEndEdit = new QDateTimeEdit(ui->page_2);
    countEndEdit->setObjectName(QStringLiteral("dteCountEnd"));
    countEndEdit->setDisplayFormat(QStringLiteral("dd.MM.yyyy HH:mm"));
    countEndEdit->setCalendarPopup(true);
    countEndEdit->setToolTip(tr("The end of the period of this count; the next count starts here."));
    TableSetup::tabLeaves(countEndEdit);
    countEndLabel = new QLabel(tr("Counted at:"), ui->page_2);
    countEndLabel->setBuddy(countEndEdit);
    auto *titleRow = new QHBoxLayout;
    const int titleAt = ui->verticalLayout_2->indexOf(ui->lblInventory);
    ui->verticalLayout_2->removeWidget(ui->lblInventory);
    titleRow->addWidget(ui->lblInventory, 1);
    titleRow->addWidget(countEndLabel);
    titleRow->addWidget(countEndEdit);
    ui->verticalLayout_2->insertLayout(titleAt, titleRow);
    connect(countEndEdit, &QDateTimeEdit::dateTimeChanged, this, &MainWindow::countEndEdited);

    // The till sits under the tables, built in code beside the form.
    tillPanel = new TillPanel(inventory, itemInventory, ui->page_2);
    ui->verticalLayout_2->insertWidget(ui->verticalLayout_2->indexOf(ui->splitter) + 1, tillPanel);
    connect(&inventory, &Inventory::calculated, tillPanel, &TillPanel::refresh);
    connect(&itemInventory, &ItemInventory::calculated, tillPanel, &TillPanel::refresh);
    connect(tillPanel, &TillPanel::matchesKept, this, &MainWindow::requestSync);
}

void MainWindow::connectCataloguePages()
{
    connect(ui->pbBack_3, &QPushButton::clicked, this, &MainWindow::backFromCatalogue);
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
        // Asked once the window is complete, as its answers use the station and the catalogue page.
        firstStart = true;
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
    catalogueSaved();
    ui->tvEditDatabase->setModel(database);
}

void MainWindow::checkDataFolder()
{
    // Found out at the first save, an unwritable folder would cost the user a whole count.
    const QString folder = QFileInfo(localFilePath(QLatin1String(DataFile::lastTable))).absolutePath();
    QTemporaryFile probe(folder + QStringLiteral("/probe-XXXXXX"));
    if (probe.open())
        return;
    qCWarning(lcMainWindow) << "Data folder cannot be written:" << folder << probe.errorString();
    Interaction::instance()->message(
        this, Interaction::Icon::Critical, tr("Data folder not writable"),
        tr("The data folder %1 cannot be written (%2). The database and the last saved table cannot be "
           "kept until it can.")
            .arg(QDir::toNativeSeparators(folder), probe.errorString()));
}

void MainWindow::recoverSave()
{
    const QString text =
        TableFile::recover(QFileInfo(localFilePath(QLatin1String(DataFile::lastTable))).absolutePath());
    if (text.isEmpty())
        return;
    Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Save Table"), text);
    updateLastSavedLabel();
}

void MainWindow::showPage(Page page)
{
    // What the status line says belongs to the page it was said on.
    if (ui->stackedWidget->currentIndex() != page)
        statusBar()->clearMessage();
    ui->stackedWidget->setCurrentIndex(page);
}

void MainWindow::showMainMenu()
{
    showPage(MenuPage);
}

// The Delete key on a table does what the Delete Item button of its page does, asking the same question.
bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::EnabledChange || event->type() == QEvent::ShowToParent ||
         event->type() == QEvent::HideToParent) &&
        qobject_cast<QPushButton *>(watched))
        updateActions();
    if (watched == progressDialog && event->type() == QEvent::Hide && !pendingDoubts.isEmpty()) {
        const QStringList doubts = pendingDoubts;
        pendingDoubts.clear();
        QTimer::singleShot(0, this, [this, doubts] {
            for (const QString &summary : doubts)
                showDoubts(summary);
        });
    }
    // The header menus without a mouse: the menu key (or Shift+F10) on the sales table offers them all.
    if (event->type() == QEvent::KeyPress && watched == ui->tvInventory) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier) {
            QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint());
            return eventFilter(watched, &menuKey);
        }
    }
    if (event->type() == QEvent::ContextMenu && watched == ui->tvInventory && !showsOldCount() &&
        static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
        QMenu menu;
        const auto header = [this](int column) {
            return inventory.headerData(column, Qt::Horizontal, Qt::DisplayRole)
                .toString()
                .replace(QLatin1Char('\n'), QLatin1Char(' '));
        };
        menu.addMenu(&currencyMenu)->setText(header(Inventory::PriceColumn));
        menu.addMenu(&stockMenu)->setText(header(Inventory::FromStockColumn));
        menu.addMenu(&finalMenu)->setText(header(Inventory::BottlesColumn));
        const QRect cell = ui->tvInventory->visualRect(ui->tvInventory->currentIndex());
        menu.exec(ui->tvInventory->viewport()->mapToGlobal(cell.isValid() ? cell.center() : QPoint(0, 0)));
        return true;
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Delete)) {
        QPushButton *button = nullptr;
        if (watched == ui->tvInventory || watched == ui->tvItemInventory)
            button = ui->pbDeleteInventoryItem;
        else if (watched == ui->tvInventoryOverview)
            button = ui->pbDeleteItemOverview;
        else if (watched == ui->tvEditDatabase)
            button = ui->pbDeleteItem;
        if (button) {
            if (button->isEnabled())
                button->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // An old count cannot have changed, and the count in progress was left through Back, which asked.
    if ((ui->stackedWidget->currentIndex() == SalesPage && !showsOldCount() && !confirmLeave()) ||
        !confirmDiscardCatalogue())
        event->ignore();
    else {
        saveWindowGeometry();
        event->accept();
    }
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
    const QString path = localFilePath(QLatin1String(DataFile::lastTable));
    QString text = fileDateOrDash(path);
    // A copy that does not read whole carries nothing or part into the next count; its date alone would
    // say it carries all.
    CountDocument probe;
    const CountDocument::Reading reading = CountDocument::read(path, &probe);
    if (reading.result == CountDocument::Result::Damaged)
        text = tr("%1 (damaged)").arg(text);
    else if (reading.result == CountDocument::Result::Unreadable)
        text = tr("%1 (cannot be read)").arg(text);
    ui->lblLastSavedInventoryTime->setText(text);
}

void MainWindow::updateDatabaseDateLabel()
{
    ui->lblLastDatabaseUpdateTime->setText(fileDateOrDash(localFilePath(QLatin1String(DataFile::catalogue))));
}

void MainWindow::portNotOpened(Communication::State state)
{
    if (session->running())
        return;
    progressDialog->close();
    const QString text = StationSession::portText(*communication, state);
    if (text.isEmpty())
        Interaction::instance()->errorBox(QString(), QString());
    else
        showError(text);
}

void MainWindow::timeout()
{
    if (session->running())
        return;
    progressDialog->close();
    showError(StationSession::timeoutText());
}

// ---------------------------------------------------------------------------------------------------------
// Shared by the pages: deleting rows, the spreadsheet hand-off, the printer

void MainWindow::deleteSelectedRows(QTableView *view, const QString &from)
{
    QList<int> rows;
    for (const QModelIndex &index : view->selectionModel()->selectedIndexes())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QAbstractItemModel *model = view->model();

    // The question names the rows, so that a selection left in the other table cannot go unnoticed.
    const int named = 10;
    QStringList names;
    for (int i = 0; i < rows.size() && i < named; ++i) {
        const QString name = model->index(rows.at(i), 0).data().toString();
        names.append(name.isEmpty() ? tr("(row %1 without a name)").arg(rows.at(i) + 1) : name);
    }
    if (rows.size() > named)
        names.append(tr("and %1 more").arg(rows.size() - named));
    if (Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Delete Item"),
                                         tr("Are you sure to delete selected items ?") + QLatin1Char('\n') +
                                             from + QLatin1Char(' ') + names.join(QStringLiteral(", ")),
                                         Interaction::Yes | Interaction::No) == Interaction::No)
        return;
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        model->removeRows(*it, 1);
}

void MainWindow::openInSpreadsheet(const QString &path, const char *key,
                                   const std::function<bool(const QString &, QString *)> &write)
{
    if (Interaction::instance()->openUrl(QUrl::fromLocalFile(path)))
        return;
    qCWarning(lcMainWindow) << "No program opened" << path;
    // Without a program to open it the workbook is the user's to keep, and the temporary folder is no place
    // for that: the next export takes the same name and the system empties the folder. Asked for a place.
    QFile::remove(path);
    QString kept;
    const auto keep = [&write, &kept](const QString &file, QString *reason) {
        if (!write(file, reason))
            return false;
        kept = file;
        return true;
    };
    if (!FilePrompt::exportTo(this, tr("Export to Excel"), key, QFileInfo(path).fileName(),
                              tr("Excel Workbook (*.xlsx)"), keep))
        return;
    Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Unable to open"),
                                     tr("No spreadsheet program was found. The table was saved as %1.")
                                         .arg(QDir::toNativeSeparators(kept)));
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

QString MainWindow::printName(const QString &what, const QDateTime &time)
{
    const QDate day = time.isValid() ? time.date() : QDate::currentDate();
    return what + QLatin1Char('-') + day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".pdf");
}

QString MainWindow::shownDate(const QDateTime &time)
{
    return Shown::date(time, QStringLiteral("dd.MM.yyyy"));
}

void MainWindow::showError(const QString &text)
{
    Interaction::instance()->errorBox(ErrorBox::tr("Error"), text);
}

bool MainWindow::hasSelection(const QTableView *view)
{
    return view->model() && view->selectionModel() && view->selectionModel()->hasSelection();
}

void MainWindow::askToSelect()
{
    Interaction::instance()->message(this, Interaction::Icon::Information, tr("Select Item"),
                                     tr("Select Item to Delete"));
}
