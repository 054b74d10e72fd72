#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "tablefile.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
OverviewRow overviewRow(const QString &ean, const QString &name, qint64 residue)
{
    OverviewRow row;
    row.ean = ean;
    row.name = name;
    row.residue = residue;
    row.volume = 700;
    return row;
}

} // namespace

class tst_TableFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void documentLayout();
    void roundTripByteForByte();
    void nextTableContinuesFromTheLast();
    void numbersInGeneralFormat_data();
    void numbersInGeneralFormat();
    void importResults_data();
    void importResults();
    void failedCopyKeepsTheTablesUnsaved();

private:
    void fill();

    QTemporaryDir tmp;
    Inventory *inventory = nullptr;
    ItemInventory *items = nullptr;
};

void tst_TableFile::init()
{
    inventory = new Inventory;
    items = new ItemInventory;
}

void tst_TableFile::cleanup()
{
    delete inventory;
    delete items;
}

void tst_TableFile::fill()
{
    inventory->loadFromOverview({overviewRow("1", "Gin", 350), overviewRow("C2", "House & <mix>", 100)});
    inventory->rows[0].residualBottlesVolume = 700;
    inventory->rows[0].initialQuantity = 2100;
    inventory->rows[0].fromStock = 700;
    inventory->rows[0].pricePerUnit = 25;
    inventory->rows[1].pricePerUnit = 12.5;
    inventory->calculate();
    items->insertRows(0, 1);
    const QList<QVariant> water{"Water", 1, 30, 24, 12, 10};
    for (int i = 0; i < water.size(); ++i)
        items->setData(items->index(0, i), water.at(i));
}

void tst_TableFile::documentLayout()
{
    fill();
    inventory->timeStart = QDateTime::fromMSecsSinceEpoch(1600000000000);
    inventory->timeEnd = QDateTime::fromMSecsSinceEpoch(1600000123456);
    inventory->counter = 6;
    const QByteArray bytes = TableFile::document(*inventory, *items);
    QCOMPARE(inventory->counter, 7u);
    QCOMPARE(bytes, QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<inventory>\n"
                               "    <timeStart>1600000000000</timeStart>\n"
                               "    <timeEnd>1600000123456</timeEnd>\n"
                               "    <counter>7</counter>\n"
                               "    <bottle ean=\"1\">\n"
                               "        <name>Gin</name>\n"
                               "        <sellUnit>40</sellUnit>\n"
                               "        <pricePerUnit>25</pricePerUnit>\n"
                               "        <initialQuantity>2100</initialQuantity>\n"
                               "        <fromStock>700</fromStock>\n"
                               "        <measuredValue>350</measuredValue>\n"
                               "        <residualBottlesVolume>700</residualBottlesVolume>\n"
                               "        <finalQuantity>1050</finalQuantity>\n"
                               "        <soldQuantity>1750</soldQuantity>\n"
                               "        <totalAmount>1093.75</totalAmount>\n"
                               "    </bottle>\n"
                               "    <bottle ean=\"C2\">\n"
                               "        <name>House &amp; &lt;mix&gt;</name>\n"
                               "        <sellUnit>40</sellUnit>\n"
                               "        <pricePerUnit>12.5</pricePerUnit>\n"
                               "        <initialQuantity>0</initialQuantity>\n"
                               "        <fromStock>0</fromStock>\n"
                               "        <measuredValue>100</measuredValue>\n"
                               "        <residualBottlesVolume>0</residualBottlesVolume>\n"
                               "        <finalQuantity>100</finalQuantity>\n"
                               "        <soldQuantity>-100</soldQuantity>\n"
                               "        <totalAmount>-31.25</totalAmount>\n"
                               "    </bottle>\n"
                               "    <item>\n"
                               "        <name>Water</name>\n"
                               "        <sellUnit>1</sellUnit>\n"
                               "        <pricePerUnit>30</pricePerUnit>\n"
                               "        <initialQuantity>24</initialQuantity>\n"
                               "        <fromStock>12</fromStock>\n"
                               "        <finalQuantity>10</finalQuantity>\n"
                               "        <soldQuantity>26</soldQuantity>\n"
                               "        <totalAmount>780</totalAmount>\n"
                               "    </item>\n"
                               "</inventory>\n"));
}

