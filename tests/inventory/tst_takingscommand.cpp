#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QDir>
#include <QtTest>

// The command-line companion's overview and takings, run as the user runs them.
class tst_TakingsCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void overview();
    void takingsCarriesTheLastTableOver();
    void exitCodes_data();
    void exitCodes();
    void tillColumnsNamedRememberedOrRefused();
    void takingsWithCosts();
    void takingsFillFromStockFromTheIssues();

private:
    TestSupport::ToolRun run(const QStringList &args);
    QString write(const QString &name, const QByteArray &bytes);

    QTemporaryDir tmp;
    QString catalogue;
};

TestSupport::ToolRun tst_TakingsCommand::run(const QStringList &args)
{
    return TestSupport::runTool(QStringLiteral(QUARMELCTL_PATH), args, tmp.path());
}

QString tst_TakingsCommand::write(const QString &name, const QByteArray &bytes)
{
    const QString path = tmp.filePath(name);
    return TestSupport::writeFile(path, bytes) ? path : QString();
}

void tst_TakingsCommand::initTestCase()
{
    QVERIFY(tmp.isValid());
    catalogue = write("catalogue.csv", "8592508053241;Rum Tuzemák;Tuzemák;1000;1545;590\n"
                                       "0590000342304;Vodka Kristal;Kristal;700;1306;640\n"
                                       "8595572479177;Sirup Třtina;Sirup;700;1401;470\n");
    QVERIFY(!catalogue.isEmpty());
}

void tst_TakingsCommand::overview()
{
    const QString weighings = write("w.txt", "8592508053241;1545\n590000342304;708\n\n1234;900\n");
    const TestSupport::ToolRun result = run({"overview", catalogue, weighings});
    QCOMPARE(result.code, 0);
    QCOMPARE(result.out, QByteArray("EAN;Item;Residue\n\"8592508053241\";Rum Tuzemák;1000\n"
                                    "\"0590000342304\";Vodka Kristal;71\n"));
    QVERIFY(result.err.contains("Error in database: Bottle '1234' is not in database!"));
}

void tst_TakingsCommand::takingsCarriesTheLastTableOver()
{
    const QString prices = write("prices.txt", "8592508053241;35\n0590000342304;40;0.04\n");
    const QString first = tmp.filePath("first.inv");
    TestSupport::ToolRun result =
        run({"takings", catalogue, write("w0.txt", "8592508053241;1545\n590000342304;708\n"), "--prices",
             prices, "--save", first});
    QCOMPARE(result.code, 0);
    QVERIFY(result.out.contains("Rum Tuzemák;0.04;35.00;0.00;0.00;1.00;0.00;1.00;-1.00;-875.00;\n"));
    QVERIFY(result.err.contains("Alcohol Sales: -946.00 CZK"));
    QVERIFY(result.err.contains("This is the first count"));

    // Litres with a decimal comma, as typed into the table.
    const QString stock = write("stock.txt", "0590000342304;0,7\n");
    // Compared with the till, and handed over as a workbook as well.
    const QString till =
        write("till.csv", "PLU;Item;Qty;Sales\n8592508053241;Rum 4cl;1;35,00\n;Chipsy;3;75\n");
    const QString workbook = tmp.filePath("second.xlsx");
    result = run({"takings", catalogue, write("w1.txt", "8592508053241;1494\n590000342304;1306\n"), "--last",
                  first, "--stock", stock, "--save", tmp.filePath("second.inv"), "--till", till, "--xlsx",
                  workbook});
    QCOMPARE(result.code, 0);
    // 53 ml sold against one 4 cl portion rung up: (53 - 40) / 40 = 0.325 portions.
    QVERIFY(result.out.contains("\nRum Tuzemák;8592508053241;46.38;35.00;11.38;0.33;24.5\n"));
    QVERIFY(result.out.contains("\nTill: 110.00 CZK\nVariance: 7.38 CZK (6.3 %)\n"
                                "Till product not matched: Chipsy (3 sold, 75.00 CZK)\n"));
    QVERIFY(TestSupport::readFile(workbook).startsWith("PK\x03\x04"));
    const QList<QByteArray> lines = result.out.split('\n');
    QVERIFY(lines.contains("Rum Tuzemák;0.04;35.00;1.00;0.00;0.95;0.00;0.95;0.05;46.38;"));
    QVERIFY(lines.contains("Vodka Kristal;0.04;40.00;0.07;0.70;0.70;0.00;0.70;0.07;71.00;"));
    QVERIFY(result.err.contains("Alcohol Sales: 117.38 CZK"));
    QFile second(tmp.filePath("second.inv"));
    QVERIFY(second.open(QIODevice::ReadOnly));
    const QByteArray saved = second.readAll();
    QVERIFY(saved.contains("<counter>2</counter>"));
    QVERIFY(saved.contains(
        "<tillLine code=\"8592508053241\" name=\"Rum 4cl\" quantity=\"1\" amount=\"35\" portion=\"40\"/>"));

    // The till's takings typed from its report, with a decimal comma, stand alone: no export, so no row
    // is missing from the till; the workbook gets its till sheet all the same.
    result = run({"takings", catalogue, tmp.filePath("w1.txt"), "--last", first, "--stock", stock,
                  "--till-amount", "100,00", "--xlsx", workbook});
    QCOMPARE(result.code, 0);
    QVERIFY(result.out.endsWith("\nExpected: 117.38 CZK\nTill: 100.00 CZK\nVariance: 17.38 CZK (14.8 %)\n"));
    QVERIFY(TestSupport::readFile(workbook).contains("xl/worksheets/sheet2.xml"));
}

