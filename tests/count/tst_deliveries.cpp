#include "inventory.h"
#include "iteminventory.h"
#include "storeledger.h"

#include <QTemporaryDir>
#include <QtTest>

// The store's deliveries and issues: their file, the store's stock, and the From Stock they fill.
class tst_Deliveries : public QObject
{
    Q_OBJECT

private slots:
    void fileReadsBackOrIsRefusedWhole_data();
    void fileReadsBackOrIsRefusedWhole();
    void stockIsDeliveredLessIssued();
    void fromStockFilledFromTheIssuesOfThePeriod();
};

void tst_Deliveries::fileReadsBackOrIsRefusedWhole_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("refusal"); // empty: taken

    QTest::newRow("header, comma and point, a returned bottle")
        << QByteArray("\xEF\xBB\xBF"
                      "Date;Kind;EAN;Quantity;Cost;Supplier\r\n2026-12-01;delivery;0590000342304;6;1 139,40;"
                      "Drinks Ltd\r\n\n# the weekend\n2026-12-03 18:05;issue;0590000342304;2,5;;\n"
                      "2026-12-02;Issue;Crisps;-1;;\n")
        << QString();
    QTest::newRow("a bad date names its line")
        << QByteArray("2026-12-01;issue;0590000342304;1;;\n2026-13-01;issue;0590000342304;1;;\n")
        << QStringLiteral("Line 2: \"2026-13-01\" is no date");
    QTest::newRow("a time past midnight") << QByteArray("2026-12-01T24:10;issue;0590000342304;1;;\n")
                                          << QStringLiteral("Line 1: \"2026-12-01T24:10\" is no date");
    QTest::newRow("seconds") << QByteArray("2026-12-01T10:00:00;issue;0590000342304;1;;\n")
                             << QStringLiteral("Line 1: \"2026-12-01T10:00:00\" is no date");
    QTest::newRow("neither delivery nor issue") << QByteArray("2026-12-01;sale;0590000342304;1;;\n")
                                                << QStringLiteral("Line 1: \"sale\" is neither");
    QTest::newRow("a field short") << QByteArray("2026-12-01;issue;0590000342304;1;\n")
                                   << QStringLiteral("Line 1: expected date;kind;EAN;quantity;cost;supplier.");
    QTest::newRow("a delivery of less than nothing")
        << QByteArray("2026-12-01;delivery;0590000342304;-6;100;\n")
        << QStringLiteral("Line 1: a delivery is of one bottle or more.");
    QTest::newRow("mistyped quantity") << QByteArray("2026-12-01;issue;0590000342304;2x;;\n")
                                       << QStringLiteral("Line 1: quantity:");
    QTest::newRow("negative cost") << QByteArray("2026-12-01;delivery;0590000342304;6;-5;\n")
                                   << QStringLiteral("Line 1: cost:");
    QTest::newRow("not UTF-8") << QByteArray("2026-12-01;issue;Chips\xff;1;;\n")
                               << QStringLiteral("Line 1: the line is not UTF-8");
}

void tst_Deliveries::fileReadsBackOrIsRefusedWhole()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(StoreLedger::fileName());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    StoreLedger ledger;
    StoreEntry kept;
    kept.date = QDate(2026, 1, 1);
    kept.key = QStringLiteral("kept");
    kept.quantity = 1;
    ledger.entries.append(kept);
    QString reason;
    const bool taken = ledger.load(path, &reason);
    QCOMPARE(taken, refusal.isEmpty());
    if (!taken) {
        QVERIFY2(reason.startsWith(refusal), qPrintable(reason));
        // Nothing half-read: a refused file leaves the record as it was.
        QCOMPARE(ledger.entries.size(), 1);
        return;
    }
    // Kept by date; the file written back reads as the same entries, with points.
    QCOMPARE(ledger.entries.size(), 3);
    QCOMPARE(ledger.entries.at(1).key, QStringLiteral("Crisps"));
    QCOMPARE(ledger.entries.at(0).cost, 1139.4);
    QCOMPARE(ledger.entries.at(2).quantity, 2.5);
    QVERIFY(ledger.save(path, &reason));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("Date;Kind;EAN;Quantity;Cost;Supplier\n"
                                        "2026-12-01;delivery;0590000342304;6;1139.4;Drinks Ltd\n"
                                        "2026-12-02;issue;Crisps;-1;;\n"
                                        "2026-12-03T18:05;issue;0590000342304;2.5;;\n"));
    StoreLedger read;
    QVERIFY2(read.load(path, &reason), qPrintable(reason));
    QCOMPARE(read.toCsv(), ledger.toCsv());
}

