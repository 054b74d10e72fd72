#include "database.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "settings.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QTextStream>
#include <QtTest>

#include <limits>

namespace {
OverviewRow overviewRow(const QString &ean, const QString &name, qint64 residue, quint64 volume = 700)
{
    OverviewRow row;
    row.ean = ean;
    row.name = name;
    row.residue = residue;
    row.volume = volume;
    return row;
}
} // namespace

class tst_Inventory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void newRowDefaults();
    void rowsFromOverviewSumPerEan();
    void salesExample();
    void negativeSales();
    void zeroSellUnit();
    void input_data();
    void input();
    void litresStored_data();
    void litresStored();
    void decimalsShown_data();
    void decimalsShown();
    void pieces_data();
    void pieces();
    void piecesWithoutBottleVolume();
    void carryOver();
    void removeRows();
    void currencyAndUnitHeaders();
    void headers_data();
    void headers();
    void background();
    void csv();
    void csvNamesAreText_data();
    void csvNamesAreText();

private:
    Inventory *inventory = nullptr;
    QAbstractItemModelTester *tester = nullptr;
};

void tst_Inventory::init()
{
    Settings::setCurrency(Settings::CZK);
    inventory = new Inventory;
    tester = new QAbstractItemModelTester(inventory, QAbstractItemModelTester::FailureReportingMode::QtTest);
    inventory->loadFromOverview({overviewRow("1", "Gin", 350)});
    inventory->calculate();
}

void tst_Inventory::cleanup()
{
    delete tester;
    delete inventory;
    Settings::setCurrency(Settings::CZK);
}

void tst_Inventory::newRowDefaults()
{
    QCOMPARE(inventory->rowCount(), 1);
    QCOMPARE(inventory->columnCount(), 10);
    const QStringList expected{"Gin",  "0.04", "0.00", "0.00",  "0.00",
                               "0.35", "0.00", "0.35", "-0.35", "0.00"};
    for (int column = 0; column < 10; ++column)
        QCOMPARE(inventory->data(inventory->index(0, column)).toString(), expected.at(column));
    QVERIFY(!inventory->modified);
}

void tst_Inventory::rowsFromOverviewSumPerEan()
{
    inventory->loadFromOverview({overviewRow("2", "Rum", 100, 1000), overviewRow("1", "Gin", 350),
                                 overviewRow("2", "Rum again", 250, 500)});
    QCOMPARE(inventory->rows.size(), 2);
    QCOMPARE(inventory->rows.at(0).ean, QStringLiteral("2"));
    QCOMPARE(inventory->rows.at(0).name, QStringLiteral("Rum"));
    QCOMPARE(inventory->rows.at(0).measuredValue, 350);
    QCOMPARE(inventory->rows.at(0).bottleVolume, 1000);
    QCOMPARE(inventory->findRow("1")->measuredValue, 350);
    QVERIFY(!inventory->findRow(QString()));
    QVERIFY(!inventory->findRow("3"));

    // Residues that no bounded catalogue gives must still not overflow the sum.
    const qint64 absurd = std::numeric_limits<qint64>::max() / 2 + 1;
    inventory->loadFromOverview({overviewRow("3", "Absurd", absurd), overviewRow("3", "Absurd", absurd)});
    inventory->calculate();
    QVERIFY(inventory->rows.at(0).measuredValue > 0);
    QVERIFY(inventory->rows.at(0).soldQuantity < 0);
}

void tst_Inventory::salesExample()
{
    SalesRow &row = inventory->rows[0];
    row.residualBottlesVolume = 700;
    row.initialQuantity = 2100;
    row.fromStock = 700;
    row.pricePerUnit = 25;
    QSignalSpy spy(inventory, &Inventory::calculated);
    QVERIFY(spy.isValid());
    inventory->calculate();

    QCOMPARE(spy.count(), 1);
    QCOMPARE(row.finalQuantity, 1050);
    QCOMPARE(row.soldQuantity, 1750);
    QCOMPARE(row.totalAmount, 1093.75);
    QCOMPARE(inventory->total, 1093.75);
    QCOMPARE(inventory->data(inventory->index(0, 9)).toString(), QStringLiteral("1093.75"));
}

