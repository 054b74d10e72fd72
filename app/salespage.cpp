// The window's sales page: the sales table and the appended items of a count.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "fileprompt.h"
#include "historypage.h"
#include "tablesetup.h"
#include "tillpanel.h"

#include "costcolumnmodel.h"
#include "costs.h"
#include "database.h"
#include "deliveriesdialog.h"
#include "doubtsummary.h"
#include "downloadrecord.h"
#include "interaction.h"
#include "ordermodel.h"
#include "salestotals.h"
#include "savefile.h"
#include "settings.h"
#include "storeledger.h"
#include "tablefile.h"
#include "tillsales.h"
#include "workbook.h"

#include <QCursor>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QTableView>
#include <QHeaderView>
#include <QDialogButtonBox>
#include <QDialog>
#include <QDateTime>
#include <QDir>
#include <QIdentityProxyModel>
#include <QPainter>
#include <QPrinter>
#include <QSignalBlocker>
#include <QDateTimeEdit>
#include <QLabel>
#include <QStatusBar>
#include <QToolTip>

#include <algorithm>

namespace {
// An old count through the sales page's views: every cell as saved, none of them editable, however an
// editor is asked for.
class ReadOnlyModel : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return QIdentityProxyModel::flags(index) & ~(Qt::ItemIsEditable | Qt::ItemIsUserCheckable);
    }
    bool setData(const QModelIndex &, const QVariant &, int) override { return false; }
};

// The bar's purchase costs, read afresh so that costs typed on the catalogue page count at once. A list that
// cannot be read is said in the figures' place, never taken as a bar without costs.
bool readCosts(CostList *costs, QString *reason)
{
    return costs->load(localFilePath(CostList::fileName()), reason);
}

bool hasPar(const CostList &costs)
{
    return std::any_of(costs.entries.cbegin(), costs.entries.cend(),
                       [](const Cost &cost) { return cost.hasPar; });
}

// The cost figures of the shown count and what to order, or why there are none; empty while the bar has typed
// no cost.
QString costText(const Inventory &inventory, const ItemInventory &items, const CostList &costs, bool read,
                 const QString &reason)
{
    if (!read)
        return MainWindow::tr("Costs not read: %1").arg(reason);
    if (costs.entries.isEmpty())
        return QString();
    QString text = CostFigures::of(inventory, items, costs).text(inventory.currency);
    if (hasPar(costs))
        text += QLatin1Char('\n') + OrderList::of(inventory, items, costs).text(inventory.currency);
    return text;
}

QString costText(const Inventory &inventory, const ItemInventory &items)
{
    CostList costs;
    QString reason;
    const bool read = readCosts(&costs, &reason);
    return costText(inventory, items, costs, read, reason);
}

// The sales table as the page shows it: with a row's cost of goods and pour cost beside its cash in. One
// such view per table, kept by the window under `name`.
QAbstractItemModel *withCostColumns(QObject *window, QAbstractItemModel *table, const Inventory *inventory,
                                    const QString &name)
{
    auto *shown = window->findChild<SalesCostModel *>(name, Qt::FindDirectChildrenOnly);
    if (!shown) {
        shown = new SalesCostModel(inventory, window);
        shown->setObjectName(name);
        shown->setSourceModel(table);
    }
    return shown;
}

// The cost columns take the costs as they are now, and are hidden while the bar has typed none.
void showCostColumns(QTableView *view, const CostList &costs)
{
    auto *shown = qobject_cast<SalesCostModel *>(view->model());
    if (!shown)
        return;
    shown->setCosts(costs);
    for (int column : {shown->costOfGoodsColumn(), shown->pourCostColumn()}) {
        view->setColumnHidden(column, !shown->hasCosts());
        // Sized when the costs are known: sized while empty, "36.7 %" would show as "36.7...".
        if (shown->hasCosts())
            view->resizeColumnToContents(column);
    }
}

