#include "countdocument.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "tablefile.h"
#include "samplecount.h"
#include "testsupport.h"
#include "tillcomparison.h"
#include "tillsales.h"
#include "workbook.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

// Comparing a count with the till: reading real-shaped sales exports, matching and variance, keeping the
// till figures in the table file, and the workbook as a spreadsheet program reads it.
class tst_Till : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void readExports_data();
    void readExports();
    void varianceWorkedByHand();
    void tableFileKeepsTillForOlderReaders();
    void workbookHoldsNumbersFormatsAndFormulas();

private:
    QTemporaryDir tmp;
    Inventory *inventory = nullptr;
    ItemInventory *items = nullptr;
};

// The second count worked by hand in the docs, plus one appended item.
void tst_Till::init()
{
    inventory = new Inventory;
    items = new ItemInventory;
    inventory->rows = TestSupport::secondCountRows();
    inventory->calculate();
    AppendedItem kofola;
    kofola.name = QStringLiteral("Kofola");
    kofola.pricePerUnit = 35;
    kofola.initialQuantity = 24;
    kofola.finalQuantity = 14;
    items->rows = {kofola};
    items->calculate();
}

void tst_Till::cleanup()
{
    delete inventory;
    delete items;
}

void tst_Till::readExports_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("lines");
    QTest::addColumn<double>("sum");
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<int>("rejected");

    QTest::newRow("UTF-8 with BOM, ';', decimal comma, till's total")
        << QByteArray("\xEF\xBB\xBFK\xC3\xB3"
                      "d;N\xC3\xA1zev;Mno\xC5\xBEstv\xC3\xAD;Tr\xC5\xBE"
                      "ba\r\n"
                      "8592508053241;Rum Tuzem\xC3\xA1k;1;35,00\r\n"
                      ";Sirup;13;1 130,50 K\xC4\x8D\r\n\r\n"
                      "Celkem;;;1 165,50\r\n")
        << true << 2 << 1165.5 << QString::fromUtf8("Rum Tuzemák") << 1;
    QTest::newRow("',' separator, quoted decimal comma, grouped thousands, a column to pass over")
        << QByteArray("Product,Discount,Qty,Amount\n\"Rum, dark\",0,1,\"1.234,50\"\nGin,x,2,\"1,000.25\"\n"
                      "Tonic,,3,12.5\n")
        << true << 3 << 2247.25 << QStringLiteral("Rum, dark") << 0;
    QTest::newRow("Windows-1250 without quantities")
        << QByteArray("N\xE1zev polo\x9Eky;\xC8\xE1stka\nSlivovice \x8Akoln\xED;45,5\n") << true << 1 << 45.5
        << QString::fromUtf8("Slivovice Školní") << 0;
    QTest::newRow("damaged lines are named, not dropped")
        << QByteArray("name;quantity;amount\nRum;1;35\nGin;x;40\nVodka;2\n;3;10\n\xFF\xFE\x00\x01;1;zz\n")
        << true << 1 << 35.0 << QStringLiteral("Rum") << 4;
    QTest::newRow("no header naming the columns")
        << QByteArray("Rum;1;35\nGin;2;40\n") << false << 0 << 0.0 << QString() << 0;
}

void tst_Till::readExports()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);

    TillFigures figures;
    QStringList rejected;
    QString reason;
    QCOMPARE(TillSales::parse(bytes, &figures, &rejected, &reason), ok);
    QCOMPARE(reason.isEmpty(), ok);
    QTEST(int(figures.lines.size()), "lines");
    QTEST(figures.total(), "sum");
    QTEST(int(rejected.size()), "rejected");
    if (!figures.lines.isEmpty())
        QTEST(figures.lines.first().name, "firstName");
}