void tst_Inventory::negativeSales()
{
    SalesRow &row = inventory->rows[0];
    row.initialQuantity = 200;
    row.pricePerUnit = 10;
    inventory->calculate();
    QCOMPARE(row.soldQuantity, -150);
    QCOMPARE(row.totalAmount, -37.5);
    QCOMPARE(inventory->data(inventory->index(0, 9)).toString(), QStringLiteral("-37.50"));
}

void tst_Inventory::zeroSellUnit()
{
    // A unit of 0 keeps the row out of the takings: its cash-in is 0, never a division by zero.
    QSignalSpy refused(inventory, &Inventory::inputRefused);
    QVERIFY(refused.isValid());
    inventory->rows[0].initialQuantity = 1000;
    QVERIFY(inventory->setData(inventory->index(0, 2), "10"));
    QVERIFY(inventory->setData(inventory->index(0, 1), "0"));
    QCOMPARE(refused.count(), 0);
    QCOMPARE(inventory->rows.at(0).sellUnit, 0);
    QCOMPARE(inventory->rows.at(0).totalAmount, 0.0);
    QCOMPARE(inventory->total, 0.0);
    QCOMPARE(inventory->data(inventory->index(0, 9)).toString(), QStringLiteral("0.00"));
    // A unit typed above 0 that is less than a millilitre would do the same unasked.
    QVERIFY(inventory->setData(inventory->index(0, 1), "0,0004"));
    QCOMPARE(refused.count(), 1);
}

void tst_Inventory::input_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("input");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("refused");

    QTest::newRow("sell unit with a comma") << 1 << QVariant("0,04") << "0.04" << false;
    QTest::newRow("sell unit with a point") << 1 << QVariant("0.05") << "0.05" << false;
    QTest::newRow("thousands with blanks") << 3 << QVariant("1 000,5") << "1000.50" << false;
    QTest::newRow("truncated toward zero") << 3 << QVariant("0.0009") << "0.00" << false;
    QTest::newRow("to the millilitre") << 3 << QVariant("1.327") << "1.327" << false;
    QTest::newRow("negative litres refused") << 5 << QVariant("-0,25") << "0.35" << true;
    QTest::newRow("text keeps the old value") << 1 << QVariant("abc") << "0.04" << true;
    QTest::newRow("empty keeps the old value") << 5 << QVariant("") << "0.35" << true;
    QTest::newRow("a hundred billion litres") << 3 << QVariant("100000000000") << "100000000000.00" << false;
    // So large that the sums of the row would overflow: as unusable as text.
    QTest::newRow("beyond any stock") << 3 << QVariant("10000000000000") << "0.00" << true;
    QTest::newRow("price with a comma") << 2 << QVariant("12,50") << "12.5" << false;
    QTest::newRow("price as a number") << 2 << QVariant(7.25) << "7.25" << false;
    QTest::newRow("bad price") << 2 << QVariant("twelve") << "0" << true;
    QTest::newRow("price with a currency") << 2 << QVariant("45 Kc") << "0" << true;
    QTest::newRow("two separators") << 2 << QVariant("1.234,50") << "0" << true;
    QTest::newRow("name") << 0 << QVariant("Gin Special") << "Gin Special" << false;
    QTest::newRow("from stock in litres") << 4 << QVariant("0,7") << "0.70" << false;
    QTest::newRow("bottles in litres") << 6 << QVariant("1.4") << "1.40" << false;
    QTest::newRow("computed column ignores input") << 8 << QVariant("5") << "-0.35" << false;
    QTest::newRow("a half without its zero, comma") << 4 << QVariant(",5") << "0.50" << false;
    QTest::newRow("a half without its zero, point") << 3 << QVariant(".5") << "0.50" << false;
    QTest::newRow("a separator alone") << 3 << QVariant(",") << "0.00" << true;
    QTest::newRow("sent back to the store") << 4 << QVariant("-0,7") << "-0.70" << false;
    QTest::newRow("sent back, minus sign") << 4 << QVariant(QChar(0x2212) + QStringLiteral("0.7")) << "-0.70"
                                           << false;
    QTest::newRow("negative bottles refused") << 6 << QVariant("-1") << "0.00" << true;
}