void showCostColumns(QTableView *view)
{
    CostList costs;
    QString reason;
    if (readCosts(&costs, &reason))
        showCostColumns(view, costs);
    else
        showCostColumns(view, CostList());
}
// The name a bottle kind is known by, per EAN: its full name as the sales table shows it.
QHash<QString, QString> catalogueNames(const Database *database)
{
    QHash<QString, QString> names;
    if (!database)
        return names;
    for (const Bottle &bottle : database->bottles) {
        const QString name =
            !bottle.fullName.trimmed().isEmpty() ? bottle.fullName.trimmed() : bottle.displayName.trimmed();
        if (!bottle.ean.isEmpty())
            names.insert(bottle.ean, name.isEmpty() ? bottle.ean : name);
    }
    return names;
}
} // namespace

void MainWindow::openInventory()
{
    if (!shownOverview)
        return;
    const QString lastCopy = localFilePath(QLatin1String(DataFile::lastTable));
    // One count, one entry: the same download counted up again is a correction of the table it made.
    const QString fingerprint = shownOverview->property("downloadFingerprint").toString();
    const quint32 used =
        fingerprint.isEmpty()
            ? 0
            : DownloadRecord::savedAs(localFilePath(QLatin1String(DownloadRecord::fileName)), fingerprint);
    QString problem;
    // The period ends now, when the download is counted up, not when the window was opened.
    const TableFile::Carried carried = TableFile::open(inventory, itemInventory, shownOverview->rows,
                                                       lastCopy, &problem, QDateTime::currentDateTime(), used);
    tillPanel->clear();
    stockFilled.clear();
    const QString filled = fillFromIssues();
    TableSetup::showSales(ui->tvInventory,
                          withCostColumns(this, &inventory, &inventory, QStringLiteral("salesCosts")));
    showCostColumns(ui->tvInventory);
    TableSetup::showItems(ui->tvItemInventory, &itemInventory);
    keepOneSalesSelection();
    updateSalesTitle();
    showPage(SalesPage);
    // After the page is shown: a new page starts with an empty status line.
    if (!filled.isEmpty())
        statusBar()->showMessage(filled);
    // Not the period end, which would otherwise take the focus: arrow keys meant for the table would move
    // the end of the count by days without a word.
    ui->tvInventory->setFocus();

    // No copy is the normal first count; a damaged or unreadable one would quietly start bottles at zero and
    // make the takings plainly wrong.
    if (carried == TableFile::Carried::Damaged || carried == TableFile::Carried::Unreadable)
        Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Unable to import table"),
                                         problem);
    else
        showDoubts(DoubtSummary::sales(inventory));

    if (used != 0 && inventory.counter == used) {
        inventory.savedAs = used;
        Interaction::instance()->message(
            this, Interaction::Icon::Information, tr("Count Up Cash In"),
            tr("This count was already used for table No. %1. Saved again, this table replaces it in the "
               "history and its totals.")
                .arg(used));
    } else if (used != 0) {
        // A later table stands between: a correction would start from that table's end and put its wrong
        // figures in place of the table this download made. Saved, it is a count of its own.
        Interaction::instance()->message(
            this, Interaction::Icon::Warning, tr("Count Up Cash In"),
            tr("This count was already used for table No. %1, and table No. %2 was saved after it. The sales "
               "table starts from table No. %2, so its figures are not those of table No. %1; saved, it is a "
               "new table and table No. %1 stays as it is.")
                .arg(used)
                .arg(inventory.counter));
    }
}

