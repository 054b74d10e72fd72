// The shared store at a chain's size: ten bars with 120 counts of 500 bottles each, on a cluster made for
// the run (as the store tests make theirs). Times the first sync of a bar, a sync with one new count, and
// reading every bar's counts for the chain view. Figures: docs/testing.md.
#include "pgserver.h"

#include "history.h"
#include "inventory.h"
#include "iteminventory.h"
#include "store.h"
#include "tablefile.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>

namespace {
constexpr int bars = 10;
constexpr int countsPerBar = 120;
constexpr int bottlesPerCount = 500;

QByteArray countDocument(int bar, int n)
{
    Inventory inventory;
    for (int i = 0; i < bottlesPerCount; ++i) {
        SalesRow row;
        row.ean = QStringLiteral("859%1").arg(i, 10, 10, QLatin1Char('0'));
        row.name = QStringLiteral("Bottle %1").arg(i);
        row.sellUnit = 40;
        row.pricePerUnit = 30 + i % 50;
        row.initialQuantity = 700 + (n * 7 + i) % 300;
        row.measuredValue = 400 + (n * 13 + i + bar) % 300;
        row.bottleVolume = 700;
        inventory.rows.append(row);
    }
    inventory.counter = quint32(n + 1);
    inventory.timeStart = QDateTime::fromMSecsSinceEpoch(1600000000000 + qint64(n) * 86400000);
    inventory.timeEnd = inventory.timeStart.addDays(1);
    inventory.calculate();
    ItemInventory items;
    return TableFile::gather(inventory, items).bytes();
}
} // namespace

class bench_Store : public QObject
{
    Q_OBJECT

private slots:
    void chain();
};

void bench_Store::chain()
{
    if (PgServer::binaries().isEmpty() || !QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        QSKIP("No PostgreSQL server or Qt SQL driver installed.");
    PgServer server;
    QString error;
    QVERIFY2(server.start(&error), qPrintable(error));
    QVERIFY2(server.admin({QStringLiteral("CREATE ROLE bench_owner LOGIN PASSWORD 'pw'"),
                           QStringLiteral("CREATE DATABASE bench OWNER bench_owner")},
                          &error),
             qPrintable(error));
    Store::ConnectionInfo info;
    QVERIFY(Store::ConnectionInfo::parse(server.uri(QStringLiteral("bench_owner"), QStringLiteral("pw"),
                                                    QStringLiteral("bench")),
                                         &info, &error));
    QTemporaryDir tmp;
    QList<qint64> firstSyncs;
    QList<qint64> oneNew;
    for (int bar = 0; bar < bars; ++bar) {
        const QString folder = tmp.filePath(QStringLiteral("bar%1").arg(bar));
        QDir().mkpath(folder);
        for (int n = 0; n < countsPerBar; ++n)
            QVERIFY(History::keep(folder, countDocument(bar, n)));
        Store::Connection connection;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(connection.open(info).ok());
        const Store::SyncReport first = Store::sync(connection, folder, QStringLiteral("Bar %1").arg(bar));
        firstSyncs.append(timer.elapsed());
        QVERIFY2(first.outcome.ok(), qPrintable(first.outcome.reason));
        QCOMPARE(first.sentCounts.size(), countsPerBar);
        QVERIFY(History::keep(folder, countDocument(bar, countsPerBar)));
        timer.restart();
        const Store::SyncReport next = Store::sync(connection, folder);
        oneNew.append(timer.elapsed());
        QCOMPARE(next.sentCounts.size(), 1);
    }
    Store::Connection owner;
    QVERIFY(owner.open(info).ok());
    QElapsedTimer timer;
    timer.start();
    QList<Store::BarCounts> chain;
    QVERIFY(Store::chain(owner, &chain).ok());
    const qint64 chainMs = timer.elapsed();
    QCOMPARE(chain.size(), bars);
    QCOMPARE(chain.first().counts.size(), countsPerBar + 1);
    timer.restart();
    QVERIFY(Store::chain(owner, &chain, Store::ChainDetail::Documents).ok());
    const qint64 documentsMs = timer.elapsed();
    std::sort(firstSyncs.begin(), firstSyncs.end());
    std::sort(oneNew.begin(), oneNew.end());
    std::printf("first sync of a bar (%d counts of %d bottles): median %lld ms, slowest %lld ms\n",
                countsPerBar, bottlesPerCount, firstSyncs.at(bars / 2), firstSyncs.last());
    std::printf("sync with one new count: median %lld ms, slowest %lld ms\n", oneNew.at(bars / 2), oneNew.last());
    std::printf("chain view's data (%d bars, %d counts): %lld ms; every document parsed: %lld ms\n", bars,
                bars * (countsPerBar + 1), chainMs, documentsMs);
}

QTEST_GUILESS_MAIN(bench_Store)
#include "bench_store.moc"