void tst_TakingsCommand::exitCodes_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");

    QTest::newRow("overview without weighings") << QStringList{"overview", "catalogue.csv"} << 64;
    QTest::newRow("unknown option") << QStringList{"takings", "catalogue.csv", "w.txt", "--fast"} << 64;
    QTest::newRow("option without value") << QStringList{"takings", "catalogue.csv", "w.txt", "--save"} << 64;
    QTest::newRow("missing weighings") << QStringList{"overview", "catalogue.csv", "none.txt"} << 1;
    QTest::newRow("weight not in grams") << QStringList{"overview", "catalogue.csv", "badweight.txt"} << 1;
    // The station sends 16-bit grams; anything else is a damaged file, not a bottle with nothing left.
    QTest::newRow("weight past 16 bits") << QStringList{"overview", "catalogue.csv", "heavy.txt"} << 1;
    QTest::newRow("EAN that is not digits") << QStringList{"overview", "catalogue.csv", "badean.txt"} << 1;
    QTest::newRow("overview weight past 64 bits")
        << QStringList{"takings", "catalogue.csv", "heavy.xml"} << 1;
    QTest::newRow("overview weight of 2^63 g")
        << QStringList{"takings", "catalogue.csv", "wrapping.xml"} << 1;
    QTest::newRow("price that is not a number")
        << QStringList{"takings", "catalogue.csv", "w.txt", "--prices", "badprice.txt"} << 1;
    QTest::newRow("missing last table")
        << QStringList{"takings", "catalogue.csv", "w.txt", "--last", "x.inv"} << 1;
    QTest::newRow("till matches without a till export")
        << QStringList{"takings", "catalogue.csv", "w.txt", "--matches", "m.txt"} << 64;
    QTest::newRow("till amount below zero")
        << QStringList{"takings", "catalogue.csv", "w.txt", "--till-amount", "-5"} << 64;
    QTest::newRow("till amount that is no number")
        << QStringList{"takings", "catalogue.csv", "w.txt", "--till-amount", "lots"} << 64;
    QTest::newRow("till export without a header naming its columns")
        << QStringList{"takings", "catalogue.csv", "w.txt", "--till", "w.txt"} << 1;
    QTest::newRow("workbook into a missing folder")
        << QStringList{"overview", "catalogue.csv", "w.txt", "--xlsx", "no/such/folder.xlsx"} << 1;
    QTest::newRow("last table is an overview")
        << QStringList{"takings", "catalogue.csv", "w.txt", "--last", "overview.xml"} << 1;
    // A table the user may not read (a folder here: the tests may run as root) is no first count.
    QTest::newRow("last table that cannot be read")
        << QStringList{"takings", "catalogue.csv", "w.txt", "--last", "unreadable.inv"} << 1;
}