void tst_Inventory::input()
{
    QFETCH(int, column);
    QFETCH(QVariant, input);
    QFETCH(QString, shown);
    QFETCH(bool, refused);

    QSignalSpy spy(inventory, &Inventory::calculated);
    QSignalSpy refusals(inventory, &Inventory::inputRefused);
    QVERIFY(spy.isValid() && refusals.isValid());
    QVERIFY(inventory->setData(inventory->index(0, column), input, Qt::EditRole));
    QCOMPARE(inventory->data(inventory->index(0, column), Qt::EditRole).toString(), shown);
    // Input that was not taken is no change, and the user is told why; a computed column just ignores it.
    const bool taken = column != 8 && !refused;
    QCOMPARE(inventory->modified, taken);
    QCOMPARE(spy.count(), taken ? 1 : 0);
    QCOMPARE(refusals.count(), refused ? 1 : 0);
}

void tst_Inventory::litresStored_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<qint64>("millilitres");

    // Each of these times 1000 lands a hair under the whole number in binary.
    QTest::newRow("2,01") << "2,01" << 2010ll;
    QTest::newRow("16.13") << "16.13" << 16130ll;
    QTest::newRow("1.001") << "1.001" << 1001ll;
    QTest::newRow("thousands with blanks") << "1 000,5" << 1000500ll;
    QTest::newRow("fraction of a millilitre cut") << "1.0019" << 1001ll;
}

void tst_Inventory::litresStored()
{
    QFETCH(QString, input);
    QFETCH(qint64, millilitres);

    QVERIFY(inventory->setData(inventory->index(0, 3), input));
    QCOMPARE(inventory->rows.at(0).initialQuantity, millilitres);
    QVERIFY(inventory->setData(inventory->index(0, 1), input));
    QCOMPARE(inventory->rows.at(0).sellUnit, millilitres);
}

void tst_Inventory::decimalsShown_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<qint64>("millilitres");
    QTest::addColumn<QString>("shown");

    // Quantities with two decimals in every row, so that a column reads down; a sell unit exactly, as the
    // cash is divided by it.
    QTest::newRow("3 ml initial") << 3 << 3ll << "0.00";
    QTest::newRow("4 ml from stock") << 4 << 4ll << "0.00";
    QTest::newRow("-2 ml from stock") << 4 << -2ll << "-0.00";
    QTest::newRow("1327 ml initial") << 3 << 1327ll << "1.33";
    QTest::newRow("sell unit 25 ml") << 1 << 25ll << "0.025";
    QTest::newRow("sell unit 40 ml") << 1 << 40ll << "0.04";
    QTest::newRow("sell unit half a litre") << 1 << 500ll << "0.50";
    QTest::newRow("sell unit 1 ml") << 1 << 1ll << "0.001";
}

void tst_Inventory::decimalsShown()
{
    QFETCH(int, column);
    QFETCH(qint64, millilitres);
    QFETCH(QString, shown);

    SalesRow &row = inventory->rows[0];
    (column == 1 ? row.sellUnit : column == 3 ? row.initialQuantity : row.fromStock) = millilitres;
    inventory->calculate();
    QCOMPARE(inventory->data(inventory->index(0, column)).toString(), shown);
    QString csv;
    QTextStream out(&csv);
    QVERIFY(inventory->saveToCSV(out));
    out.flush();
    QCOMPARE(csv.split(QLatin1Char('\n')).at(1).split(QLatin1Char(';')).at(column), shown);
}

void tst_Inventory::pieces_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("input");
    QTest::addColumn<qint64>("stored");
    QTest::addColumn<QString>("shownInPieces");
    QTest::addColumn<QString>("shownInLitres");

    QTest::newRow("two bottles") << 6 << QVariant("2") << 1400ll << "2.000"
                                 << "1.40";
    QTest::newRow("two bottles from stock") << 4 << QVariant(2) << 1400ll << "2.000"
                                            << "1.40";
    QTest::newRow("fraction refused") << 6 << QVariant("1.5") << 0ll << "0.000"
                                      << "0.00";
    QTest::newRow("a bottle sent back") << 4 << QVariant("-1") << -700ll << "-1.000"
                                        << "-0.70";
    QTest::newRow("negative bottles refused") << 6 << QVariant("-1") << 0ll << "0.000"
                                              << "0.00";
    QTest::newRow("more bottles than fit the sums") << 4 << QVariant("9000000000000000") << 0ll << "0.000"
                                                    << "0.00";
    QTest::newRow("whole, with decimals") << 6 << QVariant("2,000") << 1400ll << "2.000"
                                          << "1.40";
}

