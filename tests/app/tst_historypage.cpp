#include "costs.h"
#include "countdocument.h"
#include "history.h"
#include "historymodel.h"
#include "historypage.h"
#include "interaction.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "settings.h"
#include "tablefile.h"
#include "testsupport.h"
#include "tillsales.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
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
    // Given: three monthly counts of two bottles saved the window's way, the last two with the till's
    // figures, and a damaged file in the history
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
        // The till rang up 45 and 70 portions of rum (5 short each time), and 1 gin for 3 (2 too much)
        TillFigures till;
        till.hasQuantities = true;
        TillLine rumSold;
        rumSold.code = QStringLiteral("111");
        rumSold.quantity = month == 1 ? 45 : 70;
        rumSold.amount = 2 * rumSold.quantity;
        till.lines.append(rumSold);
        if (month == 2) {
            TillLine ginSold;
            ginSold.code = QStringLiteral("222");
            ginSold.quantity = 1;
            ginSold.amount = 3;
            till.lines.append(ginSold);
        }
        QVERIFY(TableFile::save(inventory, items, tmp.filePath(QStringLiteral("t.inv")), lastCopy, nullptr,
                                month == 0 ? nullptr : &till));
    }
    QVERIFY(TestSupport::writeFile(
        QDir(History::folder(tmp.path())).filePath(QStringLiteral("99999999-000000-0000000000.inv")), "<x"));
    // A folder stands for a file the user may not read (the tests may run as root).
    QVERIFY(
        QDir().mkpath(QDir(History::folder(tmp.path())).filePath(QStringLiteral("99999999-000001-0.inv"))));

    // Rum in litre bottles at 10, gin in 0.7 l bottles at 7
    QVERIFY(TestSupport::writeFile(QDir(tmp.path()).filePath(CostList::fileName()), "111;10\n222;7\n"));
    const QHash<QString, quint64> volumes{{QStringLiteral("111"), 1000}, {QStringLiteral("222"), 700}};

    // When
    HistoryPage page(nullptr);
    QAbstractItemModelTester tester(page.model());
    page.load(tmp.path(), volumes);

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

    // The till variance: none for the count without till figures (empty, no point), money and portions
    // for the others, of the whole count and of a chosen bottle
    QVERIFY(page.model()->index(0, HistoryModel::VarianceColumn).data().isNull());
    QVERIFY(page.model()->index(0, HistoryModel::VarianceUnitsColumn).data().isNull());
    QCOMPARE(page.model()->index(1, HistoryModel::VarianceColumn).data().toString(), QStringLiteral("11.00"));
    QCOMPARE(page.model()->index(2, HistoryModel::VarianceUnitsColumn).data().toString(),
             QStringLiteral("5.00"));
    const auto pointsOf = [](QLineSeries *series) {
        QList<QPair<qint64, double>> points;
        for (const QPointF &point : series->points())
            points.append({qint64(point.x()), point.y()});
        return points;
    };
    const qint64 second = first.addMonths(1).toMSecsSinceEpoch();
    const qint64 third = first.addMonths(2).toMSecsSinceEpoch();
    using Points = QList<QPair<qint64, double>>;
    QCOMPARE(pointsOf(page.varianceSeries()), Points({{second, 11.0}, {third, 8.0}}));
    QCOMPARE(pointsOf(page.varianceUnitsSeries()), Points({{second, 5.0}, {third, 5.0}}));
    QVERIFY(page.chooseVarianceBottle(QStringLiteral("222")));
    QCOMPARE(pointsOf(page.varianceSeries()), Points({{third, -2.0}}));
    QCOMPARE(pointsOf(page.varianceUnitsSeries()), Points({{third, 0.0}}));
    QVERIFY(page.chooseVarianceBottle(QStringLiteral("111")));
    QCOMPARE(pointsOf(page.varianceSeries()), Points({{second, 10.0}, {third, 10.0}}));
    QCOMPARE(pointsOf(page.varianceUnitsSeries()), Points({{second, 5.0}, {third, 5.0}}));
    QVERIFY(!page.chooseVarianceBottle(QStringLiteral("333")));

    // The printout lists each count's variance and pour cost
    {
        ScriptedInteraction interaction;
        Interaction *previous = Interaction::setInstance(&interaction);
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(tmp.filePath(QStringLiteral("history.pdf")));
        setRememberedFolder(QLatin1String(RememberedFolder::printPath), tmp.path()); // offered by the dialog
        HistoryPage printing(&printer);
        printing.load(tmp.path(), volumes);
        interaction.printAnswers = {true};
        printing.findChild<QPushButton *>(QStringLiteral("pbHistoryPrint"))->click();
        Interaction::setInstance(previous);
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), printer.outputFileName(),
                                                      QStringLiteral("-")});
        QVERIFY2(pdftotext.waitForFinished(60000), "pdftotext (poppler-utils) did not run");
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
        QVERIFY2(text.contains(QStringLiteral("101.00 CZK 11.00 5.00")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("151.00 CZK 8.00 5.00 30.40 20.13 %")), qPrintable(text));
    }

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

    // The pour cost: 1, 2 and 3 l of rum with 0.04 l of gin, for 51, 101 and 151; charted on a tab of its
    // own, and the list sorted by it opens the count of the lowest first
    QCOMPARE(page.model()->index(0, HistoryModel::CostOfGoodsColumn).data().toString(), QStringLiteral("10.40"));
    QCOMPARE(page.model()->index(2, HistoryModel::PourCostColumn).data().toString(), QStringLiteral("20.13 %"));
    const QList<QPointF> pour = page.pourCostSeries()->points();
    QCOMPARE(pour.size(), 3);
    QCOMPARE(pour.at(1).y(), 20.4 / 101 * 100);
    auto *charts = page.findChild<QTabWidget *>(QStringLiteral("twHistoryCharts"));
    QCOMPARE(charts->tabText(2), QStringLiteral("Pour Cost"));
    QCOMPARE(charts->widget(2)->accessibleName(), QStringLiteral("Pour cost per period"));
    list->sortByColumn(HistoryModel::PourCostColumn, Qt::AscendingOrder);
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(chosen.size(), 3);
    QVERIFY(CountDocument::read(chosen.at(2).at(0).toString(), &opened).ok());
    QCOMPARE(opened.counter, quint32(3));
    // The highest first, with the damaged files (no figure) still last
    list->sortByColumn(HistoryModel::PourCostColumn, Qt::DescendingOrder);
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(chosen.size(), 4);
    QVERIFY(CountDocument::read(chosen.at(3).at(0).toString(), &opened).ok());
    QCOMPARE(opened.counter, quint32(1));
    QVERIFY(list->model()->index(4, HistoryModel::PourCostColumn).data(HistoryModel::SortRole).isNull());
}

QTEST_MAIN(tst_HistoryPage)
#include "tst_historypage.moc"