void tst_TakingsCommand::exitCodes()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    write("w.txt", "8592508053241;1545\n");
    write("badweight.txt", "8592508053241;1545.5\n");
    write("badprice.txt", "8592508053241;cheap\n");
    write("heavy.txt", "8592508053241;65536\n");
    write("badean.txt", "85925080x3241;1545\n");
    const QByteArray bottle("<inventoryOverview><bottle ean=\"8592508053241\"><weight>%1</weight></bottle>"
                            "</inventoryOverview>");
    write("heavy.xml", QByteArray(bottle).replace("%1", "123456789012345678901234"));
    write("wrapping.xml", QByteArray(bottle).replace("%1", "9223372036854775808"));
    write("overview.xml",
          "<inventoryOverview><bottle ean=\"1\"><weight>5</weight></bottle></inventoryOverview>");
    QVERIFY(QDir().mkpath(tmp.filePath("unreadable.inv")));
    const TestSupport::ToolRun result = run(args);
    QCOMPARE(result.code, code);
    if (args.contains("unreadable.inv"))
        QVERIFY2(result.err.contains("cannot be read: ") && !result.err.contains("This is the first count"),
                 result.err.constData());
}

// A till export whose columns leave a doubt is refused with the candidates, never guessed; named columns
// or the window's choice kept beside the matches are taken.
void tst_TakingsCommand::tillColumnsNamedRememberedOrRefused()
{
    const QString weighings = write("w.txt", "8592508053241;1545\n");
    const QString till =
        write("items.csv", "Menu Item,Sales Category,Count,Value\nRum 4cl,Spirits,1,35\nGin,Spirits,2,90\n");
    TestSupport::ToolRun result = run({"takings", catalogue, weighings, "--till", till});
    QCOMPARE(result.code, 1);
    QVERIFY(result.err.contains("name them with --till-columns"));
    QVERIFY(result.err.contains("\n  amount: 4 \"Value\"\n"));
    QVERIFY(!result.out.contains("Till:"));

    for (const QString &columns :
         {QStringLiteral("name=Menu Item,quantity=3,amount=value"), QStringLiteral("amount=4,name=1")}) {
        result = run({"takings", catalogue, weighings, "--till", till, "--till-columns", columns});
        QCOMPARE(result.code, 0);
        QVERIFY(result.out.contains("\nTill: 125.00 CZK\n"));
    }
    QVERIFY(result.err.contains("columns name: 1 \"Menu Item\", code: -, quantity: -, unit: -, amount: 4 \"Value\""));
    for (const char *wrong : {"amount=9,name=1", "amount=Price,name=1", "name=1", "amount=1,name=1", "size=2"})
        QCOMPARE(run({"takings", catalogue, weighings, "--till", till, "--till-columns", wrong}).code, 64);

    QVERIFY(QDir(tmp.path()).mkpath("data"));
    const QString matches = write("data/tillMatches.txt", "");
    write("data/tillColumns.txt",
          "menu item|sales category|count|value\tname=1,code=-,quantity=3,unit=-,amount=4\n");
    result = run({"takings", catalogue, weighings, "--till", till, "--matches", matches});
    QCOMPARE(result.code, 0);
    QVERIFY(result.out.contains("\nTill: 125.00 CZK\n"));
}

