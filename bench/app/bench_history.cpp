#include "history.h"
#include "historymodel.h"
#include "historypage.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// Ten years of monthly counts of a bar with 500 bottles: the history page must open without a wait.
class bench_History : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readHistory();
    void openPage();

private:
    QTemporaryDir tmp;
};

void bench_History::initTestCase()
{
    QVERIFY(tmp.isValid());
    const QDateTime first(QDate(2017, 1, 31), QTime(23, 0));
    for (int month = 0; month < 120; ++month) {
        QByteArray xml = "<?xml version=\"1.0\"?>\n<inventory>\n<timeStart>" +
                         QByteArray::number(first.addMonths(month - 1).toMSecsSinceEpoch()) +
                         "</timeStart>\n<timeEnd>" +
                         QByteArray::number(first.addMonths(month).toMSecsSinceEpoch()) +
                         "</timeEnd>\n<counter>" + QByteArray::number(month + 1) + "</counter>\n";
        for (int i = 0; i < 500; ++i) {
            xml += "<bottle ean=\"859" + QByteArray::number(1000000000 + i) + "\">\n<name>Bottle " +
                   QByteArray::number(i) +
                   "</name>\n<sellUnit>40</sellUnit>\n<pricePerUnit>35</pricePerUnit>\n"
                   "<initialQuantity>700</initialQuantity>\n<fromStock>0</fromStock>\n"
                   "<measuredValue>350</measuredValue>\n<residualBottlesVolume>0</residualBottlesVolume>\n"
                   "<finalQuantity>350</finalQuantity>\n<soldQuantity>350</soldQuantity>\n"
                   "<totalAmount>306.25</totalAmount>\n</bottle>\n";
        }
        xml += "</inventory>\n";
        QVERIFY(History::keep(tmp.path(), xml));
    }
}

void bench_History::readHistory()
{
    int counts = 0;
    QBENCHMARK {
        counts = History::list(tmp.path()).size();
    }
    QCOMPARE(counts, 120);
}

void bench_History::openPage()
{
    int rows = 0;
    QBENCHMARK {
        HistoryPage page(nullptr);
        page.load(tmp.path());
        page.show();
        QCoreApplication::processEvents();
        rows = page.model()->rowCount();
    }
    QCOMPARE(rows, 120);
}

QTEST_MAIN(bench_History)
#include "bench_history.moc"