void tst_Inventory::pieces()
{
    QFETCH(int, column);
    QFETCH(QVariant, input);
    QFETCH(qint64, stored);
    QFETCH(QString, shownInPieces);
    QFETCH(QString, shownInLitres);

    inventory->selectPiecesStock();
    inventory->selectPiecesFinal();
    QVERIFY(inventory->setData(inventory->index(0, column), input));
    const SalesRow &row = inventory->rows.at(0);
    QCOMPARE(column == 6 ? row.residualBottlesVolume : row.fromStock, stored);
    QCOMPARE(inventory->data(inventory->index(0, column)).toString(), shownInPieces);
    inventory->selectLitresStock();
    inventory->selectLitresFinal();
    QCOMPARE(inventory->data(inventory->index(0, column)).toString(), shownInLitres);
}

void tst_Inventory::piecesWithoutBottleVolume()
{
    inventory->loadFromOverview({overviewRow("1", "Gin", 350, 0)});
    inventory->rows[0].residualBottlesVolume = 500;
    inventory->selectPiecesFinal();
    QCOMPARE(inventory->data(inventory->index(0, 6)).toString(), QStringLiteral("Err"));
    QVERIFY(inventory->setData(inventory->index(0, 6), "3"));
    QCOMPARE(inventory->rows.at(0).residualBottlesVolume, 500);
}

void tst_Inventory::carryOver()
{
    inventory->loadFromOverview({overviewRow("1", "Gin", 350), overviewRow("2", "Rum", 100)});
    SalesRow older;
    older.ean = "2";
    older.sellUnit = 20;
    older.pricePerUnit = 30;
    older.finalQuantity = 900;
    older.fromStock = 5000;
    older.measuredValue = 1;
    SalesRow unknown = older;
    unknown.ean = "9";
    inventory->carryOver({unknown, older});

    const SalesRow *rum = inventory->findRow("2");
    QCOMPARE(rum->sellUnit, 20);
    QCOMPARE(rum->pricePerUnit, 30.0);
    QCOMPARE(rum->initialQuantity, 900);
    QCOMPARE(rum->fromStock, 0);
    QCOMPARE(rum->measuredValue, 100);
    QCOMPARE(rum->totalAmount, 800 / 20 * 30.0);
    QCOMPARE(inventory->findRow("1")->initialQuantity, 0);
    QVERIFY(inventory->modified);
}

void tst_Inventory::removeRows()
{
    inventory->loadFromOverview({overviewRow("1", "Gin", 350), overviewRow("2", "Rum", 100)});
    inventory->rows[1].initialQuantity = 140;
    inventory->rows[1].pricePerUnit = 10;
    inventory->rows[0].pricePerUnit = 4;
    inventory->calculate();
    QCOMPARE(inventory->total, 10.0 - 35.0);
    QVERIFY(inventory->removeRows(0, 1));
    QCOMPARE(inventory->rows.size(), 1);
    QCOMPARE(inventory->total, 10.0);
    QVERIFY(inventory->modified);
}