// A count worked by hand: rum and vodka with a cost, the syrup without one, and crisps carried over.
void tst_TakingsCommand::takingsWithCosts()
{
    const QString last = write("costs-last.inv", R"(<?xml version="1.0" encoding="UTF-8"?>
<inventory><timeStart>0</timeStart><timeEnd>1000</timeEnd><counter>7</counter>
<bottle ean="8592508053241"><name>Rum Tuzemák</name><sellUnit>40</sellUnit><pricePerUnit>35</pricePerUnit>
<initialQuantity>0</initialQuantity><fromStock>0</fromStock><measuredValue>1000</measuredValue>
<residualBottlesVolume>0</residualBottlesVolume><finalQuantity>1000</finalQuantity><soldQuantity>0</soldQuantity>
<totalAmount>0</totalAmount></bottle>
<bottle ean="0590000342304"><name>Vodka Kristal</name><sellUnit>40</sellUnit><pricePerUnit>40</pricePerUnit>
<initialQuantity>0</initialQuantity><fromStock>0</fromStock><measuredValue>700</measuredValue>
<residualBottlesVolume>0</residualBottlesVolume><finalQuantity>700</finalQuantity><soldQuantity>0</soldQuantity>
<totalAmount>0</totalAmount></bottle>
<bottle ean="8595572479177"><name>Sirup Třtina</name><sellUnit>40</sellUnit><pricePerUnit>50</pricePerUnit>
<initialQuantity>0</initialQuantity><fromStock>0</fromStock><measuredValue>700</measuredValue>
<residualBottlesVolume>0</residualBottlesVolume><finalQuantity>700</finalQuantity><soldQuantity>0</soldQuantity>
<totalAmount>0</totalAmount></bottle>
<item><name>Chipsy</name><sellUnit>1</sellUnit><pricePerUnit>25</pricePerUnit><initialQuantity>30</initialQuantity>
<fromStock>0</fromStock><finalQuantity>30</finalQuantity><soldQuantity>0</soldQuantity><totalAmount>0</totalAmount>
</item></inventory>
)");
    // 600, 350 and 490 ml left: 400, 350 and 210 ml sold for 350.00, 350.00 and 262.50.
    const QString weighings =
        write("costs-w.txt", "8592508053241;1163\n590000342304;973\n8595572479177;1122\n");
    // Rum and crisps below par; the vodka exactly at par, so none of it is ordered.
    const QString costs = write("costs.csv", "EAN;Cost;Par;Supplier\n8592508053241;250,00;2;Drinks\n"
                                             "\"0590000342304\";189.9;0,5;\nChipsy;9,5;40;Snacks\n");
    const QString workbook = tmp.filePath("costs.xlsx");
    TestSupport::ToolRun result = run(
        {"takings", catalogue, weighings, "--last", last, "--costs", costs, "--order", "--xlsx", workbook});
    QCOMPARE(result.code, 0);
    QVERIFY(result.err.contains("Alcohol Sales: 962.50 CZK"));
    // 400/1000 x 250 + 350/700 x 189.90 = 194.95 of 962.50; stock 150.00 + 94.95 + 30 x 9.50.
    QVERIFY2(
        result.out.contains("\nCost of goods sold;194.95\nPour cost;27.85 %\nStock value at cost;529.95\n"
                            "No cost for;Sirup Třtina\n\n"),
        result.out.constData());
    // 2 - 0.60 bottles of rum is 2 to buy, 40 - 30 crisps 10: 2 x 250.00 + 10 x 9.50.
    QVERIFY2(result.out.endsWith("\nEAN;Item;On hand [bottles];Par [bottles];Order [bottles];Supplier\n"
                                 "\"8592508053241\";Rum Tuzemák;0.60;2;2;Drinks\n;Chipsy;30.00;40;10;Snacks\n"
                                 "Order cost;595.00\n"),
             result.out.constData());
    QVERIFY(TestSupport::readFile(workbook).contains("xl/worksheets/sheet3.xml"));

    // Without --costs the output is the sales CSV alone, as before.
    result = run({"takings", catalogue, weighings, "--last", last});
    QCOMPARE(result.code, 0);
    QVERIFY(!result.out.contains("Cost of goods sold"));

    // A bad line is refused with its number, a missing list is no list of costs.
    result = run({"takings", catalogue, weighings, "--costs", write("bad-costs.csv", "8592508053241;25O\n")});
    QCOMPARE(result.code, 1);
    QVERIFY2(result.err.contains("bad-costs.csv: Line 1: cost:"), result.err.constData());
    result = run({"takings", catalogue, weighings, "--costs", tmp.filePath("none.csv")});
    QCOMPARE(result.code, 1);
    QVERIFY(result.err.contains("no such cost list"));
    // An order needs the par levels of a cost list.
    QCOMPARE(run({"takings", catalogue, weighings, "--order"}).code, 64);
}

