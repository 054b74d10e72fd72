// The window's catalogue page and update page: editing the catalogue, writing it to the station and the
// update from the server.
#include "mainwindow.h"
#include "shown.h"
#include "ui_mainwindow.h"

#include "fileprompt.h"
#include "progressdialog.h"
#include "tablesetup.h"

#include "catalogueupdate.h"
#include "costcolumnmodel.h"
#include "database.h"
#include "diffdatabase.h"
#include "history.h"
#include "interaction.h"
#include "numberinput.h"
#include "savefile.h"
#include "settings.h"
#include "stationprotocol.h"

#include <QApplication>
#include <QVBoxLayout>
#include <QTableWidget>
#include <QLabel>
#include <QHeaderView>
#include <QFileInfo>
#include <QDialogButtonBox>
#include <QDialog>
#include <QBoxLayout>
#include <QFile>
#include <QPushButton>
#include <QStatusBar>
#include <QHash>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QStyledItemDelegate>

#include <algorithm>
#include <functional>

Q_LOGGING_CATEGORY(lcCataloguePages, "cataloguepages")

namespace {
// The catalogue as its file would hold it, in EAN order: sorting the table is no edit. Every weighing marks
// its bottle for the count, so that mark is left out too.
QByteArray catalogueContent(QList<Bottle> bottles)
{
    std::sort(bottles.begin(), bottles.end(), [](const Bottle &a, const Bottle &b) { return a.ean < b.ean; });
    for (Bottle &bottle : bottles)
        bottle.useInInventory = false;
    return Database::toDocument(bottles);
}

// Import and export of the purchase costs, beside the catalogue's Save: the costs are the bar's own file,
// so these work whether or not the catalogue is unlocked.
// Par levels from what each kind used over the last counts, for the user to take or leave kind by kind. A
// par level is kept with a cost, so only kinds with a cost are offered.
void suggestPar(MainWindow *window, CostColumnModel *costs, const QList<Bottle> &bottles)
{
    QHash<QString, qint64> volumes;
    for (const Bottle &bottle : bottles) {
        if (costs->costs().find(bottle.ean))
            volumes.insert(bottle.ean, bottle.volume);
    }
    double days = 0;
    const QString dataFolder = QFileInfo(localFilePath(QLatin1String(DataFile::lastTable))).absolutePath();
    const QList<ParSuggestion> suggested = ParSuggestion::of(History::list(dataFolder), volumes, &days);
    if (suggested.isEmpty()) {
        Interaction::instance()->message(
            window, Interaction::Icon::Information, MainWindow::tr("Suggest Par"),
            MainWindow::tr("Nothing to suggest: no bottle with a cost was sold in the saved counts. Par levels "
                           "are suggested from the history of counts, for the bottles that have a cost."));
        return;
    }
    QDialog dialog(window);
    dialog.setObjectName(QStringLiteral("suggestParDialog"));
    dialog.setWindowTitle(MainWindow::tr("Suggest Par"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *about = new QLabel(MainWindow::tr("What each bottle used per period over the last %1 counts, "
                                            "brought to the usual period of %2 days and rounded up to whole "
                                            "bottles. Ticked rows take the suggestion.")
                                 .arg(ParSuggestion::countsUsed)
                                 .arg(Shown::fixed(days, 1)),
                             &dialog);
    about->setWordWrap(true);
    layout->addWidget(about);
    auto *table = new QTableWidget(int(suggested.size()), 4, &dialog);
    table->setObjectName(QStringLiteral("twSuggestedPar"));
    table->setHorizontalHeaderLabels({MainWindow::tr("Item"), MainWindow::tr("Used per Period [bottles]"),
                                      MainWindow::tr("Par Now"), MainWindow::tr("Suggested Par")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < suggested.size(); ++row) {
        const ParSuggestion &suggestion = suggested.at(row);
        const Cost *cost = costs->costs().find(suggestion.ean);
        auto *name = new QTableWidgetItem(suggestion.name.isEmpty() ? suggestion.ean : suggestion.name);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        const bool same = cost && cost->hasPar && qFuzzyCompare(cost->par, double(suggestion.par));
        name->setCheckState(same ? Qt::Unchecked : Qt::Checked);
        table->setItem(row, 0, name);
        const auto number = [&](int column, const QString &text) {
            auto *item = new QTableWidgetItem(text);
            item->setTextAlignment(int(Qt::AlignRight | Qt::AlignVCenter));
            table->setItem(row, column, item);
        };
        number(1, Shown::fixed(suggestion.usage, 2));
        number(2, cost && cost->hasPar ? Shown::number(NumberInput::exactText(cost->par)) : QString());
        number(3, QString::number(suggestion.par));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    layout->addWidget(table);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    dialog.resize(640, 480);
    if (dialog.exec() != QDialog::Accepted)
        return;
    CostList taken;
    for (int row = 0; row < suggested.size(); ++row) {
        const Cost *cost = costs->costs().find(suggested.at(row).ean);
        if (!cost || table->item(row, 0)->checkState() != Qt::Checked)
            continue;
        Cost changed = *cost;
        changed.hasPar = true;
        changed.par = double(suggested.at(row).par);
        taken.entries.append(changed);
    }
    QString reason;
    if (costs->merge(taken, &reason)) {
        window->statusBar()->showMessage(MainWindow::tr("Par levels taken: %1.").arg(taken.entries.size()));
        return;
    }
    Interaction::instance()->message(window, Interaction::Icon::Warning, MainWindow::tr("Par not taken"), reason);
}

void addCostButtons(MainWindow *window, QPushButton *beside, CostColumnModel *costs,
                    const std::function<QList<Bottle>()> &bottles)
{
    const auto layouts = beside->parentWidget()->findChildren<QBoxLayout *>();
    for (QBoxLayout *layout : layouts) {
        const int at = layout->indexOf(beside);
        if (at < 0)
            continue;
        auto *importButton = new QPushButton(MainWindow::tr("Import Costs..."), beside->parentWidget());
        auto *exportButton = new QPushButton(MainWindow::tr("Export Costs..."), beside->parentWidget());
        importButton->setToolTip(MainWindow::tr("Reads EAN;cost;par;supplier lines (an appended item by its "
                                                "name in place of the EAN) into the costs of the bar."));
        auto *suggestButton = new QPushButton(MainWindow::tr("Suggest Par..."), beside->parentWidget());
        suggestButton->setObjectName(QStringLiteral("pbSuggestPar"));
        suggestButton->setToolTip(MainWindow::tr("Proposes par levels from what each bottle used over the last "
                                                 "counts; you choose which to take."));
        layout->insertWidget(at, suggestButton);
        layout->insertWidget(at, exportButton);
        layout->insertWidget(at, importButton);
        QObject::connect(suggestButton, &QPushButton::clicked, window,
                         [window, costs, bottles] { suggestPar(window, costs, bottles()); });
        QObject::connect(importButton, &QPushButton::clicked, window, [window, costs] {
            QString folder;
            const QString path =
                FilePrompt::ask(window, MainWindow::tr("Import Costs"), RememberedFolder::csvPath, QString(),
                                MainWindow::tr("CSV Files (*.csv)"), false, &folder);
            if (path.isEmpty())
                return;
            CostList imported;
            QString reason;
            if (!QFile::exists(path))
                reason = MainWindow::tr("The file is not there.");
            else if (imported.load(path, &reason) && costs->merge(imported, &reason)) {
                setRememberedFolder(RememberedFolder::csvPath, folder);
                window->statusBar()->showMessage(
                    MainWindow::tr("Costs imported: %1.").arg(imported.entries.size()));
                return;
            }
            qCWarning(lcCataloguePages) << "Costs not imported:" << path << reason;
            Interaction::instance()->message(window, Interaction::Icon::Warning,
                                             MainWindow::tr("Costs not imported"),
                                             QStringLiteral("%1\n%2").arg(path, reason));
        });
        QObject::connect(exportButton, &QPushButton::clicked, window, [window, costs] {
            FilePrompt::exportTo(window, MainWindow::tr("Export Costs"), RememberedFolder::csvPath,
                                 CostList::fileName(), MainWindow::tr("CSV Files (*.csv)"),
                                 [costs](const QString &fileName, QString *reason) {
                                     return writeFileWhole(fileName, costs->costs().toCsv(), reason);
                                 });
        });
        return;
    }
}

// The catalogue's number cells read numbers as every other cell of the program does: blanks between the
// thousands, and a decimal comma or point where the decimals are all zero. What cannot be a volume, weight
// or correction is refused with the reason, and the cell keeps its value.
class CatalogueNumberDelegate : public QStyledItemDelegate
{
public:
    using Refused = std::function<void(const QModelIndex &, const QString &)>;

    CatalogueNumberDelegate(Refused refused, QObject *parent)
        : QStyledItemDelegate(parent), refused(std::move(refused))
    {
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        if (!isNumber(index))
            return QStyledItemDelegate::createEditor(parent, option, index);
        // A line edit for every number, so that "1 000" or "-15" can be typed; a spin box takes neither.
        auto *editor = new QLineEdit(parent);
        editor->setFrame(false);
        return editor;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *line = qobject_cast<QLineEdit *>(editor);
        if (line && isNumber(index))
            line->setText(index.data(Qt::EditRole).toString());
        else
            QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        auto *line = qobject_cast<QLineEdit *>(editor);
        if (!line || !isNumber(index)) {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        // Tab or Enter on an editor nobody typed into is no edit.
        if (line->text() == index.data(Qt::EditRole).toString())
            return;
        const bool correction = index.column() == Database::CorrectionColumn;
        const qint64 maximum = correction ? qint64(Bottle::maxCorrection) : qint64(Bottle::maxQuantity);
        qint64 number = 0;
        QString reason;
        if (!NumberInput::parseWhole(line->text(), correction ? -maximum : 0, maximum, &number, &reason)) {
            refused(index, reason);
            return;
        }
        model->setData(index, number);
    }

private:
    static bool isNumber(const QModelIndex &index)
    {
        return index.column() >= Database::VolumeColumn && index.column() <= Database::CorrectionColumn;
    }

    Refused refused;
};
} // namespace

void MainWindow::catalogueSaved()
{
    savedCatalogue = database->bottles;
    savedCatalogueContent = catalogueContent(savedCatalogue);
    requestSync();
}

bool MainWindow::confirmDiscardCatalogue()
{
    if (catalogueContent(database->bottles) == savedCatalogueContent)
        return true;
    if (Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Database not saved"),
                                         tr("Are you sure to leave? All unsaved changes of the database will "
                                            "be discarded."),
                                         Interaction::Yes | Interaction::No) != Interaction::Yes)
        return false;
    // What the table shows must be what is kept: the next visit would otherwise show, and a later save
    // write, the values just thrown away.
    QHash<QString, bool> marks;
    for (const Bottle &bottle : qAsConst(database->bottles))
        marks.insert(bottle.ean, bottle.useInInventory);
    QList<Bottle> kept = savedCatalogue;
    for (Bottle &bottle : kept)
        bottle.useInInventory = marks.value(bottle.ean, bottle.useInInventory);
    database->setBottles(kept);
    return true;
}

void MainWindow::backFromCatalogue()
{
    if (confirmDiscardCatalogue())
        showMainMenu();
}

void MainWindow::editDatabase()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto *costColumn = ui->tvEditDatabase->findChild<CostColumnModel *>();
    QString costProblem;
    if (!costColumn) {
        costColumn =
            new CostColumnModel(Database::EanColumn, localFilePath(CostList::fileName()), ui->tvEditDatabase);
        costColumn->setSourceModel(database);
        connect(costColumn, &CostColumnModel::inputRefused, this, &MainWindow::inputRefused);
        addCostButtons(this, ui->pbSaveDatabase, costColumn, [this] { return database->bottles; });
    }
    // Read afresh each time: another window of the program may have changed the costs.
    if (!costColumn->reload(&costProblem))
        statusBar()->showMessage(tr("Costs not read: %1").arg(costProblem));
    TableSetup::showCatalogue(ui->tvEditDatabase, costColumn);
    if (!dynamic_cast<CatalogueNumberDelegate *>(ui->tvEditDatabase->itemDelegate())) {
        ui->tvEditDatabase->setItemDelegate(new CatalogueNumberDelegate(
            [this](const QModelIndex &index, const QString &reason) { inputRefused(index, reason); },
            ui->tvEditDatabase));
        TableSetup::useKeyboard(ui->tvEditDatabase);
    }
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
    ean = ean.trimmed();
    // The station matches weighings by these digits; anything else could never be weighed.
    static const QRegularExpression digits(QStringLiteral("^\\d{8,14}$"));
    if (!digits.match(ean).hasMatch()) {
        Interaction::instance()->message(
            this, Interaction::Icon::Warning, tr("Invalid EAN"),
            ean.isEmpty() ? tr("Type the EAN code printed under the bar code of the bottle.")
                          : tr("\"%1\" is not an EAN: it has 8 to 14 digits and nothing else.").arg(ean));
        return;
    }
    if (database->findByEan(ean)) {
        Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Item already exists"),
                                         tr("This item already exists, select different one"));
        return;
    }
    // The station keeps the EAN as a number: a UPC-A code and its EAN-13 form with a leading zero would be
    // one bottle there with two weights.
    for (const Bottle &bottle : qAsConst(database->bottles)) {
        if (Database::stationEan(bottle.ean) == Database::stationEan(ean)) {
            Interaction::instance()->message(
                this, Interaction::Icon::Warning, tr("Item already exists"),
                tr("%1 is the same EAN to Quarmel as %2, which is in the database already: Quarmel keeps "
                   "the EAN without its leading zeros.")
                    .arg(ean, bottle.ean));
            return;
        }
    }
    const int expected = Database::checkDigit(ean);
    if (expected != ean.back().digitValue() &&
        Interaction::instance()->message(
            this, Interaction::Icon::Warning, tr("Check digit"),
            tr("The last digit of %1 should be %2 if the other digits are right, so the code may be "
               "mistyped. Add it anyway?")
                .arg(ean)
                .arg(expected),
            Interaction::Yes | Interaction::No) != Interaction::Yes)
        return;
    const int row = ui->tvEditDatabase->currentIndex().row();
    database->insertBottle(qMax(row, 0), ean);
    if (row < 0)
        ui->tvEditDatabase->scrollToTop();
}

void MainWindow::deleteDatabaseRow()
{
    const int row = ui->tvEditDatabase->currentIndex().row();
    if (row < 0 || row >= database->rowCount()) {
        askToSelect();
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
    // A row the station cannot hold would be stored as something else; an EAN stored as 0 even ends the
    // station's list there. Nothing is written until every row fits.
    const QList<StationProtocol::CatalogueFault> faults = StationProtocol::checkCatalogue(database->bottles);
    // Two rows the station would hold as one EAN would be one bottle there, weighed by the first row only.
    const QStringList same = Database::sameStationEans(database->bottles);
    if ((!faults.isEmpty() || !same.isEmpty()) && database->rowCount() <= StationProtocol::MaxBottles) {
        const QStringList rows = StationProtocol::describeFaults(database->bottles, faults) + same;
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
    QString reason;
    const bool saved =
        database->saveToFile(localFilePath(QLatin1String(DataFile::catalogue)), false, &reason);
    progressDialog->close();
    if (!saved) {
        // The station has the new catalogue but this computer has not; the table stays open so the user can
        // save again once the folder is writable.
        FilePrompt::reportSaveFailure(
            this, localFilePath(QLatin1String(DataFile::catalogue)), reason,
            tr("Quarmel already holds the new database, so Quarmel and this computer now differ. "
               "Save again once the file can be written."));
        return;
    }
    catalogueSaved();
    updateDatabaseDateLabel();
    // The update page's "current" weights are those from before the update: the catalogue page shows what
    // is now in Quarmel and on this computer.
    if (ui->stackedWidget->currentIndex() == UpdatePage)
        editDatabase();
    setDatabaseLocked(true);
    statusBar()->showMessage(tr("Catalogue saved: written into Quarmel and kept on this computer."));
}

void MainWindow::databaseWriteRefused()
{
    // The station's catalogue area ends where its stored inventories begin, so the link refuses a longer
    // list before sending anything; nothing was written and the table stays open for deleting items.
    progressDialog->close();
    qCWarning(lcCataloguePages) << "Database not written:" << database->rowCount() << "items";
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
    case CatalogueUpdate::Result::TooLarge:
        showError(tr("The downloaded database update is larger than %1 MB, which no catalogue is. Nothing "
                     "was taken over; check the address of the update.")
                      .arg(CatalogueUpdate::maxReplyBytes / (1024 * 1024)));
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
