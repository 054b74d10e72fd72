#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "history.h"
#include "settings.h"
#include "tablefile.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QXmlStreamReader>
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

// The rules every earlier copy of the program reads a table file by: start elements at any depth, whatever
// their parent; `counter`, `timeEnd` and `bottle` are taken, a bottle may hold only the known children, and
// everything else is passed over. Appended items are read the same way, by `item` and its children.
struct OlderReading
{
    bool refused = false;
    quint32 counter = 0;
    qint64 end = 0;
    QStringList rows;  // EAN:final quantity
    QStringList items; // name:final quantity
};

OlderReading readAsOlderCopies(const QByteArray &bytes)
{
    static const QStringList rowChildren{
        "name",         "sellUnit",      "pricePerUnit",          "initialQuantity",
        "fromStock",    "measuredValue", "residualBottlesVolume", "finalQuantity",
        "soldQuantity", "totalAmount"};
    OlderReading read;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        if (name == QLatin1String("counter")) {
            read.counter = xml.readElementText().toUInt();
        } else if (name == QLatin1String("timeEnd")) {
            read.end = xml.readElementText().toLongLong();
        } else if (name == QLatin1String("bottle")) {
            const QXmlStreamAttributes attributes = xml.attributes();
            if (attributes.isEmpty() || attributes.first().name() != QLatin1String("ean")) {
                read.refused = true;
                return read;
            }
            QString final;
            while (xml.readNextStartElement()) {
                const QString child = xml.name().toString();
                if (!rowChildren.contains(child)) {
                    read.refused = true;
                    return read;
                }
                const QString text = xml.readElementText();
                if (child == QLatin1String("finalQuantity"))
                    final = text;
            }
            read.rows.append(attributes.first().value().toString() + ':' + final);
        }
    }
    QXmlStreamReader itemXml(bytes);
    while (!itemXml.atEnd()) {
        if (itemXml.readNext() != QXmlStreamReader::StartElement || itemXml.name() != QLatin1String("item"))
            continue;
        QString name, final;
        while (itemXml.readNextStartElement()) {
            const QString child = itemXml.name().toString();
            const QString text = itemXml.readElementText();
            if (child == QLatin1String("name"))
                name = text;
            else if (child == QLatin1String("finalQuantity"))
                final = text;
        }
        read.items.append(name + ':' + final);
    }
    return read;
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
    void lastTableReadings_data();
    void lastTableReadings();
    void unreadableLastTableIsNoFirstCount();
    void olderReadersReadNewFilesAndBack();
    void tableNumbersAreNeverReused();
    void cutOffSaveIsFoundAtTheNextStart();
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
    inventory->counter = 7;
    const QByteArray bytes = TableFile::gather(*inventory, *items).bytes();
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
                               "    <count currency=\"CZK\"/>\n"
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

    // Read back, the same document comes out again: nothing of the count is lost or changed on the way.
    CountDocument back;
    QVERIFY(CountDocument::read(chosen, &back).ok());
    QCOMPARE(back.counter, 1u);
    QCOMPARE(back.currency, int(Settings::CZK));
    QCOMPARE(back.bytes(), first);
}