// The store's issues since the last table fill From Stock, as the window fills it; what --stock set stands.
void tst_TakingsCommand::takingsFillFromStockFromTheIssues()
{
    // The last table ended one second into 1970.
    const QString last = write("issues-last.inv",
                               "<?xml version=\"1.0\"?><inventory><timeStart>0</timeStart><timeEnd>1000</timeEnd>"
                               "<counter>7</counter><bottle ean=\"8592508053241\"><pricePerUnit>35</pricePerUnit>"
                               "<finalQuantity>1000</finalQuantity></bottle><bottle ean=\"0590000342304\">"
                               "<pricePerUnit>40</pricePerUnit><finalQuantity>700</finalQuantity></bottle><item>"
                               "<name>Chipsy</name><pricePerUnit>25</pricePerUnit><finalQuantity>30</finalQuantity>"
                               "</item></inventory>");
    const QString weighings = write("issues-w.txt", "8592508053241;1163\n590000342304;973\n");
    const QString issues = write("deliveries.csv", "Date;Kind;EAN;Quantity;Cost;Supplier\n"
                                                   "1970-01-01T00:00;issue;0590000342304;5;;\n" // before it
                                                   "2000-01-01;delivery;0590000342304;12;2278,80;Drinks\n"
                                                   "2000-01-02;issue;0590000342304;2;;\n"
                                                   "2000-01-03;issue;0590000342304;-1;;\n"
                                                   "2000-01-03;issue;8592508053241;3;;\n"
                                                   "2000-01-03;issue;Chipsy;12;;\n");
    TestSupport::ToolRun result = run({"takings", catalogue, weighings, "--last", last, "--stock",
                                       write("issues-stock.txt", "8592508053241;0,5\n"), "--issues", issues});
    QCOMPARE(result.code, 0);
    const QList<QByteArray> lines = result.out.split('\n');
    // One 0.7 l vodka (2 issued, 1 sent back); the rum's 0.5 l as --stock set it; 12 crisps.
    QVERIFY2(lines.contains("Vodka Kristal;0.04;40.00;0.70;0.70;0.35;0.00;0.35;1.05;1050.00;"),
             result.out.constData());
    QVERIFY(lines.contains("Rum Tuzemák;0.04;35.00;1.00;0.50;0.60;0.00;0.60;0.90;787.50;"));
    QVERIFY2(lines.contains("Chipsy;1.00;25.00;30.00;12.00;;;30.00;12.00;300.00;"), result.out.constData());
    QVERIFY2(result.err.contains("Rows of From Stock filled from the store's issues: 2. Typed values kept: 1."),
             result.err.constData());

    result = run({"takings", catalogue, weighings, "--last", last, "--issues",
                  write("bad-deliveries.csv", "2000-01-02;issue;0590000342304;2;;\n2000-02-30;issue;x;1;;\n")});
    QCOMPARE(result.code, 1);
    QVERIFY2(result.err.contains("bad-deliveries.csv: Line 2: \"2000-02-30\" is no date"), result.err.constData());
}

QTEST_GUILESS_MAIN(tst_TakingsCommand)
#include "tst_takingscommand.moc"