void MainWindow::showOldCount(const QString &path)
{
    CountDocument old;
    const CountDocument::Reading reading = CountDocument::read(path, &old);
    if (!reading.ok()) {
        Interaction::instance()->message(
            this, Interaction::Icon::Critical, tr("Open Count"),
            tr("The count %1 could not be read.").arg(QDir::toNativeSeparators(path)) +
                (reading.reason.isEmpty() ? QString() : QLatin1Char(' ') + reading.reason));
        return;
    }
    TableFile::show(old, oldInventory, oldItems);
    if (!showsOldCount()) {
        liveInventoryShown = ui->tvInventory->model();
        liveItemsShown = ui->tvItemInventory->model();
        liveItemsOpen = ui->pbAppendedItems->isChecked();
    }
    if (!oldInventoryShown) {
        oldInventoryShown = new ReadOnlyModel(this);
        oldInventoryShown->setSourceModel(&oldInventory);
        oldItemsShown = new ReadOnlyModel(this);
        oldItemsShown->setSourceModel(&oldItems);
    }
    // A panel of its own, so that the till figures of the count in progress stay untouched.
    delete oldTillPanel;
    oldTillPanel = new TillPanel(oldInventory, oldItems, ui->page_2);
    oldTillPanel->setObjectName(QStringLiteral("oldTillPanel"));
    oldTillPanel->setReadOnly(true);
    oldTillPanel->setFigures(old.till);
    ui->verticalLayout_2->insertWidget(ui->verticalLayout_2->indexOf(tillPanel), oldTillPanel);
    tillPanel->hide();

    TableSetup::showSales(ui->tvInventory,
                          withCostColumns(this, oldInventoryShown, &oldInventory, QStringLiteral("oldSalesCosts")));
    TableSetup::showItems(ui->tvItemInventory, oldItemsShown);
    keepOneSalesSelection();
    showCountButtons(false);
    ui->pbAppendedItems->setChecked(oldItems.rowCount() > 0);
    calculated();
    updateSalesTitle();
    showPage(SalesPage);
}

void MainWindow::closeOldCount()
{
    if (!showsOldCount())
        return;
    delete oldTillPanel;
    oldTillPanel = nullptr;
    tillPanel->show();
    const auto showAgain = [](QTableView *view, QAbstractItemModel *model,
                              void (*show)(QTableView *, QAbstractItemModel *)) {
        if (model)
            show(view, model);
        else
            view->setModel(nullptr);
    };
    showAgain(ui->tvInventory, liveInventoryShown, &TableSetup::showSales);
    showAgain(ui->tvItemInventory, liveItemsShown, &TableSetup::showItems);
    keepOneSalesSelection();
    showCountButtons(true);
    ui->pbAppendedItems->setChecked(liveItemsOpen);
    calculated();
    updateSalesTitle();
}

// The buttons that change a count or put one in its place.
void MainWindow::showCountButtons(bool shown)
{
    for (QPushButton *button :
         {ui->pbAddInventoryItem, ui->pbDeleteInventoryItem, ui->pbImportInventory, ui->pbSaveInventory}) {
        button->setVisible(shown);
        button->setEnabled(shown);
    }
}

