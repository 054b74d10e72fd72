#pragma once

#include "bottle.h"
#include "communication.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"

#include <QMainWindow>
#include <QHash>
#include <QMenu>
#include <QPair>
#include <QStringList>

#include <functional>

class ChainPage;
class Database;
class PasswordStore;
class StoreSync;
class DiffDatabase;
class HistoryPage;
class ProgressDialog;
class StationSession;
class QAbstractProxyModel;
class QNetworkAccessManager;
class QNetworkReply;
class QPainter;
class QPrinter;
class QPushButton;
class QTableView;

namespace Store {
struct SyncReport;
}

namespace Ui {
class MainWindow;
}
class TillPanel;
class QDateTimeEdit;
class QLabel;

// The program's one window: it owns the station link, the catalogue and the tables, shows them on its pages
// and turns clicks and station signals into calls on them.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Dates as the window shows them: "dd.MM.yyyy".
    static QString shownDate(const QDateTime &time);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void readFwVersion();
    void loadLast3Inventory();
    void editDatabase();
    void downloadDatabase();
    void showMainMenu();
    void backFromInventory();
    void backFromCatalogue();
    void selectInventory();
    void openInventory();
    void readingInventory(int percent);
    void inventoryLoaded(int slot);
    void lastThreeLoaded();
    void stationFailed(const QString &message);
    void portNotOpened(Communication::State state);
    void timeout();
    void savingDatabase(int percent);
    void saveDatabaseToFile();
    void calculated();
    void inputRefused(const QModelIndex &index, const QString &reason);
    void inventoryHeaderClicked(int section);
    void inventoryBottleSelected();
    void inventoryItemSelected();
    void itemTableCheckChanged(bool checked);
    void saveInventory();
    void importInventory();
    void inventoryExportCSV();
    void inventoryExportExcel();
    void inventoryOverviewExportCSV();
    void inventoryOverviewExportXML();
    void inventoryOverviewExportExcel();
    void printInventoryOverview();
    void printInventory();
    void showOrderList();
    void showDeliveries();
    void addDatabaseRow();
    void deleteDatabaseRow();
    void deleteInventoryOverviewRow();
    void addInvetoryItem();
    void deleteInventoryItem();
    void saveDatabase();
    void unlock();
    void applyDatabaseUpdate();
    void replyFinished(QNetworkReply *reply);