void tst_TableFile::nextTableContinuesFromTheLast()
{
    fill();
    inventory->counter = 7;
    const QString last = tmp.filePath("lastInventory.inv");
    Settings::setCurrency(Settings::EUR);
    QVERIFY(TableFile::save(*inventory, *items, tmp.filePath("t.inv"), last));
    const QDateTime endOfLast = inventory->timeEnd;
    // A new start is in crowns; the carried prices are euros, and the next count goes on in euros.
    Settings::setCurrency(Settings::CZK);

    Inventory next;
    ItemInventory nextItems;
    QAbstractItemModelTester tester(&next, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester itemTester(&nextItems, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(
        TableFile::open(next, nextItems, {overviewRow("1", "Gin", 200), overviewRow("3", "New", 500)}, last),
        TableFile::Carried::Carried);
    QCOMPARE(Settings::currency(), int(Settings::EUR));
    Settings::setCurrency(Settings::CZK);

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

    // The same download counted up again corrects table 9: it starts where table 9 started, not from its
    // own end (which would make every sale zero). Another table number carries over from the end as ever.
    const QDateTime endOfNine = next.timeEnd;
    for (const quint32 corrects : {9u, 8u}) {
        Inventory again;
        ItemInventory againItems;
        QCOMPARE(TableFile::open(again, againItems, {overviewRow("1", "Gin", 200)}, last, nullptr,
                                 QDateTime::currentDateTime(), corrects),
                 TableFile::Carried::Carried);
        const bool correction = corrects == 9;
        QCOMPARE(again.findRow("1")->initialQuantity, correction ? 1050 : 200);
        QCOMPARE(again.findRow("1")->soldQuantity, correction ? 850 : 0);
        QCOMPARE(again.findRow("1")->pricePerUnit, 25.0);
        QCOMPARE(again.timeStart.toMSecsSinceEpoch(),
                 (correction ? endOfLast : endOfNine).toMSecsSinceEpoch());
        QVERIFY(!again.opening);
        QCOMPARE(againItems.rows.at(0).initialQuantity, 10.0);
    }
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
    QVERIFY(TableFile::importTable(back, file).ok());
    QCOMPARE(back.rows.at(0).pricePerUnit, price);
}

void tst_TableFile::lastTableReadings_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<int>("carried");
    QTest::addColumn<quint32>("counter");
    QTest::addColumn<double>("price");   // of the first row, carried
    QTest::addColumn<qint64>("initial"); // of the first row
    QTest::addColumn<QString>("said");   // in the message

    const QByteArray head("<inventory><timeStart>1</timeStart><timeEnd>5000</timeEnd><counter>7</counter>");
    const QByteArray gin("<bottle ean=\"1\"><name>Gin</name><pricePerUnit>25</pricePerUnit>"
                         "<finalQuantity>900</finalQuantity></bottle>");
    const int carried = int(TableFile::Carried::Carried), damaged = int(TableFile::Carried::Damaged);
    QTest::newRow("carried over") << head + gin + "</inventory>" << carried << 7u << 25.0 << 900ll << "";
    QTest::newRow("second bottle with the same EAN wins")
        << head + gin + "<bottle ean=\"1\"><finalQuantity>300</finalQuantity></bottle></inventory>" << carried
        << 7u << 0.0 << 300ll << "";
    QTest::newRow("EANs not in the table")
        << head + "<bottle ean=\"9\"><finalQuantity>900</finalQuantity></bottle></inventory>" << carried << 7u
        << 0.0 << 0ll << "";
    QTest::newRow("elements of a newer program passed over")
        << head + gin + "<stamp><counter>99</counter></stamp><count colour=\"red\"/></inventory>" << carried
        << 7u << 25.0 << 900ll << "";
    // What was read before the damage is kept: number, prices, sell units; never a partial quantity.
    QTest::newRow("final quantity that is not a number")
        << head + gin +
               "<bottle ean=\"2\"><name>Vodka</name><finalQuantity>1x00</finalQuantity></bottle>"
               "</inventory>"
        << damaged << 7u << 25.0 << 0ll << "row 2 \"Vodka\" (EAN 2): finalQuantity \"1x00\" is not a number";
    QTest::newRow("quantity beyond what the program writes")
        << head + gin +
               "<bottle ean=\"2\"><name>Vodka</name><finalQuantity>10000000000000000</finalQuantity>"
               "</bottle></inventory>"
        << damaged << 7u << 25.0 << 0ll << "row 2 \"Vodka\"";
    QTest::newRow("price that is not a number")
        << head + "<bottle ean=\"1\"><name>Gin</name><pricePerUnit>nan</pricePerUnit></bottle></inventory>"
        << damaged << 7u << 0.0 << 0ll << "pricePerUnit \"nan\"";
    QTest::newRow("bottle without EAN")
        << head + "<bottle><name>x</name></bottle></inventory>" << damaged << 7u << 0.0 << 0ll << "no EAN";
    QTest::newRow("overview file refused")
        << QByteArray(
               "<inventoryOverview><bottle ean=\"1\"><weight>700</weight></bottle></inventoryOverview>")
        << damaged << 0u << 0.0 << 0ll << "not an inventory table";
    QTest::newRow("cut off, after a good row")
        << head + gin + "<bot" << damaged << 7u << 25.0 << 0ll << "the sell units and prices of the 1 rows";
    QTest::newRow("empty file") << QByteArray() << damaged << 0u << 0.0 << 0ll << "not an inventory table";
    QTest::newRow("NUL bytes") << head + QByteArray(8, '\0') << damaged << 7u << 0.0 << 0ll << "Line 1";
    QTest::newRow("counter that is not a number")
        << QByteArray("<inventory><counter>seven</counter></inventory>") << damaged << 0u << 0.0 << 0ll
        << "Its table number was lost";
    QTest::newRow("no period end") << QByteArray("<inventory><counter>7</counter></inventory>") << damaged
                                   << 7u << 0.0 << 0ll << "no end of its period";
}

void tst_TableFile::lastTableReadings()
{
    QFETCH(QByteArray, document);
    QFETCH(int, carried);
    QFETCH(quint32, counter);
    QFETCH(double, price);
    QFETCH(qint64, initial);
    QFETCH(QString, said);

    const QString file = tmp.filePath("import.inv");
    QVERIFY(TestSupport::writeFile(file, document));
    const QList<OverviewRow> overview{overviewRow("1", "Gin", 0), overviewRow("2", "Vodka", 0)};
    QString message;
    if (carried != int(TableFile::Carried::Carried)) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".")));
    }
    QCOMPARE(int(TableFile::open(*inventory, *items, overview, file, &message)), carried);
    QCOMPARE(inventory->counter, counter);
    QCOMPARE(inventory->rows.at(0).pricePerUnit, price);
    QCOMPARE(inventory->rows.at(0).initialQuantity, initial);
    QVERIFY2(message.contains(said), qPrintable(message));
    QCOMPARE(message.isEmpty(), said.isEmpty());
    // A damaged last table is no opening count: nothing may call it the first one.
    QVERIFY(!inventory->opening);

    // Import Table takes a table whole or not at all.
    Inventory imported;
    imported.loadFromOverview(overview);
    imported.modified = true;
    const CountDocument::Reading reading = TableFile::importTable(imported, file);
    QCOMPARE(reading.ok(), carried == int(TableFile::Carried::Carried));
    QCOMPARE(imported.rows.at(0).initialQuantity, reading.ok() ? initial : 0);
    // Import never clears the unsaved mark: what was typed before is still unsaved.
    QVERIFY(imported.modified);
}

