#include "countdocument.h"
#include "history.h"
#include "historymodel.h"
#include "historypage.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "tablefile.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtCharts/QLineSeries>
#include <QTableView>
#include <QtTest>

// The history page lists the saved counts, charts them, and hands a chosen count over to be shown.
class tst_HistoryPage : public QObject
{
    Q_OBJECT

private slots:
    void chartsAndOldCount();
};

void tst_HistoryPage::chartsAndOldCount()
{
    // Given: three monthly counts of two bottles saved the window's way, and a damaged file in the history
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString lastCopy = tmp.filePath(QStringLiteral("lastInventory.inv"));
    Inventory inventory;
    ItemInventory items;
    const QDateTime first(QDate(2026, 1, 10), QTime(3, 0));
    for (int month = 0; month < 3; ++month) {
        OverviewRow rum;
        rum.ean = QStringLiteral("111");
        rum.name = QStringLiteral("Rum");
        OverviewRow gin = rum;
        gin.ean = QStringLiteral("222");
        gin.name = QStringLiteral("Gin");
        TableFile::open(inventory, items, {rum, gin}, QString());
        inventory.opening = false; // sales periods, though no last table is given here
        inventory.rows[0].initialQuantity = 1000 * (month + 1); // Rum sells 1, 2, 3 l at 2 per 0.04 l
        inventory.rows[0].sellUnit = 40;
        inventory.rows[0].pricePerUnit = 2;
        inventory.rows[1].initialQuantity = 40;
        inventory.rows[1].sellUnit = 40;
        inventory.rows[1].pricePerUnit = 1;
        inventory.calculate();
        inventory.timeEnd = first.addMonths(month);
        QVERIFY(TableFile::save(inventory, items, tmp.filePath(QStringLiteral("t.inv")), lastCopy));
    }
    QVERIFY(TestSupport::writeFile(
        QDir(History::folder(tmp.path())).filePath(QStringLiteral("99999999-000000-0000000000.inv")), "<x"));
    // A folder stands for a file the user may not read (the tests may run as root).
    QVERIFY(
        QDir().mkpath(QDir(History::folder(tmp.path())).filePath(QStringLiteral("99999999-000001-0.inv"))));

    // When
    HistoryPage page(nullptr);
    QAbstractItemModelTester tester(page.model());
    page.load(tmp.path());

    // Then: the list holds all five, the totals chart the three good ones in order
    QCOMPARE(page.model()->rowCount(), 5);
    QCOMPARE(page.model()->index(3, HistoryModel::FromColumn).data().toString(),
             QStringLiteral("Damaged: 99999999-000000-0000000000.inv"));
    QVERIFY(page.model()
                ->index(4, HistoryModel::FromColumn)
                .data()
                .toString()
                .startsWith(QStringLiteral("Cannot be read: 99999999-000001-0.inv (")));
    QCOMPARE(page.model()->index(1, HistoryModel::TotalColumn).data().toString(), QStringLiteral("101.00"));
    const QList<QPointF> totals = page.totalsSeries()->points();
    QCOMPARE(totals.size(), 3);
    for (int month = 0; month < 3; ++month) {
        QCOMPARE(qint64(totals.at(month).x()), first.addMonths(month).toMSecsSinceEpoch());
        QCOMPARE(totals.at(month).y(), 50.0 * (month + 1) + 1);
    }
    // The bottle chart: sold litres per period of the chosen bottle
    QVERIFY(page.chooseBottle(QStringLiteral("111")));
    QCOMPARE(page.bottleSeries()->points().size(), 3);
    QCOMPARE(page.bottleSeries()->points().at(2).y(), 3.0);
    QVERIFY(page.chooseBottle(QStringLiteral("222")));
    QCOMPARE(page.bottleSeries()->points().at(0).y(), 0.04);
    QVERIFY(!page.chooseBottle(QStringLiteral("333")));

    // A chosen count goes to the sales page by its file; a damaged one is not offered
    QSignalSpy chosen(&page, &HistoryPage::countChosen);
    QVERIFY(page.openCount(1));
    QCOMPARE(chosen.size(), 1);
    CountDocument opened;
    QVERIFY(CountDocument::read(chosen.at(0).at(0).toString(), &opened).ok());
    QCOMPARE(opened.counter, quint32(2));
    QVERIFY(!page.openCount(3));
    QCOMPARE(chosen.size(), 1);
    // Enter on the list opens the count, once
    auto *list = page.findChild<QTableView *>();
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(chosen.size(), 2);
}

QTEST_MAIN(tst_HistoryPage)
#include "tst_historypage.moc"
