// The window's side of the shared server: the settings, the syncs after saves and at start, the status line,
// the conflict questions and the chain view.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "chainpage.h"
#include "historypage.h"
#include "passwordstore.h"
#include "serverconnection.h"
#include "settingsdialog.h"
#include "storesync.h"

#include "database.h"
#include "interaction.h"
#include "localcatalogue.h"
#include "settings.h"
#include "store.h"

#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>

namespace {
QString dataFolderPath()
{
    return QFileInfo(localFilePath(QLatin1String(DataFile::lastTable))).absolutePath();
}
} // namespace

void MainWindow::setUpStore()
{
    passwords = new PasswordStore(this);
    storeSync = new StoreSync(dataFolderPath(), this);
    storeStatus = new QLabel(this);
    storeStatus->setObjectName(QStringLiteral("lblStoreStatus"));
    storeStatus->setAccessibleName(tr("Server status"));
    statusBar()->addPermanentWidget(storeStatus);
    connect(storeSync, &StoreSync::syncStarted, this, [this] { storeStatus->setText(tr("Server: sending...")); });
    connect(storeSync, &StoreSync::syncFinished, this, &MainWindow::storeSynced);

    chainPage = new ChainPage(ui->stackedWidget);
    ui->stackedWidget->addWidget(chainPage);
    connect(chainPage, &ChainPage::back, this, [this] { ui->stackedWidget->setCurrentWidget(historyPage); });
    connect(chainPage, &ChainPage::refreshRequested, this, [this] {
        chainPage->showState(tr("Reading every bar from the server..."));
        storeSync->readChain();
    });
    connect(storeSync, &StoreSync::chainRead, this,
            [this](const Store::Outcome &outcome, const QList<Store::BarCounts> &bars,
                   const QHash<QString, CostList> &costs, const QHash<QString, quint64> &storeVolumes) {
                if (!outcome.ok()) {
                    chainPage->showState(tr("The bars could not be read: %1").arg(outcome.reason));
                    return;
                }
                // An EAN names one product in one size, so this computer's catalogue gives every bar's
                // bottle volumes; the bars' catalogues in the store give those of bottles it lacks.
                QHash<QString, quint64> volumes = storeVolumes;
                for (const Bottle &bottle : qAsConst(database->bottles)) {
                    if (bottle.volume > 0)
                        volumes.insert(bottle.ean, bottle.volume);
                }
                QList<Chain::Bar> shown;
                for (const Store::BarCounts &bar : bars) {
                    Chain::Bar chainBar{bar.bar, bar.counts, {}};
                    const auto barCosts = costs.constFind(bar.bar);
                    for (const History::Count &count : bar.counts) {
                        double percent = 0;
                        if (barCosts != costs.cend() && Chain::pourCostOf(count, *barCosts, volumes, &percent))
                            chainBar.pourCost.insert(count.counter, percent);
                    }
                    shown.append(chainBar);
                }
                chainPage->setBars(shown);
            });

    // The queue of the last run goes out as soon as the password is there.
    const ServerConnection server = ServerConnection::load();
    if (!server.isSet())
        return;
    const QString key = server.passwordKey();
    connect(passwords, &PasswordStore::readFinished, this,
            [this, server, key](const QString &read, bool, const QString &password) {
                if (read != key || storeSync->isConfigured())
                    return;
                storeSync->setConnection(server, password);
                requestSync();
            });
    passwords->read(key);
}

void MainWindow::requestSync()
{
    if (storeSync)
        storeSync->request();
}

void MainWindow::storeSynced(const Store::SyncReport &report)
{
    storeStatus->setText(StoreSync::statusText(report));
    storeStatus->setToolTip(report.lines().join(QLatin1Char('\n')));
    // Rows taken over from the server are in the folder now; the catalogue shown follows unless the user is
    // changing it, whose save then asks nothing more than a save does.
    if (report.taken.value(Store::Kind::Catalogue) > 0 &&
        ui->stackedWidget->currentIndex() != CataloguePage)
        loadLocalDatabase();
    if (report.outcome.result != Store::Result::Conflict)
        return;
    QList<Store::Resolution> resolutions;
    for (const Store::Conflict &conflict : report.conflicts) {
        const QStringList choices = {tr("Keep this computer's value"), tr("Take the server's value")};
        int chosen = -1;
        // Cancel decides nothing: the row stays as it is on both sides and is asked about at the next sync.
        if (!Interaction::instance()->choose(this, tr("Changed on two computers"),
                                             StoreSync::conflictText(conflict), choices, &chosen))
            continue;
        Store::Resolution resolution;
        resolution.kind = conflict.kind;
        resolution.key = conflict.key;
        resolution.serverValue = conflict.serverValue;
        resolution.choice = chosen == 0 ? Store::Resolution::KeepLocal : Store::Resolution::TakeServer;
        resolutions.append(resolution);
    }
    if (!resolutions.isEmpty())
        storeSync->request(resolutions);
}

void MainWindow::showChain()
{
    if (!storeSync->isConfigured()) {
        Interaction::instance()->message(this, Interaction::Icon::Information, tr("All Bars"),
                                         tr("No shared server is set up. Enter it in Settings... on the home "
                                            "page."));
        return;
    }
    ui->stackedWidget->setCurrentWidget(chainPage);
    chainPage->showState(tr("Reading every bar from the server..."));
    storeSync->readChain();
}

void MainWindow::changeSettings()
{
    SettingsDialog dialog(dataFolderPath(), storeSync, passwords, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int grams = dialog.tolerance();
    // The overviews already read follow at once; their residues stay as they are.
    for (InventoryBottleList *list : {&currentList, &lastLists[0], &lastLists[1], &lastLists[2]})
        list->setFullWeightTolerance(grams);
    storeSync->setConnection(dialog.connection(), dialog.password());
    storeStatus->setText(dialog.connection().isSet() ? QString() : tr("No shared server"));
    requestSync();
}