void tst_TableFile::unreadableLastTableIsNoFirstCount()
{
    // A folder where the file should be cannot be read, as a file without permission cannot; the reason
    // is the system's. (Tests may run as root, whom no permission stops.)
    const QString last = tmp.filePath("unreadable.inv");
    QVERIFY(QDir().mkpath(last));
    QString message;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".")));
    QCOMPARE(TableFile::open(*inventory, *items, {overviewRow("1", "Gin", 0)}, last, &message),
             TableFile::Carried::Unreadable);
    QVERIFY2(message.contains("cannot be read: ") && message.contains("directory"), qPrintable(message));
    QVERIFY(!inventory->opening);
}

void tst_TableFile::olderReadersReadNewFilesAndBack()
{
    fill();
    inventory->timeEnd = QDateTime::fromMSecsSinceEpoch(1600000123456);
    inventory->counter = 6;
    CountDocument document = TableFile::gather(*inventory, *items);
    document.currency = Settings::EUR;
    document.opening = true;
    document.replaces = 5;
    TillLine line;
    line.code = QStringLiteral("1");
    line.name = QStringLiteral("Gin 4cl");
    line.quantity = 2;
    line.amount = 50;
    document.till.hasAmount = true;
    document.till.amount = 1234.5;
    document.till.lines = {line};
    const QByteArray bytes = document.bytes();

    // An older copy reads the new file as it reads its own, and sees nothing of what was added.
    const OlderReading older = readAsOlderCopies(bytes);
    QVERIFY(!older.refused);
    QCOMPARE(older.counter, 6u);
    QCOMPARE(older.end, 1600000123456);
    QCOMPARE(older.rows, QStringList({"1:1050", "C2:100"}));
    QCOMPARE(older.items, QStringList{"Water:10"});

    // The new reader takes everything back.
    CountDocument back;
    QVERIFY(CountDocument::parse(bytes, &back).ok());
    QCOMPARE(back.bytes(), bytes);
    QCOMPARE(back.currency, int(Settings::EUR));
    QVERIFY(back.opening);
    QCOMPARE(back.replaces, 5u);
    QCOMPARE(back.till.lines.size(), 1);
    QCOMPARE(back.till.amount, 1234.5);

    // A file of an older copy has neither the till nor the count's element: read whole, currency unknown.
    // They are the last two elements.
    const QByteArray old = bytes.left(bytes.indexOf("    <till")) + "</inventory>\n";
    QVERIFY(!old.contains("till") && !old.contains("<count ") && old.contains("<item>"));
    QVERIFY(CountDocument::parse(old, &back).ok());
    QCOMPARE(back.currency, -1);
    QVERIFY(!back.opening && back.till.isEmpty());
    QCOMPARE(back.rows.size(), 2);
    QCOMPARE(back.rows.at(0).finalQuantity, 1050);
    QCOMPARE(back.items.at(0).finalQuantity, 10.0);
}