void tst_Inventory::currencyAndUnitHeaders()
{
    const auto header = [this](int section) {
        return inventory->headerData(section, Qt::Horizontal).toString();
    };
    QCOMPARE(header(2), QStringLiteral("Price per\nUnit\n[CZK]"));
    QCOMPARE(header(9), QStringLiteral("Cash In\n[CZK]"));
    QCOMPARE(header(4), QStringLiteral("From Stock\n[L]"));

    inventory->rows[0].pricePerUnit = 12.5;
    qRegisterMetaType<Qt::Orientation>();
    QSignalSpy headerSpy(inventory, &QAbstractItemModel::headerDataChanged);
    QVERIFY(headerSpy.isValid());
    inventory->selectEUR();
    inventory->selectPiecesStock();
    inventory->selectPiecesFinal();
    QCOMPARE(headerSpy.count(), 3);
    QCOMPARE(Settings::currencyName(), QStringLiteral("EUR"));
    QCOMPARE(header(2), QStringLiteral("Price per\nUnit\n[EUR]"));
    QCOMPARE(header(9), QStringLiteral("Cash In\n[EUR]"));
    QCOMPARE(header(4), QStringLiteral("From Stock\n[Pieces]"));
    QCOMPARE(header(6), QStringLiteral("Bottles\nQuantity\n[Pieces]"));
    QCOMPARE(inventory->rows.at(0).pricePerUnit, 12.5);
    QCOMPARE(header(10), QStringLiteral("---"));
    QVERIFY(!inventory->headerData(1, Qt::Vertical).isValid());
    QVERIFY(!inventory->headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
    QCOMPARE(inventory->headerData(3, Qt::Horizontal, Qt::ToolTipRole).toString(),
             QStringLiteral("Reads the final stock of the last saved table as the initial stock for working out "
                            "the sales."));
}

void tst_Inventory::headers_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("toolTip");

    QTest::newRow("0") << 0 << "Loaded Items" << QString();
    QTest::newRow("1") << 1 << "Sell\nUnit\n[L]"
                       << QString::fromUtf8("The volume can be edited; it is 0.04 l unless changed.");
    QTest::newRow("2") << 2 << "Price per\nUnit\n[CZK]"
                       << QString::fromUtf8("Set it at the first count only: the prices are read from the "
                                            "last saved table. Click to choose CZK or EUR.");
    QTest::newRow("3") << 3 << "Initial\nQuantity\n[L]"
                       << QString::fromUtf8("Reads the final stock of the last saved table as the initial "
                                            "stock for working out the sales.");
    QTest::newRow("4") << 4 << "From Stock\n[L]"
                       << QString::fromUtf8("The quantities taken from stock to the bar can be added per "
                                            "item. Click to choose bottles or litres as the unit.");
    QTest::newRow("5") << 5 << "Measured\nQuantity\n[L]"
                       << QString::fromUtf8("Shows the weighings downloaded from Quarmel.");
    QTest::newRow("6") << 6 << "Bottles\nQuantity\n[L]"
                       << QString::fromUtf8("The final stock of the bar that Quarmel did not weigh can be "
                                            "added. Click to choose bottles or litres as the unit.");
    QTest::newRow("7") << 7 << "Final\nQuantity\n[L]"
                       << QString::fromUtf8("Shows the sum of the weighed stock and the whole bottles.");
    QTest::newRow("8") << 8 << "Sold\nQuantity\n[L]"
                       << QString::fromUtf8("Shows the initial stock plus the stock taken, less the final "
                                            "stock.");
    QTest::newRow("9") << 9 << "Cash In\n[CZK]" << QStringLiteral("Shows the sales in the chosen currency.");
    QTest::newRow("other") << 10 << "---" << QString();
}

void tst_Inventory::headers()
{
    QFETCH(int, section);
    QFETCH(QString, header);
    QFETCH(QString, toolTip);

    QCOMPARE(inventory->headerData(section, Qt::Horizontal, Qt::DisplayRole).toString(), header);
    const QVariant tip = inventory->headerData(section, Qt::Horizontal, Qt::ToolTipRole);
    QCOMPARE(tip.isValid(), !toolTip.isNull());
    QCOMPARE(tip.toString(), toolTip.isNull() ? QString() : toolTip);
    QVERIFY(!inventory->headerData(section, Qt::Horizontal, Qt::TextAlignmentRole).isValid());
    QVERIFY(!inventory->headerData(section, Qt::Vertical, Qt::ToolTipRole).isValid());

    // Everything the user types goes into columns 0 to 6; 7 to 9 are computed.
    if (section > 9)
        return;
    const QModelIndex cell = inventory->index(0, section);
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (section <= 6)
        flags |= Qt::ItemIsEditable;
    QCOMPARE(inventory->flags(cell), flags);
    const QVariant alignment = inventory->data(cell, Qt::TextAlignmentRole);
    QCOMPARE(alignment.isValid(), section != 0);
    if (section != 0)
        QCOMPARE(alignment.toInt(), int(Qt::AlignCenter));
}

void tst_Inventory::background()
{
    inventory->loadFromOverview({overviewRow("C100", "House cocktail", 0), overviewRow("c100", "Lower", 0),
                                 overviewRow("1C", "Gin", 0)});
    for (int column = 0; column < 10; ++column)
        QCOMPARE(inventory->data(inventory->index(0, column), Qt::BackgroundRole).value<QColor>(),
                 QColor(232, 232, 232));
    QVERIFY(!inventory->data(inventory->index(1, 0), Qt::BackgroundRole).isValid());
    QVERIFY(!inventory->data(inventory->index(2, 3), Qt::BackgroundRole).isValid());
}

