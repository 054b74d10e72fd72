#include "history.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "tablefile.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// Every saved table is kept in the history in count order; older table files can be taken in.
class tst_History : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void savesKeepCopiesInCountOrder();
    void importSkipsDamagedFiles();

private:
    // Saves a count ending at `end` whose rum sold `sold` ml at 1 a centilitre; `lastCopy` as the window
    // gives it, or empty as quarmelctl --save does.
    QByteArray save(const QString &file, const QString &lastCopy, const QDateTime &end, qint64 sold);

    std::unique_ptr<QTemporaryDir> tmp;
    QString data;
    Inventory inventory;
    ItemInventory items;
};

void tst_History::init()
{
    tmp.reset(new QTemporaryDir);
    QVERIFY(tmp->isValid());
    data = tmp->filePath(QStringLiteral("data"));
    QVERIFY(QDir().mkpath(data));
    inventory.counter = 0;
}

QByteArray tst_History::save(const QString &file, const QString &lastCopy, const QDateTime &end, qint64 sold)
{
    OverviewRow rum;
    rum.ean = QStringLiteral("111");
    rum.name = QStringLiteral("Rum");
    rum.volume = 1000;
    TableFile::open(inventory, items, {rum}, QString());
    inventory.rows[0].sellUnit = 10;
    inventory.rows[0].pricePerUnit = 1;
    inventory.rows[0].initialQuantity = sold;
    inventory.calculate();
    inventory.timeStart = end.addMonths(-1);
    inventory.timeEnd = end;
    QString reason;
    if (!TableFile::save(inventory, items, file, lastCopy, &reason))
        qWarning("save failed: %s", qPrintable(reason));
    return TestSupport::readFile(file);
}

void tst_History::savesKeepCopiesInCountOrder()
{
    // Given: ten monthly counts, so that table 10 follows table 9, across a new year
    const QString lastCopy = QDir(data).filePath(QStringLiteral("lastInventory.inv"));
    const QDateTime first(QDate(2025, 4, 30), QTime(23, 30));
    QList<QByteArray> saved;

    // When
    for (int month = 0; month < 10; ++month)
        saved.append(save(tmp->filePath(QStringLiteral("table.inv")), lastCopy, first.addMonths(month),
                          100 * (month + 1)));

    // Then: the names sort as the counts, each copy is the saved table byte for byte
    const QStringList names = QDir(History::folder(data)).entryList(QDir::Files, QDir::Name);
    QCOMPARE(names.size(), 10);
    QCOMPARE(names.first(), History::fileName(first, 1));
    QVERIFY(names.last().endsWith(QLatin1String("-0000000010.inv")));
    const QList<History::Count> counts = History::list(data);
    QCOMPARE(counts.size(), 10);
    for (int i = 0; i < counts.size(); ++i) {
        QVERIFY(!counts.at(i).damaged);
        QCOMPARE(counts.at(i).counter, quint32(i + 1));
        QCOMPARE(counts.at(i).to, first.addMonths(i));
        QCOMPARE(counts.at(i).from, first.addMonths(i - 1));
        QCOMPARE(counts.at(i).alcohol, 10.0 * (i + 1));
        QCOMPARE(TestSupport::readFile(counts.at(i).path), saved.at(i));
    }
    QCOMPARE(History::soldPerCount(counts, QStringLiteral("111")).last(), qint64(1000));
    QCOMPARE(History::soldPerCount(counts, QStringLiteral("999")), QList<qint64>() << 0 << 0 << 0 << 0 << 0
                                                                             << 0 << 0 << 0 << 0 << 0);
    // Same period end: the number decides, with fixed width so that 9 sorts before 10.
    QVERIFY(History::fileName(first, 9) < History::fileName(first, 10));
    QVERIFY(History::fileName(first, 4000000000u) < History::fileName(first.addSecs(1), 1));
}

void tst_History::importSkipsDamagedFiles()
{
    // Given: a folder an owner kept, with two tables (the later one saved first), an overview and a broken
    // file; and the history already holding something that is not a table
    const QString kept = tmp->filePath(QStringLiteral("kept"));
    QVERIFY(QDir().mkpath(kept));
    const QDateTime end(QDate(2026, 1, 15), QTime(22, 0));
    inventory.counter = 6;
    save(QDir(kept).filePath(QStringLiteral("b.inv")), QString(), end.addMonths(1), 500);
    inventory.counter = 4;
    save(QDir(kept).filePath(QStringLiteral("a.inv")), QString(), end, 250);
    QVERIFY(TestSupport::writeFile(QDir(kept).filePath(QStringLiteral("c.inv")),
                                   "<inventoryOverview><bottle ean=\"1\"><weight>5</weight></bottle>"
                                   "</inventoryOverview>"));
    QVERIFY(TestSupport::writeFile(QDir(kept).filePath(QStringLiteral("d.inv")), "<inventory><counter>"));
    QVERIFY(QDir(History::folder(data)).exists() || QDir().mkpath(History::folder(data)));
    QVERIFY(TestSupport::writeFile(QDir(History::folder(data)).filePath(QStringLiteral("0-broken.inv")),
                                   "not xml"));
    QVERIFY(!QFile::exists(QDir(data).filePath(QStringLiteral("lastInventory.inv"))));

    // When
    const History::Imported imported = History::importFolder(data, kept);
    const TestSupport::ToolRun run = TestSupport::runTool(QStringLiteral(QUARMELCTL_PATH),
                                                          {QStringLiteral("history"), data});

    // Then
    QCOMPARE(imported.added, QStringList() << "a.inv" << "b.inv");
    QCOMPARE(imported.damaged, QStringList() << "c.inv" << "d.inv");
    const QList<History::Count> counts = History::list(data);
    QCOMPARE(counts.size(), 3);
    QVERIFY(counts.at(0).damaged);
    QCOMPARE(counts.at(1).counter, quint32(5));
    QCOMPARE(counts.at(2).counter, quint32(7));
    QCOMPARE(run.code, 0);
    QCOMPARE(QString::fromUtf8(run.out).split(QLatin1Char('\n')),
             QStringList() << "Table;From;To;Alcohol Sales;Other Items;Total Sales"
                           << QStringLiteral("5;%1;%2;25.00;0.00;25.00")
                                  .arg(History::shownTime(end.addMonths(-1)), History::shownTime(end))
                           << QStringLiteral("7;%1;%2;50.00;0.00;50.00")
                                  .arg(History::shownTime(end), History::shownTime(end.addMonths(1)))
                           << "");
    QVERIFY2(run.err.contains("0-broken.inv: damaged"), run.err.constData());
}

QTEST_GUILESS_MAIN(tst_History)
#include "tst_history.moc"