void tst_TableFile::tableNumbersAreNeverReused()
{
    const QString data = tmp.filePath("numbers");
    QVERIFY(QDir().mkpath(data));
    const QString last = data + "/lastInventory.inv";
    fill();
    QVERIFY(TableFile::save(*inventory, *items, tmp.filePath("a.inv"), last));
    QCOMPARE(inventory->counter, 1u);
    // Saved again, the table is a correction: a new number, which records the one it corrects.
    QVERIFY(TableFile::save(*inventory, *items, tmp.filePath("b.inv"), last));
    QCOMPARE(inventory->counter, 2u);
    QVERIFY(TestSupport::readFile(tmp.filePath("b.inv")).contains("replaces=\"1\""));

    // Import Table of the older table does not set the numbering back.
    QVERIFY(TableFile::importTable(*inventory, tmp.filePath("a.inv")).ok());
    QVERIFY(TableFile::save(*inventory, *items, tmp.filePath("c.inv"), last));
    QCOMPARE(inventory->counter, 3u);
    const QList<History::Count> counts = History::list(data);
    QCOMPARE(counts.size(), 3);
    QCOMPARE(counts.at(0).counter, 1u);
    QCOMPARE(counts.at(2).counter, 3u);
    // One count, one entry: each correction replaces the table before it in the list's sums; files stay.
    QCOMPARE(counts.at(0).replacedBy, 2u);
    QCOMPARE(counts.at(1).replacedBy, 3u);
    QVERIFY(counts.at(2).counted() && !counts.at(0).counted());
    QCOMPARE(History::csv(counts).count('\n'), 2);

    // A window that still holds an old number, with the last copy and the history gone: the kept number
    // is above them all.
    QVERIFY(QFile::remove(last));
    QVERIFY(QDir(History::folder(data)).removeRecursively());
    inventory->counter = 0;
    QVERIFY(TableFile::save(*inventory, *items, tmp.filePath("d.inv"), last));
    QCOMPARE(inventory->counter, 4u);

    // Nothing in the history is replaced: a name that is taken gets another, the same bytes are kept once.
    QByteArray other = TestSupport::readFile(last);
    other.replace("<name>Gin</name>", "<name>Gin, another</name>");
    QVERIFY(History::keep(data, TestSupport::readFile(last)));
    QVERIFY(History::keep(data, other));
    const QStringList kept = QDir(History::folder(data)).entryList({"*.inv"}, QDir::Files, QDir::Name);
    QCOMPARE(kept.size(), 2);
    QVERIFY(kept.at(1).endsWith("_2.inv"));
    QCOMPARE(TestSupport::readFile(History::folder(data) + '/' + kept.at(1)), other);
}

void tst_TableFile::cutOffSaveIsFoundAtTheNextStart()
{
    const QString data = tmp.filePath("cut");
    QVERIFY(QDir().mkpath(data));
    const QString last = data + "/lastInventory.inv";
    const QString kept = data + "/tablenumber.txt";
    fill();
    QVERIFY(TableFile::save(*inventory, *items, tmp.filePath("a.inv"), last));
    const QByteArray one = TestSupport::readFile(last);
    QVERIFY(TableFile::recover(data).isEmpty());
    QVERIFY(TableFile::save(*inventory, *items, tmp.filePath("b.inv"), last));

    // A save killed after its history copy: the number still marked as being saved, the last copy older.
    QVERIFY(TestSupport::writeFile(kept, "2 saving\n"));
    QVERIFY(TestSupport::writeFile(last, one));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("table No. 2")));
    QString said = TableFile::recover(data);
    QVERIFY2(said.contains("table No. 2 was cut off") && said.contains("completed from the history"),
             qPrintable(said));
    CountDocument carried;
    QVERIFY(CountDocument::read(last, &carried).ok());
    QCOMPARE(carried.counter, 2u);
    QVERIFY(TableFile::recover(data).isEmpty());

    // Killed before anything was kept: the user is told the table is not saved, and its number stays taken.
    QVERIFY(TestSupport::writeFile(kept, "3 saving\n"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("table No. 3")));
    said = TableFile::recover(data);
    QVERIFY2(said.contains("table No. 3") && said.contains("not saved"), qPrintable(said));
    QVERIFY(CountDocument::read(last, &carried).ok());
    QCOMPARE(carried.counter, 2u);
    QVERIFY(TableFile::save(*inventory, *items, tmp.filePath("c.inv"), last));
    QCOMPARE(inventory->counter, 4u);
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
    QCOMPARE(TableFile::importTable(*inventory, tmp.filePath("missing.inv")).result,
             CountDocument::Result::Missing);
    QVERIFY(inventory->modified);
}

QTEST_MAIN(tst_TableFile)
#include "tst_tablefile.moc"