private:
    // The pages of the stacked widget, in the order of the form.
    enum Page { MenuPage, CataloguePage, SalesPage, OverviewPage, LastThreePage, UpdatePage };

    void setUpLook();
    void connectMenuPage();
    void connectStation();
    void connectOverviewPages();
    void connectSalesPage();
    void connectCataloguePages();
    void addHistoryPage();
    // An old count from the history on the sales page, read-only, beside the count in progress, which it
    // leaves as it was; closing it shows the count in progress again.
    void showOldCount(const QString &path);
    void closeOldCount();
    void showCountButtons(bool shown);
    bool showsOldCount() const { return oldTillPanel != nullptr; }
    // What the sales page shows: the old count when one is open, else the count in progress.
    Inventory &shownInventory() { return showsOldCount() ? oldInventory : inventory; }
    ItemInventory &shownItems() { return showsOldCount() ? oldItems : itemInventory; }
    TillPanel &shownTill() { return showsOldCount() ? *oldTillPanel : *tillPanel; }
    void addSettingsButton();
    // The menu bar: every entry clicks a button of the pages, so that it does exactly what the button does,
    // and is enabled only while that button is on the page shown and enabled.
    void setUpMenus();
    void updateActions();
    void showUserGuide();
    void showAbout();
    // Alt+letter on every button, one letter per page and none of the menu bar's, in the shown language.
    void assignMnemonics();
    void restoreWindowGeometry();
    void openAsLargeAsThePages();
    void saveWindowGeometry() const;
    // Names and descriptions for screen readers, by the widgets' object names.
    void nameForAccessibility();
    // No catalogue yet: where the data folder is, and a catalogue from the station, a CSV file or none.
    void welcome();
    void readCatalogueFromStation();
    void catalogueReadFromStation();
    void importCatalogueCsv();
    void changeSettings();
    // The shared server: the connection read at start (the password may come late, from the keyring), a
    // sync after every save and at start, the status line, the conflict questions and the chain view.
    void setUpStore();
    void requestSync();
    void storeSynced(const Store::SyncReport &report);
    void showChain();
    void showPage(Page page);
    void showProgress(const QString &text);
    void showInventoryOverview(InventoryBottleList *list);
    void offerUnknownBottles(const InventoryBottleList &list);
    void showFirmware();
    // One message with every doubtful weighing of `summary`; nothing when it is empty.
    void showDoubts(const QString &summary);
    void updateLastSavedLabel();
    void updateDatabaseDateLabel();
    void setDatabaseLocked(bool locked);
    void updateSalesTitle();
    bool confirmLeave();
    bool confirmDiscardCatalogue();
    void catalogueSaved();
    void checkDataFolder();
    // A save cut off between its writes at the last run: finished or reported.
    void recoverSave();
    void countEndEdited(const QDateTime &end);
    void showDatabaseUpdate(const QList<Bottle> &update);
    void loadLocalDatabase();
    void showLastThreeInventories();
    void deleteSelectedRows(QTableView *view, const QString &from);
    void keepOneSalesSelection();
    // Opens the workbook at `path` (in the temporary folder) with the desktop's program; without one, asks
    // where to keep it (remembered under `key`) and has `write` write it there.
    void openInSpreadsheet(const QString &path, const char *key,
                           const std::function<bool(const QString &, QString *)> &write);
    bool beginPrinting(QPainter &painter);
    // The file a printout into a file is offered as: "sales-2025-01-31.pdf".
    static QString printName(const QString &what, const QDateTime &time);
    void databaseWriteRefused();
    void askToSelect();
    static void showError(const QString &text);
    static bool hasSelection(const QTableView *view);

    Ui::MainWindow *ui = nullptr;
    QPrinter *printer = nullptr;
    TillPanel *tillPanel = nullptr;
    // When the count in progress was counted up; the user may correct it.
    QDateTimeEdit *countEndEdit = nullptr;
    QLabel *countEndLabel = nullptr;
    HistoryPage *historyPage = nullptr;
    ChainPage *chainPage = nullptr;
    StoreSync *storeSync = nullptr;
    PasswordStore *passwords = nullptr;
    QLabel *storeStatus = nullptr;
    int lastSlot = 0;
    InventoryBottleList currentList;
    InventoryBottleList lastLists[3];
    InventoryBottleList *shownOverview = nullptr;
    int lastAddedItemRow = -1;
    Communication *communication = nullptr;
    StationSession *session = nullptr;
    Database *database = nullptr;
    ProgressDialog *progressDialog = nullptr;
    QNetworkAccessManager *networkManager = nullptr;
    DiffDatabase *diffDatabase = nullptr;
    QList<Bottle> savedCatalogue;
    QByteArray savedCatalogueContent;

    Inventory inventory;
    ItemInventory itemInventory;
    Inventory oldInventory;
    ItemInventory oldItems;
    TillPanel *oldTillPanel = nullptr;
    QAbstractProxyModel *oldInventoryShown = nullptr;
    QAbstractProxyModel *oldItemsShown = nullptr;
    // What the sales page showed before the old count, to be shown again.
    QAbstractItemModel *liveInventoryShown = nullptr;
    QAbstractItemModel *liveItemsShown = nullptr;
    bool liveItemsOpen = false;
    // From Stock of the count in progress as the store's issues filled it, per row: a value the user typed
    // in its place is theirs and never filled over.
    QHash<QString, double> stockFilled;
    // Fills From Stock; what the status line says of it, empty when there was nothing to fill.
    QString fillFromIssues();
    QMenu currencyMenu;
    QMenu stockMenu;
    QMenu finalMenu;
    // Menu entries and the buttons they click.
    QList<QPair<QAction *, QList<QPushButton *>>> buttonActions;
    QList<Bottle> stationCatalogue;
    bool readingStationCatalogue = false;
    bool firstStart = false;
    // Doubts found while the progress overlay was up, shown once it has gone.
    QStringList pendingDoubts;
};