void MainWindow::calculated()
{
    ui->lblTotalRevenue->setText(SalesTotals::total(shownInventory(), shownItems()));
    ui->lblBottlesRevenue->setText(SalesTotals::alcohol(shownInventory()));
    ui->lblItemsRevenue->setText(SalesTotals::items(shownItems()));
    // Below the totals, in the same layout, so that no form of the window has to change for it.
    auto *costs = ui->lblTotalRevenue->parentWidget()->findChild<QLabel *>(QStringLiteral("lblCosts"));
    if (!costs && ui->lblTotalRevenue->parentWidget()->layout()) {
        // The figures scroll within a few lines of their own, so that an order from many suppliers does not
        // squeeze the sales table to a handful of rows on a laptop's screen.
        auto *box = new QScrollArea(ui->lblTotalRevenue->parentWidget());
        box->setObjectName(QStringLiteral("saCosts"));
        box->setFrameShape(QFrame::NoFrame);
        box->setWidgetResizable(true);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setFocusPolicy(Qt::NoFocus);
        box->setStyleSheet(QStringLiteral("QScrollArea#saCosts, QScrollArea#saCosts > QWidget > QWidget "
                                          "{ background: transparent; }"));
        costs = new QLabel(box);
        costs->setObjectName(QStringLiteral("lblCosts"));
        costs->setTextInteractionFlags(Qt::TextSelectableByMouse);
        costs->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // A long list of rows without a cost wraps, rather than widening the window past the screen.
        costs->setWordWrap(true);
        box->setWidget(costs);
        ui->lblTotalRevenue->parentWidget()->layout()->addWidget(box);
    }
    CostList list;
    QString reason;
    const bool read = readCosts(&list, &reason);
    showCostColumns(ui->tvInventory, read ? list : CostList());
    if (costs) {
        const QString text = costText(shownInventory(), shownItems(), list, read, reason);
        costs->setText(text);
        costs->setVisible(!text.isEmpty());
        if (auto *box = ui->lblTotalRevenue->parentWidget()->findChild<QScrollArea *>(QStringLiteral("saCosts"))) {
            box->setVisible(!text.isEmpty());
            // Five whole lines in the font the style sheet gave the label.
            box->setMaximumHeight(costs->fontMetrics().lineSpacing() * 5 + costs->contentsMargins().top() +
                                  costs->contentsMargins().bottom());
            // As tall as the text up to the box's limit: a short text leaves no empty band.
            box->setMinimumHeight(std::min(box->maximumHeight(), costs->heightForWidth(box->viewport()->width()) + 2));
        }
    }
    ui->tvInventory->updateGeometry();
    statusBar()->clearMessage();
}

void MainWindow::inputRefused(const QModelIndex &index, const QString &reason)
{
    // The cell keeps its old value; say why where the eye is, and keep it in the status line until the
    // next accepted edit.
    QTableView *view = ui->tvItemInventory;
    if (index.model() == &inventory)
        view = ui->tvInventory;
    else if (index.model() == ui->tvEditDatabase->model())
        view = ui->tvEditDatabase;
    const QString text = tr("Not taken: %1").arg(reason);
    statusBar()->showMessage(text);
    QToolTip::showText(view->viewport()->mapToGlobal(view->visualRect(index).bottomLeft()), text, view);
}

void MainWindow::updateSalesTitle()
{
    const Inventory &shown = shownInventory();
    const QString start = shownDate(shown.timeStart), end = shownDate(shown.timeEnd);
    countEndEdit->setVisible(!showsOldCount());
    countEndLabel->setVisible(!showsOldCount());
    if (showsOldCount()) {
        ui->lblInventory->setText(
            tr("Old count No. %1, %2 – %3, read-only").arg(shown.counter).arg(start, end));
        ui->lblInventory->setStyleSheet(QStringLiteral("background: #ffd699; padding: 2px 6px;"));
    } else {
        ui->lblInventory->setText(tr("Sales: %1 - %2").arg(start, end));
        ui->lblInventory->setStyleSheet(QString());
        const QSignalBlocker quiet(countEndEdit);
        // A period cannot end before it starts; the opening count has no period, and its moment moves whole.
        if (shown.opening || !shown.timeStart.isValid())
            countEndEdit->clearMinimumDateTime();
        else
            countEndEdit->setMinimumDateTime(qMin(shown.timeStart, shown.timeEnd));
        countEndEdit->setDateTime(shown.timeEnd);
    }
}

void MainWindow::countEndEdited(const QDateTime &end)
{
    if (showsOldCount() || end == inventory.timeEnd)
        return;
    inventory.timeEnd = end;
    if (inventory.opening)
        inventory.timeStart = end;
    inventory.modified = true;
    // Another end takes in other days' issues.
    const QString filled = fillFromIssues();
    if (!filled.isEmpty())
        statusBar()->showMessage(filled);
    updateSalesTitle();
}