void tst_Inventory::csv()
{
    inventory->loadFromOverview({overviewRow("1", "Gin", 350), overviewRow("2", "Rum; \"old\"", 700)});
    inventory->rows[0].residualBottlesVolume = 700;
    inventory->rows[0].initialQuantity = 2100;
    inventory->rows[0].fromStock = 700;
    inventory->rows[0].pricePerUnit = 25;
    inventory->calculate();

    QString text;
    QTextStream out(&text);
    QVERIFY(inventory->saveToCSV(out));
    out.flush();
    QCOMPARE(text, QStringLiteral(
                       "Loaded Items;Sell Unit [L];Price per Unit [CZK];Initial Quantity [L];From Stock [L];"
                       "Measured Quantity [L];Bottles Quantity [L];Final Quantity [L];Sold Quantity [L];"
                       "Cash In [CZK];\n"
                       "Gin;0.04;25.00;2.10;0.70;0.35;0.70;1.05;1.75;1093.75;\n"
                       "\"Rum; \"\"old\"\"\";0.04;0.00;0.00;0.00;0.70;0.00;0.70;-0.70;0.00;\n"));
}

void tst_Inventory::csvNamesAreText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("readBack"); // a catalogue import of the written field gives the name

    QTest::newRow("formula") << "=1+1" << "'=1+1" << true;
    QTest::newRow("plus") << "+420 Vodka" << "'+420 Vodka" << true;
    QTest::newRow("minus") << "-Gin" << "'-Gin" << true;
    QTest::newRow("at") << "@SUM(A1)" << "'@SUM(A1)" << true;
    QTest::newRow("tab before a formula") << "\t=1" << "'\t=1" << true;
    QTest::newRow("plain name") << "Gin" << "Gin" << true;
    QTest::newRow("formula sign inside") << "Gin=Rum" << "Gin=Rum" << true;
    QTest::newRow("apostrophe of its own") << "'Gin" << "'Gin" << true;
    QTest::newRow("formula with the separator") << "=A1;B1" << "\"'=A1;B1\"" << false;
}

// A name from the station, an import or an update must not run as a formula in a spreadsheet, in any CSV
// the program writes; the numbers next to it stay numbers.
void tst_Inventory::csvNamesAreText()
{
    QFETCH(QString, name);
    QFETCH(QString, written);
    QFETCH(bool, readBack);

    const auto secondLine = [](const QString &text) { return text.split(QLatin1Char('\n')).value(1); };
    inventory->loadFromOverview({overviewRow("1", name, 350)});
    inventory->calculate();
    QString sales;
    QTextStream salesOut(&sales);
    QVERIFY(inventory->saveToCSV(salesOut));
    salesOut.flush();
    QCOMPARE(secondLine(sales), written + QStringLiteral(";0.04;0.00;0.00;0.00;0.35;0.00;0.35;-0.35;0.00;"));

    ItemInventory items;
    items.insertRows(0, 1);
    items.rows[0].name = name;
    items.rows[0].fromStock = -2;
    items.calculate();
    QString appended;
    QTextStream itemsOut(&appended);
    QVERIFY(items.saveToCSV(itemsOut));
    itemsOut.flush();
    QCOMPARE(secondLine(appended), written + QStringLiteral(";1.00;0.00;0.00;-2.00;;;0.00;-2.00;0.00;"));

    InventoryBottleList overview;
    overview.rows = {overviewRow("1", name, 350), overviewRow("=1+1", "Gin", 0)};
    const QStringList lines = QString::fromUtf8(overview.toCSV()).split(QLatin1Char('\n'));
    QCOMPARE(lines.value(1), QStringLiteral("\"1\";") + written + ";350");
    QCOMPARE(lines.value(2), QStringLiteral("\"'=1+1\";Gin;0"));

    if (readBack) {
        const QByteArray line = ("1;" + written + ";" + written + ";1;2;3").toUtf8();
        const QList<Bottle> imported = Database::parseCsv(line);
        QCOMPARE(imported.size(), 1);
        QCOMPARE(imported.at(0).fullName, name);
        QCOMPARE(imported.at(0).displayName, name);
    }
}

QTEST_MAIN(tst_Inventory)
#include "tst_inventory.moc"
