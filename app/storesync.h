#pragma once

#include "serverconnection.h"
#include "store.h"

#include <QFutureWatcher>
#include <QObject>

// The window's way to the shared store. Every call to the server runs in a worker thread (each with its
// own connection, as Qt SQL wants), so a slow or lost server never holds up the window; the results come
// back by signal in the window's thread. Saves made while the server cannot be reached wait in the data
// folder, and the next sync, at the next save or start, sends them.
class StoreSync : public QObject
{
    Q_OBJECT

public:
    explicit StoreSync(const QString &dataFolder, QObject *parent = nullptr);
    ~StoreSync() override;

    // No sync without a connection; a password of an empty text connects without one.
    void setConnection(const ServerConnection &connection, const QString &password);
    bool isConfigured() const { return connection.isSet(); }
    ServerConnection server() const { return connection; }

    // Sends and fetches now. A request while a sync runs is done once it ends, so that a save made
    // meanwhile is sent too. `resolutions` answers the conflicts of the last sync.
    void request(const QList<Store::Resolution> &resolutions = {});
    bool isRunning() const;

    // Connects to `connection` once (in a worker) and reports the login's bar through tested.
    void test(const ServerConnection &connection, const QString &password);
    // Fetches every bar the login may read, for the chain view, through chainRead.
    void readChain();

    // One line for the window's status bar on how a sync ended.
    static QString statusText(const Store::SyncReport &report);
    // The conflicting values of one row as the user is asked about them.
    static QString conflictText(const Store::Conflict &conflict);

    // Blocks until running work ends (tests, the end of the program).
    void wait();

signals:
    void syncStarted();
    void syncFinished(const Store::SyncReport &report);
    void tested(const Store::Outcome &outcome, const QString &loginBar);
    // `costs` is empty when the costs could not be read; the counts still are shown.
    void chainRead(const Store::Outcome &outcome, const QList<Store::BarCounts> &bars,
                   const QHash<QString, CostList> &costs, const QHash<QString, quint64> &volumes);

private:
    void start();

    QString folder;
    ServerConnection connection;
    QString password;
    bool pending = false;
    QList<Store::Resolution> pendingResolutions;
    QFutureWatcher<Store::SyncReport> syncWatcher;
    QFutureWatcher<QPair<Store::Outcome, QString>> testWatcher;
    struct ChainData
    {
        Store::Outcome outcome;
        QList<Store::BarCounts> bars;
        QHash<QString, CostList> costs;
        QHash<QString, quint64> volumes;
    };
    QFutureWatcher<ChainData> chainWatcher;
};