void MainWindow::inventoryHeaderClicked(int section)
{
    // The header only opens menus here. The column it selected on the way would make a later Delete Item
    // offer every row of the table for deletion.
    ui->tvInventory->clearSelection();
    // The units and the currency belong to the count in progress.
    if (showsOldCount())
        return;
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
    if (showsOldCount()) {
        closeOldCount();
        ui->stackedWidget->setCurrentWidget(historyPage);
        return;
    }
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
    if (shownOverview) {
        const QString fingerprint = shownOverview->property("downloadFingerprint").toString();
        // Only a convenience for the next count up: a record that cannot be written costs no saved table.
        DownloadRecord::markSaved(localFilePath(QLatin1String(DownloadRecord::fileName)), fingerprint,
                                  inventory.counter, QDateTime::currentDateTime());
    }
    updateLastSavedLabel();
    statusBar()->showMessage(
        tr("Table No. %1 saved: %2").arg(inventory.counter).arg(QDir::toNativeSeparators(fileName)));
    requestSync();
}

void MainWindow::importInventory()
{
    QString folder;
    const QString fileName = FilePrompt::ask(this, tr("Import table"), RememberedFolder::inventoryPath,
                                             QString(), tr("Inventory table files (*.inv)"), false, &folder);
    if (fileName.isEmpty())
        return;
    setRememberedFolder(QLatin1String(RememberedFolder::inventoryPath), folder);

    // A table is carried whole or not at all: half a table would give takings that look right.
    const CountDocument::Reading reading = TableFile::importTable(inventory, fileName);
    switch (reading.result) {
    case CountDocument::Result::Missing:
        Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Unable to import table"),
                                         tr("File not found."));
        return;
    case CountDocument::Result::Unreadable:
        Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Unable to import table"),
                                         tr("The file cannot be read: %1").arg(reading.reason));
        return;
    case CountDocument::Result::Damaged:
        Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Unable to import table"),
                                         tr("File is not inventory table.") + QLatin1Char('\n') +
                                             reading.reason);
        return;
    case CountDocument::Result::Read:
        break;
    }
    // The count now starts where the imported table ended: the issues of another period.
    const QString filled = fillFromIssues();
    ui->tvInventory->setModel(nullptr);
    TableSetup::showSales(ui->tvInventory,
                          withCostColumns(this, &inventory, &inventory, QStringLiteral("salesCosts")));
    showCostColumns(ui->tvInventory);
    keepOneSalesSelection();
    updateSalesTitle();
    if (!filled.isEmpty())
        statusBar()->showMessage(filled);
}

void MainWindow::inventoryExportCSV()
{
    FilePrompt::exportTo(this, tr("Export to CSV"), RememberedFolder::csvPath, QStringLiteral("inv.csv"),
                         tr("CSV Files (*.csv)"), [this](const QString &fileName, QString *reason) {
                             CostList costs;
                             if (!readCosts(&costs, reason))
                                 return false;
                             QByteArray bytes = TableFile::salesCsv(shownInventory(), shownItems());
                             // After the rows, where the readers of the sales CSV no longer look.
                             if (!costs.entries.isEmpty())
                                 bytes += CostFigures::of(shownInventory(), shownItems(), costs).csvLines();
                             return writeFileWhole(fileName, bytes, reason,
                                                   QIODevice::WriteOnly | QIODevice::Text);
                         });
}

void MainWindow::inventoryExportExcel()
{
    const QString path = QDir::tempPath() + QStringLiteral("/inventory.xlsx");
    TillPanel &till = shownTill();
    const auto write = [this, &till](const QString &file, QString *reason) {
        CostList costs;
        if (!readCosts(&costs, reason))
            return false;
        const CostFigures figures = CostFigures::of(shownInventory(), shownItems(), costs);
        const OrderList order = OrderList::of(shownInventory(), shownItems(), costs);
        return Workbook::writeSales(
            file, shownInventory(), shownItems(), till.figures().isEmpty() ? nullptr : &till.comparison(),
            reason, costs.entries.isEmpty() ? nullptr : &figures, hasPar(costs) ? &order : nullptr);
    };
    QString reason;
    if (write(path, &reason))
        openInSpreadsheet(path, RememberedFolder::csvPath, write);
    else
        FilePrompt::reportSaveFailure(this, path, reason);
}

