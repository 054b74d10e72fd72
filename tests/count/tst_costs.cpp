#include "costcolumnmodel.h"
#include "costs.h"
#include "database.h"
#include "history.h"
#include "inventory.h"
#include "iteminventory.h"
#include "ordermodel.h"
#include "settings.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The purchase costs: their file, and what a count worked by hand cost.
class tst_Costs : public QObject
{
    Q_OBJECT

private slots:
    void figuresOfACountWorkedByHand();
    void parse_data();
    void parse();
    void savedListReadsBackAndLeavesTheFolderAlone();
    void costColumnKeepsTheCatalogueAsItIs();
    void orderRoundsUpToWholeBottles_data();
    void orderRoundsUpToWholeBottles();
    void parSuggestedFromTheHistory_data();
    void parSuggestedFromTheHistory();
};

void tst_Costs::figuresOfACountWorkedByHand()
{
    // Given: three bottle kinds, the gin without a cost, and crisps sold by the piece.
    Inventory inventory;
    const auto bottle = [&](const char *ean, const char *name, qint64 volume, double price, qint64 initial,
                            qint64 fromStock, qint64 measured, qint64 bottles) {
        SalesRow row;
        row.ean = QString::fromLatin1(ean);
        row.name = QString::fromUtf8(name);
        row.bottleVolume = volume;
        row.pricePerUnit = price;
        row.initialQuantity = initial;
        row.fromStock = fromStock;
        row.measuredValue = measured;
        row.residualBottlesVolume = bottles;
        inventory.rows.append(row);
    };
    bottle("8592508053241", "Rum", 1000, 35, 1000, 0, 600, 0);     // sold 400 ml: 350.00
    bottle("0590000342304", "Vodka", 700, 40, 700, 700, 350, 700); // sold 350 ml: 350.00
    bottle("8595572479177", "Gin", 700, 50, 700, 0, 490, 0);       // sold 210 ml: 262.50
    bottle("1234567890128", "Empty shelf", 700, 50, 0, 0, 0, 0);   // nothing held: no cost needed
    inventory.calculate();
    ItemInventory items;
    AppendedItem crisps;
    crisps.name = QStringLiteral("Crisps");
    crisps.pricePerUnit = 25;
    crisps.initialQuantity = 10;
    crisps.fromStock = 20;
    crisps.finalQuantity = 12;
    items.rows.append(crisps);
    items.calculate();
    CostList costs;
    QString reason;
    QVERIFY2(costs.parse("EAN;cost;par;supplier\n8592508053241;250,00;2;Drinks Ltd\n0590000342304;189.9\n"
                         "Crisps;9,5;;\n",
                         &reason),
             qPrintable(reason));

    // When
    const CostFigures figures = CostFigures::of(inventory, items, costs);

    // Then: 400/1000 x 250 = 100.00, 350/700 x 189.90 = 94.95, crisps 18 x 9.50 = 171.00.
    QCOMPARE(figures.bottles.size(), 4);
    QVERIFY(qFuzzyCompare(figures.bottles.at(0).costOfGoods, 100.0));
    QCOMPARE(QString::number(figures.bottles.at(0).pourCost, 'f', 2), QStringLiteral("28.57"));
    QVERIFY(qFuzzyCompare(figures.bottles.at(1).stockValue, 284.85)); // 1050/700 x 189.90
    QVERIFY(!figures.bottles.at(2).hasCost);
    QCOMPARE(figures.items.size(), 1);
    QVERIFY(qFuzzyCompare(figures.items.at(0).costOfGoods, 171.0));
    // 194.95 / 700.00 for the bottles with a cost, the gin's 262.50 left out with it (over all the alcohol
    // sales it would be taken as free: 20.25 %); the crisps are in the cost of goods but not in the pour cost.
    QCOMPARE(QString::fromUtf8(figures.csvLines()),
             QStringLiteral("Cost of goods sold;365.95\nPour cost;27.85 %\nStock value at cost;548.85\n"
                            "No cost for;Gin\n"));
    QVERIFY(figures.text(Settings::CZK).contains(QStringLiteral("Pour cost: 27.85 % of the bottles with a cost")));
    QVERIFY(figures.text(Settings::CZK)
                .endsWith(QStringLiteral("Highest pour cost: Rum 28.57 %, Vodka 27.13 %\nNo cost for: Gin")));

    // The sales page puts each row's figures beside its cash in; the gin is named, not free.
    SalesCostModel shown(&inventory);
    shown.setSourceModel(&inventory);
    QAbstractItemModelTester tester(&shown, QAbstractItemModelTester::FailureReportingMode::QtTest);
    shown.setCosts(costs);
    const auto cell = [&](int row, int column) { return shown.index(row, column).data().toString(); };
    QCOMPARE(cell(0, shown.costOfGoodsColumn()), QStringLiteral("100.00"));
    QCOMPARE(cell(0, shown.pourCostColumn()), QStringLiteral("28.6 %"));
    QCOMPARE(cell(2, shown.costOfGoodsColumn()), QStringLiteral("no cost"));
    QCOMPARE(cell(3, shown.costOfGoodsColumn()), QString());
    QCOMPARE(cell(0, Inventory::NameColumn), QStringLiteral("Rum"));
    QVERIFY(!(shown.flags(shown.index(0, shown.pourCostColumn())) & Qt::ItemIsEditable));

    // A count with no alcohol sales has no pour cost, rather than a division by nothing.
    for (SalesRow &row : inventory.rows)
        row.pricePerUnit = 0;
    inventory.calculate();
    QVERIFY(CostFigures::of(inventory, items, costs).csvLines().contains("\nPour cost;\n"));
}

