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
    void openPageWithoutIndex();

private:
    int openedRows();

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
    // Counts kept months ago, as an owner opening the page has them, not ones written a moment ago.
    const QDir history(History::folder(tmp.path()));
    for (const QString &name : history.entryList({QStringLiteral("*.inv")}, QDir::Files)) {
        QFile file(history.filePath(name));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(
            file.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
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

int bench_History::openedRows()
{
    HistoryPage page(nullptr);
    page.load(tmp.path());
    page.show();
    QCoreApplication::processEvents();
    return page.model()->rowCount();
}

void bench_History::openPage()
{
    int rows = 0;
    QBENCHMARK {
        rows = openedRows();
    }
    QCOMPARE(rows, 120);
}

// The first opening after the index was lost (or before there was one): every count is read whole.
void bench_History::openPageWithoutIndex()
{
    const QString index = QDir(History::folder(tmp.path())).filePath(QStringLiteral(".index"));
    int rows = 0;
    QBENCHMARK {
        QFile::remove(index);
        rows = openedRows();
    }
    QCOMPARE(rows, 120);
    QVERIFY(QFile::exists(index));
}

QTEST_MAIN(bench_History)
#include "bench_history.moc"