void tst_Till::varianceWorkedByHand()
{
    TillFigures figures;
    QStringList rejected;
    QVERIFY(TillSales::parse("PLU;Item;Qty;Sales\n"
                             "8592508053241;Rum Tuzemak Kapitan 4cl;1;35,00\n"
                             ";Sirup trtinovy;13;130,00\n"
                             "590000342304;Vodka;2;80,00\n"
                             ";KOFOLA;10;350\n"
                             ";Chipsy;3;75,00\n",
                             &figures, &rejected, nullptr));
    QVERIFY(rejected.isEmpty());

    // Given no corrections: codes match with or without leading zeros, names without case or accents.
    TillMatches matches;
    TillComparison result = TillComparison::compare(*inventory, *items, figures, matches);
    QCOMPARE(result.rows.size(), 3);
    QCOMPARE(result.unmatchedTill.size(), 2);
    QCOMPARE(result.unmatchedTill.at(0).name, QStringLiteral("Sirup trtinovy"));
    QCOMPARE(result.unmatchedRows, QStringList{QString::fromUtf8("Sirup Cukrový Třtinový (8595572479177)")});

    // When the user matches the sirup once, the correction is kept in its file and applies next time.
    matches.targets.insert(TillMatches::keyOf(result.unmatchedTill.at(0)),
                           TillMatches::bottleTarget(QStringLiteral("8595572479177")));
    const QString path = tmp.filePath(QStringLiteral("tillMatches.txt"));
    QVERIFY(matches.save(path));
    TillMatches remembered;
    remembered.load(path);
    result = TillComparison::compare(*inventory, *items, figures, remembered);

    // Then: the variances of docs/takings.md, to the cent.
    QCOMPARE(result.rows.size(), 4);
    QCOMPARE(result.unmatchedTill.size(), 1);
    QVERIFY(result.unmatchedRows.isEmpty());
    const struct
    {
        double expected, till, money, units, percent;
    } wanted[] = {
        {46.375, 35, 11.375, 0.325, 24.528}, // Rum: 53 ml is 1.325 portions, 1 rung up
        {139.5, 130, 9.5, 0.95, 6.810},      // Sirup: 279 ml is 13.95 portions, 13 rung up
        {71, 80, -9, -0.225, -12.676},       // Vodka: 71 ml is 1.775 portions, 2 rung up
        {350, 350, 0, 0, 0},                 // Kofola: 10 pieces, 10 rung up
    };
    for (int i = 0; i < 4; ++i) {
        const TillVariance &row = result.rows.at(i);
        QCOMPARE(row.expected, wanted[i].expected);
        QCOMPARE(row.till, wanted[i].till);
        QVERIFY2(std::fabs(row.money - wanted[i].money) < 1e-9, qPrintable(row.name));
        QVERIFY2(std::fabs(row.units - wanted[i].units) < 1e-9, qPrintable(row.name));
        QVERIFY2(std::fabs(row.percent - wanted[i].percent) < 1e-3, qPrintable(row.name));
    }
    QCOMPARE(result.expected, 606.875);
    QCOMPARE(result.till, 670.0);
    QCOMPARE(result.variance, -63.125);

    // A kept correction towards a row this count does not have leaves the product listed, not lost.
    remembered.targets.insert(TillMatches::keyOf(result.unmatchedTill.at(0)),
                              TillMatches::bottleTarget(QStringLiteral("8590000000000")));
    result = TillComparison::compare(*inventory, *items, figures, remembered);
    QCOMPARE(result.unmatchedTill.size(), 1);
    QCOMPARE(result.unmatchedTill.at(0).name, QStringLiteral("Chipsy"));

    // A typed amount for the period is the till's total, whatever the lines add up to.
    figures.hasAmount = true;
    figures.amount = 600;
    result = TillComparison::compare(*inventory, *items, figures, remembered);
    QCOMPARE(result.variance, 6.875);
}

void tst_Till::tableFileKeepsTillForOlderReaders()
{
    TillFigures till;
    till.hasAmount = true;
    till.amount = 1234.56;
    till.hasQuantities = true;
    till.lines = {{QStringLiteral("8592508053241"), QStringLiteral("Rum <4cl> & \"dark\""), 1, 35},
                  {QString(), QStringLiteral("bottle"), 2.5, 0.1}};
    const QString plain = tmp.filePath(QStringLiteral("plain.inv"));
    const QString withTill = tmp.filePath(QStringLiteral("till.inv"));
    QVERIFY(TableFile::writeFile(plain, TableFile::gather(*inventory, *items).bytes()));
    QVERIFY(TableFile::writeFile(withTill, TableFile::gather(*inventory, *items, &till).bytes()));
    QVERIFY(TestSupport::readFile(withTill).contains("<till "));

    // The readers every copy of the program has take the same from both files.
    QList<OverviewRow> overview;
    for (const SalesRow &row : inventory->rows)
        overview.append({row.ean, row.name, 0, 700, 0, {}});
    Inventory fromPlain;
    Inventory fromTill;
    ItemInventory itemsFromPlain;
    ItemInventory itemsFromTill;
    for (Inventory *table : {&fromPlain, &fromTill})
        table->loadFromOverview(overview);
    CountDocument plainDocument;
    CountDocument tillDocument;
    QVERIFY(CountDocument::read(plain, &plainDocument).ok());
    QVERIFY(CountDocument::read(withTill, &tillDocument).ok());
    fromPlain.startFrom(plainDocument.rows, plainDocument.counter, plainDocument.end);
    fromTill.startFrom(tillDocument.rows, tillDocument.counter, tillDocument.end);
    itemsFromPlain.startFrom(plainDocument.items);
    itemsFromTill.startFrom(tillDocument.items);
    QCOMPARE(fromTill.counter, fromPlain.counter);
    QCOMPARE(fromTill.rows.size(), 3);
    for (int i = 0; i < fromTill.rows.size(); ++i) {
        QCOMPARE(fromTill.rows.at(i).initialQuantity, fromPlain.rows.at(i).initialQuantity);
        QCOMPARE(fromTill.rows.at(i).pricePerUnit, fromPlain.rows.at(i).pricePerUnit);
        QCOMPARE(fromTill.rows.at(i).sellUnit, fromPlain.rows.at(i).sellUnit);
    }
    QCOMPARE(itemsFromTill.rows.size(), 1);
    QCOMPARE(itemsFromTill.rows.at(0).name, itemsFromPlain.rows.at(0).name);
    QCOMPARE(itemsFromTill.rows.at(0).initialQuantity, itemsFromPlain.rows.at(0).initialQuantity);

    // And the count reopens with its till figures; a file without them has none.
    TillFigures read = tillDocument.till;
    QCOMPARE(read.hasAmount, true);
    QCOMPARE(read.amount, 1234.56);
    QCOMPARE(read.hasQuantities, true);
    QCOMPARE(read.lines.size(), 2);
    QCOMPARE(read.lines.at(0).name, till.lines.at(0).name);
    QCOMPARE(read.lines.at(0).code, till.lines.at(0).code);
    QCOMPARE(read.lines.at(1).quantity, 2.5);
    QCOMPARE(read.lines.at(1).amount, 0.1);
    QVERIFY(plainDocument.till.isEmpty());
}

