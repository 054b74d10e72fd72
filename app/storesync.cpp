#include "storesync.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QPair>
#include <QTime>
#include <QtConcurrent/QtConcurrentRun>

Q_LOGGING_CATEGORY(lcStoreSync, "storesync")

StoreSync::StoreSync(const QString &dataFolder, QObject *parent) : QObject(parent), folder(dataFolder)
{
    connect(&syncWatcher, &QFutureWatcher<Store::SyncReport>::finished, this, [this] {
        const Store::SyncReport report = syncWatcher.result();
        if (!report.outcome.ok())
            qCDebug(lcStoreSync, "Sync ended: %s", qUtf8Printable(report.outcome.reason));
        emit syncFinished(report);
        if (pending) {
            pending = false;
            start();
        }
    });
    connect(&testWatcher, &QFutureWatcher<QPair<Store::Outcome, QString>>::finished, this, [this] {
        const auto result = testWatcher.result();
        emit tested(result.first, result.second);
    });
    connect(&chainWatcher, &QFutureWatcher<ChainData>::finished, this, [this] {
        const ChainData result = chainWatcher.result();
        emit chainRead(result.outcome, result.bars, result.costs, result.volumes);
    });
}

StoreSync::~StoreSync()
{
    // The workers write into the data folder; the program must not end under them.
    wait();
}

void StoreSync::wait()
{
    syncWatcher.waitForFinished();
    testWatcher.waitForFinished();
    chainWatcher.waitForFinished();
}

void StoreSync::setConnection(const ServerConnection &server, const QString &secret)
{
    connection = server;
    password = secret;
}

bool StoreSync::isRunning() const
{
    return syncWatcher.isRunning();
}

void StoreSync::request(const QList<Store::Resolution> &resolutions)
{
    if (!isConfigured())
        return;
    pendingResolutions.append(resolutions);
    if (isRunning()) {
        pending = true;
        return;
    }
    start();
}

void StoreSync::start()
{
    const Store::ConnectionInfo info = connection.info(password);
    const QString dataFolder = folder;
    Store::SyncOptions options;
    options.resolutions = pendingResolutions;
    pendingResolutions.clear();
    emit syncStarted();
    syncWatcher.setFuture(QtConcurrent::run([info, dataFolder, options] {
        Store::Connection store;
        const Store::Outcome opened = store.open(info);
        if (!opened.ok()) {
            Store::SyncReport report;
            report.outcome = opened;
            return report;
        }
        return Store::sync(store, dataFolder, QString(), options);
    }));
}

void StoreSync::test(const ServerConnection &server, const QString &secret)
{
    const Store::ConnectionInfo info = server.info(secret);
    testWatcher.setFuture(QtConcurrent::run([info] {
        Store::Connection store;
        const Store::Outcome opened = store.open(info);
        return qMakePair(opened, opened.ok() ? store.loginBar() : QString());
    }));
}

void StoreSync::readChain()
{
    const Store::ConnectionInfo info = connection.info(password);
    chainWatcher.setFuture(QtConcurrent::run([info] {
        ChainData data;
        Store::Connection store;
        data.outcome = store.open(info);
        if (data.outcome.ok())
            data.outcome = Store::chain(store, &data.bars);
        // Without costs the pour cost stays empty; the takings are worth showing all the same.
        if (data.outcome.ok() && !Store::chainCosts(store, &data.costs, &data.volumes).ok()) {
            data.costs.clear();
            data.volumes.clear();
        }
        return data;
    }));
}

QString StoreSync::statusText(const Store::SyncReport &report)
{
    const QTime now = QTime::currentTime();
    const QString at = now.toString(QStringLiteral("HH:mm"));
    if (report.barMissing)
        return tr("Server: name the bar this computer counts for in Settings... on the home page.");
    switch (report.outcome.result) {
    case Store::Result::Ok:
        if (!report.repeatedNumbers.isEmpty())
            return tr("Server: %1 counts sent, %2 fetched at %3; %4 of the sent tables have a number another "
                      "computer of the bar used before the two were joined (both are kept).")
                .arg(report.sentCounts.size())
                .arg(report.fetchedCounts.size())
                .arg(at)
                .arg(report.repeatedNumbers.size());
        if (report.sentCounts.isEmpty() && report.fetchedCounts.isEmpty())
            return tr("Server: up to date at %1.").arg(at);
        return tr("Server: %1 counts sent, %2 fetched at %3.")
            .arg(report.sentCounts.size())
            .arg(report.fetchedCounts.size())
            .arg(at);
    case Store::Result::NotConfigured:
        return QString();
    case Store::Result::Unreachable:
        return tr("Server not reachable at %1: the saves are kept here and sent later.").arg(at);
    case Store::Result::Refused:
        return tr("Server refused the login at %1: %2").arg(at, report.outcome.reason);
    case Store::Result::Conflict:
        return tr("Server: %1 rows changed here and on the server at %2; nothing was overwritten.")
            .arg(report.conflicts.size())
            .arg(at);
    case Store::Result::Failed:
        break;
    }
    return tr("Server sync failed at %1: %2").arg(at, report.outcome.reason);
}

QString StoreSync::conflictText(const Store::Conflict &conflict)
{
    QString kind;
    switch (conflict.kind) {
    case Store::Kind::Catalogue:
        kind = tr("Catalogue row %1").arg(conflict.key);
        break;
    case Store::Kind::TillMatch:
        kind = tr("Till match of %1").arg(conflict.key);
        break;
    case Store::Kind::Cost:
        kind = tr("Cost of %1").arg(conflict.key);
        break;
    }
    const QString deleted = tr("(deleted)");
    const QString by = conflict.serverBy.isEmpty() ? conflict.serverMachine : conflict.serverBy;
    return tr("%1 was changed on this computer and on the server.\n\nThis computer: %2\nServer (%3, %4): %5")
        .arg(kind, conflict.localText.isEmpty() ? deleted : conflict.localText, by,
             conflict.serverAt.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm")),
             conflict.serverText.isEmpty() ? deleted : conflict.serverText);
}