void tst_Costs::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("refusal"); // empty: taken
    QTest::addColumn<int>("entries");

    QTest::newRow("header, comma and point, empty par and supplier")
        << QByteArray(
               "\xEF\xBB\xBF"
               "EAN;Cost;Par;Supplier\r\n\"0590000342304\";189,90;3;Drinks Ltd\r\n8592508053241;250.5\n\n"
               "# crisps\nCrisps;9,5;;\n")
        << QString() << 3;
    QTest::newRow("a bad cost names its line")
        << QByteArray("EAN;Cost\n8592508053241;250\n\n0590000342304;12x\n") << QStringLiteral("Line 4: cost:")
        << 0;
    QTest::newRow("a header only on the first line")
        << QByteArray("8592508053241;250\nEAN;Cost;Par;Supplier\n") << QStringLiteral("Line 2: cost:") << 0;
    QTest::newRow("negative cost") << QByteArray("8592508053241;-250\n") << QStringLiteral("Line 1: cost:")
                                   << 0;
    QTest::newRow("bad par") << QByteArray("8592508053241;250;two\n") << QStringLiteral("Line 1: par:") << 0;
    QTest::newRow("too many fields") << QByteArray("8592508053241;250;2;Drinks;Ltd\n")
                                     << QStringLiteral("Line 1: expected EAN;cost;par;supplier.") << 0;
    QTest::newRow("no cost") << QByteArray("EAN;Cost\n8592508053241\n")
                             << QStringLiteral("Line 2: expected EAN;cost;par;supplier.") << 0;
    QTest::newRow("same EAN twice") << QByteArray("8592508053241;250\n8592508053241;260\n")
                                    << QStringLiteral("Line 2: \"8592508053241\" is already on line 1.") << 0;
    QTest::newRow("no key") << QByteArray(";250\n") << QStringLiteral("Line 1: no EAN or item name.") << 0;
    QTest::newRow("not UTF-8") << QByteArray("Chips\xff;9\n")
                               << QStringLiteral("Line 1: the line is not UTF-8") << 0;
}

void tst_Costs::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, refusal);
    QFETCH(int, entries);

    CostList costs;
    costs.entries.append({QStringLiteral("kept"), 1, false, 0, QString()});
    QString reason;
    const bool taken = costs.parse(bytes, &reason);
    QCOMPARE(taken, refusal.isEmpty());
    if (!taken) {
        QVERIFY2(reason.startsWith(refusal), qPrintable(reason));
        // All or nothing: a refused file leaves the list as it was.
        QCOMPARE(costs.entries.size(), 1);
        return;
    }
    QCOMPARE(costs.entries.size(), entries);
    const Cost *vodka = costs.find(QStringLiteral("0590000342304"));
    QVERIFY(vodka);
    QCOMPARE(vodka->cost, 189.9);
    QVERIFY(vodka->hasPar);
    QCOMPARE(vodka->par, 3.0);
    QCOMPARE(vodka->supplier, QStringLiteral("Drinks Ltd"));
    QVERIFY(!costs.find(QStringLiteral("Crisps"))->hasPar);
}