void tst_TableFile::roundTripByteForByte()
{
    fill();
    const QString chosen = tmp.filePath("march.inv");
    const QString last = tmp.filePath("lastInventory.inv");
    inventory->modified = true;
    QVERIFY(TableFile::save(*inventory, *items, chosen, last));
    QVERIFY(!inventory->modified);
    QVERIFY(!items->modified);
    const QByteArray first = TestSupport::readFile(chosen);
    QCOMPARE(TestSupport::readFile(last), first);

    // Read back into a table with the same rows and values, the same document comes out again.
    Inventory again;
    ItemInventory againItems;
    again.loadFromOverview({overviewRow("1", "Gin", 350), overviewRow("C2", "House & <mix>", 100)});
    QCOMPARE(again.import(chosen), Inventory::NoError);
    QCOMPARE(again.counter, 1u);
    again.counter = 0;
    again.timeStart = inventory->timeStart;
    again.timeEnd = inventory->timeEnd;
    for (int i = 0; i < again.rows.size(); ++i) {
        again.rows[i].initialQuantity = inventory->rows.at(i).initialQuantity;
        again.rows[i].fromStock = inventory->rows.at(i).fromStock;
        again.rows[i].residualBottlesVolume = inventory->rows.at(i).residualBottlesVolume;
    }
    again.calculate();
    QVERIFY(againItems.load(chosen));
    againItems.rows[0].initialQuantity = 24;
    againItems.rows[0].fromStock = 12;
    againItems.calculate();
    QCOMPARE(TableFile::document(again, againItems), first);
}