void tst_Till::workbookHoldsNumbersFormatsAndFormulas()
{
    TillFigures figures;
    QStringList rejected;
    QVERIFY(TillSales::parse("code;amount\n8592508053241;35\n", &figures, &rejected, nullptr));
    const TillComparison till = TillComparison::compare(*inventory, *items, figures, TillMatches());
    const QString path = tmp.filePath(QStringLiteral("sales.xlsx"));
    QVERIFY(TestSupport::writeFile(path, "the previous workbook"));
    QString reason;
    QVERIFY2(Workbook::writeSales(path, *inventory, *items, &till, &reason), qPrintable(reason));

    // Read back as a spreadsheet program does: the cell types, formats and formulas it stores.
    QString error;
    const QJsonObject book = TestSupport::readWorkbook(path, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(book.value(QStringLiteral("sheets")).toArray().size(), 2);
    const QJsonObject sales = book.value(QStringLiteral("Sales")).toObject();
    const QJsonObject cells = sales.value(QStringLiteral("cells")).toObject();
    const auto at = [&cells](const char *cell) { return cells.value(QLatin1String(cell)).toArray(); };

    QCOMPARE(sales.value(QStringLiteral("freeze")).toString(), QStringLiteral("A2"));
    QCOMPARE(at("A1").at(0).toString(), QStringLiteral("EAN"));
    QVERIFY(at("K1").at(3).toBool());
    // The EAN keeps its leading zero as text; quantities and money are numbers with their formats.
    QCOMPARE(at("A4").at(0).toString(), QStringLiteral("0590000342304"));
    QCOMPARE(at("A4").at(1).toString(), QStringLiteral("s"));
    QCOMPARE(at("J3").at(0).toDouble(), 0.279);
    QCOMPARE(at("J3").at(1).toString(), QStringLiteral("n"));
    QCOMPARE(at("J3").at(2).toString(), QStringLiteral("0.000 \"l\""));
    QCOMPARE(at("K2").at(0).toDouble(), 46.375);
    QCOMPARE(at("K2").at(2).toString(), QStringLiteral("#,##0.00 \"CZK\""));
    // The appended item under the bottles, after an empty row and its own bold header.
    QVERIFY(at("B6").at(3).toBool());
    QCOMPARE(at("B7").at(0).toString(), QStringLiteral("Kofola"));
    QCOMPARE(at("K7").at(0).toDouble(), 350.0);
    // The totals are formulas over the cells above.
    QCOMPARE(at("K9").at(0).toString(), QStringLiteral("=SUM(K2:K4)"));
    QCOMPARE(at("K10").at(0).toString(), QStringLiteral("=SUM(K7:K7)"));
    QCOMPARE(at("K11").at(0).toString(), QStringLiteral("=K9+K10"));
    QCOMPARE(at("K11").at(1).toString(), QStringLiteral("f"));

    const QJsonObject tillCells =
        book.value(QStringLiteral("Till")).toObject().value(QStringLiteral("cells")).toObject();
    QCOMPARE(tillCells.value(QStringLiteral("D2")).toArray().at(0).toDouble(), 35.0);
    QCOMPARE(tillCells.value(QStringLiteral("E2")).toArray().at(0).toString(), QStringLiteral("=C2-D2"));
    QCOMPARE(tillCells.value(QStringLiteral("C4")).toArray().at(0).toString(),
             QStringLiteral("='Sales'!K11"));
}

QTEST_GUILESS_MAIN(tst_Till)
#include "tst_till.moc"