void tst_Costs::savedListReadsBackAndLeavesTheFolderAlone()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString catalogue = dir.filePath(QStringLiteral("database70.xml"));
    QFile file(catalogue);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<database/>\n");
    file.close();

    CostList costs;
    QString reason;
    QVERIFY(costs.load(dir.filePath(CostList::fileName()), &reason)); // none yet: an empty list
    QVERIFY(costs.entries.isEmpty());
    // A supplier with the separator and a name a spreadsheet would run must read back as they were.
    costs.entries.append({QStringLiteral("=Crisps"), 9.5, true, 12, QStringLiteral("Snacks; Sons \"Ltd\"")});
    QVERIFY(costs.setCostText(QStringLiteral("0590000342304"), QStringLiteral("1 189,99"), &reason));
    QVERIFY(!costs.setCostText(QStringLiteral("8592508053241"), QStringLiteral("-1"), &reason));
    QVERIFY(!reason.isEmpty());
    QVERIFY(costs.save(dir.filePath(CostList::fileName()), &reason));

    CostList read;
    QVERIFY2(read.load(dir.filePath(CostList::fileName()), &reason), qPrintable(reason));
    QCOMPARE(read.entries.size(), 2);
    QCOMPARE(read.entries.at(0).key, QStringLiteral("=Crisps"));
    QCOMPARE(read.entries.at(0).supplier, QStringLiteral("Snacks; Sons \"Ltd\""));
    QCOMPARE(read.entries.at(0).par, 12.0);
    QCOMPARE(read.find(QStringLiteral("0590000342304"))->cost, 1189.99);
    // An empty cost takes the kind off the list.
    QVERIFY(read.setCostText(QStringLiteral("0590000342304"), QString(), &reason));
    QCOMPARE(read.entries.size(), 1);

    // The catalogue beside the list is neither rewritten nor joined by anything else.
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("<database/>\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
             QStringList({CostList::fileName(), QStringLiteral("database70.xml")}));
}