void MainWindow::printInventory()
{
    Inventory &sales = shownInventory();
    if (!FilePrompt::askToPrint(this, printer, printName(QStringLiteral("sales"), sales.timeEnd)))
        return;
    QPainter painter;
    if (!beginPrinting(painter))
        return;
    ItemInventory &items = shownItems();
    TillPanel &till = shownTill();
    QString total = SalesTotals::total(sales, items);
    const QString costs = costText(sales, items);
    if (!costs.isEmpty())
        total += QLatin1Char('\n') + costs;
    PrintableTableModel::resetPageNumber();
    // The period, as the page's title shows it: a printout read weeks later must say which nights it covers.
    const QString date =
        FilePrompt::printHeading(tr("Sales: %1 - %2").arg(shownDate(sales.timeStart), shownDate(sales.timeEnd)));
    const bool withItems = items.rowCount() > 0;
    sales.print(printer, painter, SalesTotals::alcohol(sales), withItems ? QString() : total, date);
    if (withItems) {
        printer->newPage();
        items.print(printer, painter, SalesTotals::appendedItems(items), total, QString());
    }
    if (!till.figures().isEmpty()) {
        printer->newPage();
        TillVarianceModel printed;
        printed.currency = sales.currency;
        printed.setComparison(till.comparison());
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

void MainWindow::showOrderList()
{
    CostList costs;
    QString reason;
    if (!readCosts(&costs, &reason)) {
        Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Order List"),
                                         tr("Costs not read: %1").arg(reason));
        return;
    }
    const Inventory &sales = shownInventory();
    OrderModel order;
    order.currency = sales.currency;
    order.setOrder(OrderList::of(sales, shownItems(), costs));

    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("orderListDialog"));
    dialog.setWindowTitle(tr("Order List"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *summary = new QLabel(&dialog);
    summary->setWordWrap(true);
    if (!hasPar(costs))
        summary->setText(tr("No par levels are typed. Type them beside the costs on the catalogue page: the "
                            "order list buys each kind up to its par level."));
    else if (order.order().lines.isEmpty())
        summary->setText(tr("Nothing is below its par level."));
    else
        summary->setText(tr("What brings each kind below its par level up to par, in whole bottles, for the count "
                            "of %1. %2.")
                             .arg(shownDate(sales.timeEnd), order.summary()));
    layout->addWidget(summary);
    auto *table = new QTableView(&dialog);
    table->setObjectName(QStringLiteral("tvOrderList"));
    table->verticalHeader()->hide();
    table->setModel(&order);
    table->resizeColumnsToContents();
    table->horizontalHeader()->setSectionResizeMode(OrderModel::ItemColumn, QHeaderView::Stretch);
    layout->addWidget(table);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QPushButton *print = buttons->addButton(tr("Print..."), QDialogButtonBox::ActionRole);
    QPushButton *workbook = buttons->addButton(tr("Export to Excel"), QDialogButtonBox::ActionRole);
    QPushButton *delivered = buttons->addButton(tr("Record as Delivered"), QDialogButtonBox::ActionRole);
    delivered->setObjectName(QStringLiteral("pbOrderDelivered"));
    delivered->setToolTip(tr("Records today's delivery of the whole order into the store, with its cost and "
                             "suppliers."));
    for (QPushButton *button : {print, workbook, delivered})
        button->setEnabled(!order.order().lines.isEmpty());
    connect(delivered, &QPushButton::clicked, &dialog, [this, &dialog, &order, delivered] {
        if (Interaction::instance()->message(
                &dialog, Interaction::Icon::Question, tr("Record as Delivered"),
                tr("Record the whole order as delivered into the store today?"),
                Interaction::Yes | Interaction::No) != Interaction::Yes)
            return;
        const QString path = localFilePath(StoreLedger::fileName());
        StoreLedger ledger;
        QString why;
        bool kept = ledger.load(path, &why);
        const QDateTime now = QDateTime::currentDateTime();
        for (const OrderList::Line &line : order.order().lines) {
            StoreEntry entry;
            entry.date = now.date();
            entry.time = now.time();
            entry.kind = StoreEntry::Delivery;
            entry.key = line.ean.isEmpty() ? line.name : line.ean;
            entry.quantity = double(line.order);
            entry.hasCost = true;
            entry.cost = line.cost;
            entry.supplier = line.supplier;
            kept = kept && ledger.add(entry, &why);
        }
        if (!kept || !ledger.save(path, &why)) {
            Interaction::instance()->message(&dialog, Interaction::Icon::Critical, tr("Record as Delivered"),
                                             tr("The delivery was not recorded: %1").arg(why));
            return;
        }
        // Once: a second click would put the same bottles into the store twice.
        delivered->setEnabled(false);
        statusBar()->showMessage(tr("The order was recorded as delivered into the store."));
    });
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(print, &QPushButton::clicked, &dialog, [this, &dialog, &order, &sales] {
        if (!FilePrompt::askToPrint(&dialog, printer, printName(QStringLiteral("order"), sales.timeEnd)))
            return;
        QPainter painter;
        if (!beginPrinting(painter))
            return;
        PrintableTableModel::resetPageNumber();
        order.print(printer, painter, order.summary(), QString(),
                    FilePrompt::printHeading(tr("Order list after the count of ") + shownDate(sales.timeEnd)));
        painter.end();
    });
    connect(workbook, &QPushButton::clicked, &dialog, [this, &order] {
        const QString path = QDir::tempPath() + QStringLiteral("/order.xlsx");
        const auto write = [&order](const QString &file, QString *why) {
            return Workbook::writeOrder(file, order.order(), order.currency, why);
        };
        QString why;
        if (write(path, &why))
            openInSpreadsheet(path, RememberedFolder::csvPath, write);
        else
            FilePrompt::reportSaveFailure(this, path, why);
    });
    dialog.resize(720, 420);
    dialog.exec();
}

// From Stock of the count in progress from the store's issues of its period: after the moment the last count
// ended, up to the moment this one ends. The opening count has no period to fill.
QString MainWindow::fillFromIssues()
{
    if (inventory.opening || !inventory.timeStart.isValid() || !inventory.timeEnd.isValid())
        return QString();
    StoreLedger ledger;
    QString reason;
    if (!ledger.load(localFilePath(StoreLedger::fileName()), &reason))
        return tr("Deliveries and issues not read, From Stock not filled: %1").arg(reason);
    const QHash<QString, double> issued = ledger.issuedBetween(inventory.timeStart, inventory.timeEnd);
    if (issued.isEmpty() && stockFilled.isEmpty())
        return QString();
    return StockFill::apply(inventory, itemInventory, issued, &stockFilled).text(catalogueNames(database));
}

void MainWindow::showDeliveries()
{
    StoreLedger ledger;
    QString reason;
    const QString path = localFilePath(StoreLedger::fileName());
    // A record that cannot be read is never shown empty: the first entry saved would replace it.
    if (!ledger.load(path, &reason)) {
        Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Deliveries and Issues"),
                                         tr("The record %1 cannot be read: %2")
                                             .arg(QDir::toNativeSeparators(path), reason));
        return;
    }
    QHash<QString, QString> names = catalogueNames(database);
    for (const AppendedItem &item : qAsConst(itemInventory.rows))
        if (!item.name.trimmed().isEmpty() && !names.contains(item.name.trimmed()))
            names.insert(item.name.trimmed(), item.name.trimmed());
    DeliveriesDialog dialog(ledger, path, names, this);
    dialog.exec();
    if (dialog.changed() && !showsOldCount() && ui->stackedWidget->currentIndex() == SalesPage) {
        const QString filled = fillFromIssues();
        if (!filled.isEmpty())
            statusBar()->showMessage(filled);
    }
}