void tst_Deliveries::stockIsDeliveredLessIssued()
{
    StoreLedger ledger;
    QString reason;
    QVERIFY2(ledger.parse("2026-11-20;delivery;0590000342304;12;2278,80;Drinks Ltd\n"
                          "2026-11-25;issue;0590000342304;4;;\n"
                          "2026-11-26;issue;0590000342304;-1;;\n" // one sent back from the bar
                          "2026-11-27;delivery;0590000342304;6;1139,40;Drinks Ltd\n"
                          "2026-11-27;issue;8592508053241;2;;\n",
                          &reason),
             qPrintable(reason));
    const QList<StoreLedger::Stock> stock = ledger.stock();
    QCOMPARE(stock.size(), 2);
    QCOMPARE(stock.at(0).key, QStringLiteral("0590000342304"));
    QCOMPARE(stock.at(0).delivered, 18.0);
    QCOMPARE(stock.at(0).issued, 3.0);
    QCOMPARE(stock.at(0).onHand(), 15.0);
    QCOMPARE(QString::number(stock.at(0).cost, 'f', 2), QStringLiteral("3418.20"));
    // Issued without a delivery on record: the store is short, and says so rather than showing nothing.
    QCOMPARE(stock.at(1).onHand(), -2.0);
}

void tst_Deliveries::fromStockFilledFromTheIssuesOfThePeriod()
{
    // Given: a count from 30 Nov 01:30 (the previous count's end, after the Saturday night) to 7 Dec 23:30,
    // vodka 700 ml, rum 1 l and gin 700 ml.
    Inventory inventory;
    const auto bottle = [&](const char *ean, const char *name, qint64 volume) {
        SalesRow row;
        row.ean = QString::fromLatin1(ean);
        row.name = QString::fromLatin1(name);
        row.bottleVolume = volume;
        row.initialQuantity = 700;
        inventory.rows.append(row);
    };
    bottle("0590000342304", "Vodka", 700);
    bottle("8592508053241", "Rum", 1000);
    bottle("8595572479177", "Gin", 700);
    inventory.calculate();
    ItemInventory items;
    AppendedItem crisps;
    crisps.name = QStringLiteral("Crisps");
    items.rows.append(crisps);
    StoreLedger ledger;
    QString reason;
    QVERIFY2(ledger.parse("2026-11-30T01:00;issue;0590000342304;5;;\n" // before that count: in its From Stock
                          "2026-11-30;issue;0590000342304;3;;\n" // the same day, at midday: after it
                          "2026-12-04;delivery;0590000342304;12;2278,80;Drinks Ltd\n" // into the store only
                          "2026-12-05;issue;0590000342304;-1;;\n" // one sent back
                          "2026-12-07;issue;8592508053241;1,5;;\n"       // the count's own day: in
                          "2026-12-07T23:45;issue;8592508053241;4;;\n" // after the count: the next one's
                          "2026-12-03;issue;8595572479177;2;;\n"
                          "2026-12-03;issue;Crisps;24;;\n"
                          "2026-12-03;issue;4006381333931;1;;\n",
                          &reason),
             qPrintable(reason));
    // The user typed the gin's From Stock before the fill.
    inventory.rows[2].fromStock = 1400 + 350;
    QHash<QString, double> earlier;

    // When
    const QHash<QString, double> issued = ledger.issuedBetween(QDateTime(QDate(2026, 11, 30), QTime(1, 30)), QDateTime(QDate(2026, 12, 7), QTime(23, 30)));
    StockFill fill = StockFill::apply(inventory, items, issued, &earlier);

    // Then: vodka (3 - 1) x 700 ml, rum 1.5 x 1000 ml, the typed gin kept, crisps 24 pieces.
    QCOMPARE(inventory.rows.at(0).fromStock, qint64(1400));
    QCOMPARE(inventory.rows.at(0).soldQuantity, qint64(700 + 1400));
    QCOMPARE(inventory.rows.at(1).fromStock, qint64(1500));
    QCOMPARE(inventory.rows.at(2).fromStock, qint64(1750));
    QCOMPARE(items.rows.at(0).fromStock, 24.0);
    QCOMPARE(fill.filled, 3);
    QCOMPARE(fill.kept, 1);
    QCOMPARE(fill.noRow, QStringList{QStringLiteral("4006381333931")});
    QVERIFY(inventory.modified);

    // The count's end moved back to the small hours of the 7th: the rum's fill goes, and the vodka's value the user has since typed
    // stays as typed.
    inventory.rows[0].fromStock = 2100;
    fill = StockFill::apply(inventory, items, ledger.issuedBetween(QDateTime(QDate(2026, 11, 30), QTime(1, 30)),
                                                                     QDateTime(QDate(2026, 12, 7), QTime(2, 0))),
                            &earlier);
    QCOMPARE(inventory.rows.at(0).fromStock, qint64(2100));
    QCOMPARE(inventory.rows.at(1).fromStock, qint64(0));
    QCOMPARE(inventory.rows.at(2).fromStock, qint64(1750));
    QCOMPARE(items.rows.at(0).fromStock, 24.0);
    QCOMPARE(fill.filled, 1);
    QCOMPARE(fill.kept, 2);
}

QTEST_GUILESS_MAIN(tst_Deliveries)
#include "tst_deliveries.moc"