void tst_TableFile::nextTableContinuesFromTheLast()
{
    fill();
    inventory->counter = 7;
    const QString last = tmp.filePath("lastInventory.inv");
    QVERIFY(TableFile::save(*inventory, *items, tmp.filePath("t.inv"), last));
    const QDateTime endOfLast = inventory->timeEnd;

    Inventory next;
    ItemInventory nextItems;
    QAbstractItemModelTester tester(&next, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester itemTester(&nextItems, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(
        TableFile::open(next, nextItems, {overviewRow("1", "Gin", 200), overviewRow("3", "New", 500)}, last),
        TableFile::Carried::Carried);

    // The last table went out as number 8; the import takes that number and the next save raises it.
    QCOMPARE(next.counter, 8u);
    QCOMPARE(next.timeStart.toMSecsSinceEpoch(), endOfLast.toMSecsSinceEpoch());
    QCOMPARE(next.findRow("1")->initialQuantity, 1050);
    QCOMPARE(next.findRow("1")->pricePerUnit, 25.0);
    QCOMPARE(next.findRow("1")->soldQuantity, 850);
    QCOMPARE(next.findRow("3")->initialQuantity, 0);
    QVERIFY(!next.modified);
    QCOMPARE(nextItems.rows.size(), 1);
    QCOMPARE(nextItems.rows.at(0).initialQuantity, 10.0);
    QCOMPARE(nextItems.rows.at(0).pricePerUnit, 30.0);

    QVERIFY(TableFile::save(next, nextItems, tmp.filePath("t2.inv"), last));
    QCOMPARE(next.counter, 9u);
    QVERIFY(TestSupport::readFile(last).contains("<counter>9</counter>"));
}

void tst_TableFile::numbersInGeneralFormat_data()
{
    QTest::addColumn<double>("price");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("whole") << 25.0 << QByteArray("25");
    QTest::newRow("half") << 12.5 << QByteArray("12.5");
    QTest::newRow("millions") << 2500000.0 << QByteArray("2500000");
    QTest::newRow("seven digits") << 1234567.0 << QByteArray("1234567");
    QTest::newRow("cents of a large price") << 12345.67 << QByteArray("12345.67");
    QTest::newRow("small") << 0.00012 << QByteArray("0.00012");
}

void tst_TableFile::numbersInGeneralFormat()
{
    QFETCH(double, price);
    QFETCH(QByteArray, written);
    inventory->loadFromOverview({overviewRow("1", "Gin", 0)});
    inventory->rows[0].pricePerUnit = price;
    const QString file = tmp.filePath("g.inv");
    QVERIFY(TableFile::save(*inventory, *items, file, tmp.filePath("g-last.inv")));
    QVERIFY(TestSupport::readFile(file).contains("<pricePerUnit>" + written + "</pricePerUnit>"));

    Inventory back;
    back.loadFromOverview({overviewRow("1", "Gin", 0)});
    QCOMPARE(back.import(file), Inventory::NoError);
    QCOMPARE(back.rows.at(0).pricePerUnit, price);
}

void tst_TableFile::importResults_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<int>("result");
    QTest::addColumn<quint32>("counter");
    QTest::addColumn<qint64>("initial");
    QTest::addColumn<QString>("logged");

    const QByteArray head("<inventory><timeStart>1</timeStart><timeEnd>5000</timeEnd><counter>7</counter>");
    QTest::newRow("carried over")
        << head + "<bottle ean=\"1\"><finalQuantity>900</finalQuantity></bottle></inventory>"
        << int(Inventory::NoError) << 7u << 900ll << "";
    QTest::newRow("second bottle with the same EAN wins")
        << head + "<bottle ean=\"1\"><finalQuantity>900</finalQuantity></bottle>"
                  "<bottle ean=\"1\"><finalQuantity>300</finalQuantity></bottle></inventory>"
        << int(Inventory::NoError) << 7u << 300ll << "";
    QTest::newRow("EANs not in the table")
        << head + "<bottle ean=\"9\"><finalQuantity>900</finalQuantity></bottle></inventory>"
        << int(Inventory::NoError) << 7u << 0ll << "";
    QTest::newRow("bottle without EAN")
        << head + "<bottle><name>x</name></bottle></inventory>" << int(Inventory::FormatError) << 0u << 0ll
        << "error parsing XML file, no EAN found";
    QTest::newRow("overview file refused")
        << QByteArray("<inventoryOverview><time>x</time><bottle ean=\"1\"><name>Gin</name>"
                      "<measuredValue>5</measuredValue><weight>700</weight></bottle></inventoryOverview>")
        << int(Inventory::FormatError) << 0u << 0ll << "unknown XML element: weight";
    QTest::newRow("faulty bottle after a good one")
        << head + "<bottle ean=\"1\"><finalQuantity>900</finalQuantity></bottle>"
                  "<bottle ean=\"2\"><colour>red</colour></bottle></inventory>"
        << int(Inventory::FormatError) << 0u << 0ll << "unknown XML element: colour";
    // A cut or damaged file would carry the rows before the fault and start the rest at zero.
    const QString damaged = QStringLiteral("error parsing XML file: ");
    QTest::newRow("empty file") << QByteArray() << int(Inventory::FormatError) << 0u << 0ll << damaged;
    QTest::newRow("not XML") << QByteArray("EAN;weight\n1;2\n") << int(Inventory::FormatError) << 0u << 0ll
                             << damaged;
    QTest::newRow("cut off") << head + "<bottle ean=\"1\"><finalQuantity>900</finalQuantity></bottle><bot"
                             << int(Inventory::FormatError) << 0u << 0ll << damaged;
    QTest::newRow("NUL bytes") << head + QByteArray(8, '\0') << int(Inventory::FormatError) << 0u << 0ll
                               << damaged;
    QTest::newRow("counter that is not a number")
        << QByteArray("<inventory><counter>seven</counter></inventory>") << int(Inventory::NoError) << 0u
        << 0ll << "";
}

void tst_TableFile::importResults()
{
    QFETCH(QByteArray, document);
    QFETCH(int, result);
    QFETCH(quint32, counter);
    QFETCH(qint64, initial);
    QFETCH(QString, logged);

    const QString file = tmp.filePath("import.inv");
    QVERIFY(TestSupport::writeFile(file, document));
    inventory->loadFromOverview({overviewRow("1", "Gin", 0)});
    inventory->counter = 0;
    const QDateTime start = inventory->timeStart;
    inventory->modified = true;
    if (logged.endsWith(QLatin1Char(' ')))
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QLatin1Char('^') + logged));
    else if (!logged.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(logged));

    QCOMPARE(int(inventory->import(file)), result);

    QCOMPARE(inventory->counter, counter);
    QCOMPARE(inventory->rows.at(0).initialQuantity, initial);
    // Import never clears the unsaved mark: what was typed before is still unsaved.
    QVERIFY(inventory->modified);
    // A refused file changes nothing at all.
    if (result != Inventory::NoError)
        QCOMPARE(inventory->timeStart, start);
    if (document.contains("<timeEnd>5000") && result == Inventory::NoError)
        QCOMPARE(inventory->timeStart.toMSecsSinceEpoch(), 5000);
}

void tst_TableFile::failedCopyKeepsTheTablesUnsaved()
{
    fill();
    inventory->modified = true;
    items->modified = true;
    QString reason;
    QVERIFY(!TableFile::save(*inventory, *items, tmp.filePath("ok.inv"), tmp.filePath("no/such/dir/last.inv"),
                             &reason));
    QVERIFY(inventory->modified);
    QVERIFY(items->modified);
    QCOMPARE(inventory->counter, 1u);
    QVERIFY2(reason.contains(QStringLiteral("No such file or directory")), qPrintable(reason));

    inventory->modified = true;
    QCOMPARE(inventory->import(tmp.filePath("missing.inv")), Inventory::FileNotFound);
    QVERIFY(inventory->modified);
}

QTEST_MAIN(tst_TableFile)
#include "tst_tablefile.moc"