void tst_Costs::costColumnKeepsTheCatalogueAsItIs()
{
    // Given: a catalogue of two bottles seen through the cost column.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Database database;
    Bottle vodka;
    vodka.ean = QStringLiteral("0590000342304");
    vodka.fullName = QStringLiteral("Vodka");
    vodka.volume = 700;
    Bottle rum = vodka;
    rum.ean = QStringLiteral("8592508053241");
    rum.fullName = QStringLiteral("Rum");
    database.setBottles({rum, vodka});
    const QByteArray document = Database::toDocument(database.bottles);
    const QString path = dir.filePath(CostList::fileName());
    CostColumnModel costs(Database::EanColumn, path);
    costs.setSourceModel(&database);
    QAbstractItemModelTester tester(&costs, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy refused(&costs, &CostColumnModel::inputRefused);
    QVERIFY(refused.isValid());
    const int column = costs.costColumn();

    // When a cost is typed with a decimal comma, and one that is no cost
    QVERIFY(costs.setData(costs.index(1, column), QStringLiteral("189,9")));
    QVERIFY(!costs.setData(costs.index(0, column), QStringLiteral("12x")));

    // Then the cost is in its own file, the refusal has a reason, and the catalogue is as it was.
    QCOMPARE(costs.index(1, column).data().toString(), QStringLiteral("189.90"));
    QCOMPARE(costs.index(0, column).data().toString(), QString());
    QCOMPARE(refused.count(), 1);
    QVERIFY(!refused.at(0).at(1).toString().isEmpty());
    QCOMPARE(Database::toDocument(database.bottles), document);
    QCOMPARE(costs.index(1, Database::FullNameColumn).data().toString(), QStringLiteral("Vodka"));
    CostList saved;
    QString reason;
    QVERIFY(saved.load(path, &reason));
    QCOMPARE(saved.entries.size(), 1);
    QCOMPARE(saved.find(QStringLiteral("0590000342304"))->cost, 189.9);

    // Par and supplier are kept with the cost: refused for a bottle without one, taken with a decimal
    // comma, a line break in a supplier kept off the file's lines; an emptied cost takes them along.
    QCOMPARE(costs.columnCount(), int(Database::ColumnCount) + 3);
    QVERIFY(!costs.setData(costs.index(0, costs.parColumn()), QStringLiteral("2")));
    QVERIFY(!costs.setData(costs.index(0, costs.supplierColumn()), QStringLiteral("Drinks Ltd")));
    QVERIFY(!costs.setData(costs.index(1, costs.parColumn()), QStringLiteral("two")));
    QCOMPARE(refused.count(), 4);
    QVERIFY(costs.setData(costs.index(1, costs.parColumn()), QStringLiteral("2,5")));
    QVERIFY(costs.setData(costs.index(1, costs.supplierColumn()), QStringLiteral("Drinks\nLtd")));
    QVERIFY(saved.load(path, &reason));
    QCOMPARE(saved.find(QStringLiteral("0590000342304"))->par, 2.5);
    QCOMPARE(saved.find(QStringLiteral("0590000342304"))->supplier, QStringLiteral("Drinks Ltd"));
    QCOMPARE(costs.index(1, costs.parColumn()).data().toString(), QStringLiteral("2.5"));
    QVERIFY(costs.setData(costs.index(1, costs.parColumn()), QString()));
    QVERIFY(saved.load(path, &reason));
    QVERIFY(!saved.find(QStringLiteral("0590000342304"))->hasPar);
    QCOMPARE(Database::toDocument(database.bottles), document);

    // A view edits the cost cell itself, not the cell it follows when sorted.
    QCOMPARE(costs.buddy(costs.index(1, column)), costs.index(1, column));

    // The cost stays with its bottle when the catalogue is sorted.
    database.sort(Database::FullNameColumn, Qt::DescendingOrder);
    QCOMPARE(costs.index(0, Database::FullNameColumn).data().toString(), QStringLiteral("Vodka"));
    QCOMPARE(costs.index(0, column).data().toString(), QStringLiteral("189.90"));
}

void tst_Costs::orderRoundsUpToWholeBottles_data()
{
    QTest::addColumn<qint64>("left"); // ml after the count
    QTest::addColumn<QString>("par");
    QTest::addColumn<int>("order"); // 0: not on the list

    QTest::newRow("part of a bottle short") << qint64(600) << QStringLiteral("2") << 2;
    QTest::newRow("exactly at par") << qint64(2100) << QStringLiteral("3") << 0;
    QTest::newRow("a millilitre short") << qint64(2099) << QStringLiteral("3") << 1;
    QTest::newRow("none left, a half par") << qint64(0) << QStringLiteral("2,5") << 3;
    QTest::newRow("above par: never negative") << qint64(2800) << QStringLiteral("1") << 0;
}

void tst_Costs::orderRoundsUpToWholeBottles()
{
    QFETCH(qint64, left);
    QFETCH(QString, par);
    QFETCH(int, order);

    Inventory inventory;
    SalesRow row;
    row.ean = QStringLiteral("0590000342304");
    row.name = QStringLiteral("Vodka");
    row.bottleVolume = 700;
    row.measuredValue = left;
    inventory.rows.append(row);
    // A second kind from another supplier, always short, sorted after the first by its supplier.
    row.ean = QStringLiteral("8592508053241");
    row.name = QStringLiteral("Rum");
    row.measuredValue = 0;
    inventory.rows.append(row);
    inventory.calculate();
    ItemInventory items;
    CostList costs;
    QString reason;
    QVERIFY2(costs.parse(
                 QStringLiteral("0590000342304;200;%1;Bravo\n8592508053241;100;1;Zulu\n").arg(par).toUtf8(),
                 &reason),
             qPrintable(reason));

    const OrderList list = OrderList::of(inventory, items, costs);

    QCOMPARE(list.lines.size(), order > 0 ? 2 : 1);
    QCOMPARE(list.lines.last().name, QStringLiteral("Rum"));
    if (order > 0) {
        QCOMPARE(list.lines.first().order, qint64(order));
        QCOMPARE(list.lines.first().supplier, QStringLiteral("Bravo"));
    }
    QCOMPARE(list.cost, 100.0 + 200.0 * order);

    // Shown and printed under a line per supplier.
    OrderModel shown;
    shown.setOrder(list);
    QStringList shownNames;
    for (int row = 0; row < shown.rowCount(); ++row)
        shownNames << shown.index(row, OrderModel::ItemColumn).data().toString();
    QCOMPARE(shownNames, order > 0 ? QStringList({QStringLiteral("Bravo"), QStringLiteral("Vodka"), QStringLiteral("Zulu"),
                                             QStringLiteral("Rum")})
                              : QStringList({QStringLiteral("Zulu"), QStringLiteral("Rum")}));
}

void tst_Costs::parSuggestedFromTheHistory_data()
{
    QTest::addColumn<QList<int>>("days");      // length of each period, oldest first
    QTest::addColumn<QList<qint64>>("sold");   // vodka ml (700 ml bottles) per period
    QTest::addColumn<QString>("usage");        // bottles per usual period; empty: no suggestion
    QTest::addColumn<qint64>("par");

    // 8 bottles in 35 days, brought to the usual 7 days: a holiday does not make every week look long.
    QTest::newRow("a long period weighs its length")
        << QList<int>{7, 7, 21} << QList<qint64>{1400, 2100, 2100} << QStringLiteral("1.60") << qint64(2);
    // The oldest of seven is left out however much it sold; exactly one bottle a week is a par of one.
    QTest::newRow("only the last six counts")
        << QList<int>{7, 7, 7, 7, 7, 7, 7} << QList<qint64>{70000, 700, 700, 700, 700, 700, 700}
        << QStringLiteral("1.00") << qint64(1);
    QTest::newRow("an even number of periods takes the middle two")
        << QList<int>{7, 14} << QList<qint64>{1400, 2800} << QStringLiteral("3.00") << qint64(3);
    QTest::newRow("a trace is still a bottle to have")
        << QList<int>{7} << QList<qint64>{20} << QStringLiteral("0.03") << qint64(1);
    QTest::newRow("returns above sales: nothing to stock")
        << QList<int>{7} << QList<qint64>{-700} << QString() << qint64(0);
}

void tst_Costs::parSuggestedFromTheHistory()
{
    QFETCH(QList<int>, days);
    QFETCH(QList<qint64>, sold);
    QFETCH(QString, usage);
    QFETCH(qint64, par);

    const QString vodka = QStringLiteral("0590000342304");
    const QString gin = QStringLiteral("8595572479177");
    QDateTime at(QDate(2026, 1, 5), QTime(23, 0), Qt::UTC);
    QList<History::Count> counts;
    // The opening count only sets the stock; a replaced count is no period of its own; neither counts.
    History::Count opening;
    opening.opening = true;
    opening.from = at.addDays(-30);
    opening.to = at;
    opening.sold.insert(vodka, 700000);
    counts.append(opening);
    for (int i = 0; i < days.size(); ++i) {
        History::Count count;
        count.from = at;
        at = at.addDays(days.at(i));
        count.to = at;
        count.sold.insert(vodka, sold.at(i));
        count.names.insert(vodka, QStringLiteral("Vodka"));
        count.sold.insert(gin, 700); // no volume known: no bottles
        counts.append(count);
    }
    History::Count replaced = counts.last();
    replaced.replacedBy = 99;
    replaced.sold.insert(vodka, 700000);
    counts.append(replaced);

    double period = 0;
    const QList<ParSuggestion> suggested =
        ParSuggestion::of(counts, {{vodka, 700}, {QStringLiteral("8592508053241"), 1000}}, &period);

    QCOMPARE(suggested.size(), usage.isEmpty() ? 0 : 1);
    if (usage.isEmpty())
        return;
    QCOMPARE(suggested.at(0).ean, vodka);
    QCOMPARE(suggested.at(0).name, QStringLiteral("Vodka"));
    QCOMPARE(QString::number(suggested.at(0).usage, 'f', 2), usage);
    QCOMPARE(suggested.at(0).par, par);
    QVERIFY(period > 0);
}

QTEST_GUILESS_MAIN(tst_Costs)
#include "tst_costs.moc"
