#include "iteminventory.h"
#include "settings.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

class tst_ItemInventory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void newRow();
    void sales_data();
    void sales();
    void editing_data();
    void editing();
    void columns_data();
    void columns();
    void insertAndRemove();
    void indexStaysInsideTheTable();
    void csvLine();
    void load_data();
    void load();
    void loadOfMissingFileKeepsItems();

private:
    ItemInventory *items = nullptr;
    QAbstractItemModelTester *tester = nullptr;
    QTemporaryDir tmp;
};

void tst_ItemInventory::init()
{
    Settings::setCurrency(Settings::CZK);
    items = new ItemInventory;
    tester = new QAbstractItemModelTester(items, QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void tst_ItemInventory::cleanup()
{
    delete tester;
    delete items;
}

void tst_ItemInventory::newRow()
{
    QSignalSpy spy(items, &ItemInventory::calculated);
    QVERIFY(spy.isValid());
    QVERIFY(items->insertRows(0, 1));
    QCOMPARE(spy.count(), 1);
    QVERIFY(items->modified);
    const QStringList expected{"", "1.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00"};
    for (int column = 0; column < 8; ++column)
        QCOMPARE(items->data(items->index(0, column)).toString(), expected.at(column));
    QCOMPARE(items->data(items->index(0, 8)).toString(), QStringLiteral("---"));
    QCOMPARE(items->headerData(7, Qt::Horizontal).toString(), QStringLiteral("Sales\n[CZK]"));
    QCOMPARE(items->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Price per\nUnit\n[CZK]"));
}

void tst_ItemInventory::columns_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("header");
    QTest::addColumn<bool>("editable");
    QTest::addColumn<bool>("centred");

    QTest::newRow("name") << 0 << "Appended Items" << true << false;
    QTest::newRow("sell unit") << 1 << "Sell\nUnit [pcs]" << true << true;
    QTest::newRow("price") << 2 << "Price per\nUnit\n[EUR]" << true << true;
    QTest::newRow("initial") << 3 << "Initial\nQuantity [pcs]" << true << true;
    QTest::newRow("from stock") << 4 << "From Stock [pcs]" << true << true;
    QTest::newRow("final") << 5 << "Final\nQuantity [pcs]" << true << true;
    // Overwritten by the next recalculation, but open to the editor all the same.
    QTest::newRow("sold") << 6 << "Sold\nQuantity [pcs]" << true << true;
    QTest::newRow("sales") << 7 << "Sales\n[EUR]" << false << true;
}

void tst_ItemInventory::columns()
{
    QFETCH(int, column);
    QFETCH(QString, header);
    QFETCH(bool, editable);
    QFETCH(bool, centred);

    // The table has no currency of its own; it follows the one chosen in the sales table.
    Settings::setCurrency(Settings::EUR);
    items->insertRows(0, 1);
    QCOMPARE(items->headerData(column, Qt::Horizontal).toString(), header);
    QVERIFY(!items->headerData(column, Qt::Horizontal, Qt::ToolTipRole).isValid());
    QVERIFY(!items->headerData(column, Qt::Vertical).isValid());
    const QModelIndex cell = items->index(0, column);
    Qt::ItemFlags expected = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (editable)
        expected |= Qt::ItemIsEditable;
    QCOMPARE(items->flags(cell), expected);
    QCOMPARE(items->data(cell, Qt::TextAlignmentRole).isValid(), centred);
    if (centred)
        QCOMPARE(items->data(cell, Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    QVERIFY(!items->data(cell, Qt::ToolTipRole).isValid());
    Settings::setCurrency(Settings::CZK);
}

void tst_ItemInventory::sales_data()
{
    QTest::addColumn<double>("sellUnit");
    QTest::addColumn<double>("price");
    QTest::addColumn<double>("initial");
    QTest::addColumn<double>("fromStock");
    QTest::addColumn<double>("final");
    QTest::addColumn<double>("sold");
    QTest::addColumn<double>("sales");

    QTest::newRow("water") << 1.0 << 30.0 << 24.0 << 12.0 << 10.0 << 26.0 << 780.0;
    QTest::newRow("half a piece per unit") << 0.5 << 20.0 << 3.0 << 0.0 << 0.0 << 3.0 << 120.0;
    // A sell unit of 0 keeps the item out of the takings, without a division by zero.
    QTest::newRow("zero sell unit") << 0.0 << 20.0 << 3.0 << 0.0 << 0.0 << 3.0 << 0.0;
    QTest::newRow("pieces sent back to the store") << 1.0 << 10.0 << 5.0 << -2.0 << 1.0 << 2.0 << 20.0;
    QTest::newRow("more at the end") << 1.0 << 10.0 << 1.0 << 0.0 << 3.0 << -2.0 << -20.0;
}

void tst_ItemInventory::sales()
{
    QFETCH(double, sellUnit);
    QFETCH(double, price);
    QFETCH(double, initial);
    QFETCH(double, fromStock);
    QFETCH(double, final);
    QFETCH(double, sold);
    QFETCH(double, sales);

    items->insertRows(0, 2);
    const QList<double> values{sellUnit, price, initial, fromStock, final};
    for (int i = 0; i < values.size(); ++i)
        QVERIFY(items->setData(items->index(1, i + 1), values.at(i)));
    QCOMPARE(items->rows.at(1).soldQuantity, sold);
    QCOMPARE(items->rows.at(1).totalAmount, sales);
    QCOMPARE(items->total, sales);
}

void tst_ItemInventory::editing_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("input");
    QTest::addColumn<QString>("shown");

    QTest::newRow("name") << 0 << QVariant("Tonic") << "Tonic";
    QTest::newRow("price with a point") << 2 << QVariant("2.5") << "2.5";
    QTest::newRow("price with a comma") << 2 << QVariant("2,5") << "2.5";
    QTest::newRow("thousands with a blank") << 3 << QVariant("1 200") << "1200";
    QTest::newRow("text refused") << 1 << QVariant("abc") << "1";
    QTest::newRow("negative price refused") << 2 << QVariant("-2") << "0";
    QTest::newRow("a half without its zero") << 1 << QVariant(",5") << "0.5";
    QTest::newRow("negative from stock") << 4 << QVariant("-3") << "-3";
    QTest::newRow("negative final refused") << 5 << QVariant("-3") << "0";
    QTest::newRow("sold is overwritten") << 6 << QVariant("9") << "0";
}

void tst_ItemInventory::editing()
{
    QFETCH(int, column);
    QFETCH(QVariant, input);
    QFETCH(QString, shown);
    items->insertRows(0, 1);
    items->modified = false;
    QSignalSpy refused(items, &ItemInventory::inputRefused);
    QVERIFY(refused.isValid());
    QVERIFY(items->setData(items->index(0, column), input));
    QCOMPARE(items->data(items->index(0, column), Qt::EditRole).toString(), shown);
    // Refused input is no change and says why.
    QCOMPARE(items->modified, refused.isEmpty());
    QCOMPARE(refused.count(), QByteArray(QTest::currentDataTag()).endsWith("refused") ? 1 : 0);
    QVERIFY(!items->setData(items->index(0, column), input, Qt::DisplayRole));
}

void tst_ItemInventory::insertAndRemove()
{
    items->insertRows(0, 1);
    items->setData(items->index(0, 0), "Last");
    items->insertRows(0, 1);
    items->setData(items->index(0, 0), "First");
    items->insertRows(items->rowCount(), 1);
    QCOMPARE(items->rows.size(), 3);
    QCOMPARE(items->rows.at(0).name, QStringLiteral("First"));
    QCOMPARE(items->rows.at(1).name, QStringLiteral("Last"));

    items->modified = false;
    QVERIFY(items->removeRows(1, 1));
    QCOMPARE(items->rows.size(), 2);
    QCOMPARE(items->rows.at(0).name, QStringLiteral("First"));
    QVERIFY(items->modified);
    QVERIFY(items->removeRows(7, 2));
    QCOMPARE(items->rows.size(), 2);
}

void tst_ItemInventory::indexStaysInsideTheTable()
{
    items->insertRows(0, 1);
    QVERIFY(items->index(0, 9).isValid());
    QVERIFY(!items->index(1, 0).isValid());
    QVERIFY(!items->data(items->index(5, 0)).isValid());
    QVERIFY(!items->setData(items->index(5, 1), 3.0));
    QCOMPARE(items->rows.size(), 1);
}

void tst_ItemInventory::csvLine()
{
    items->insertRows(0, 2);
    const QList<QVariant> water{"Water", 1, 30, 24, 12, 10};
    const QList<int> columns{0, 1, 2, 3, 4, 5};
    for (int i = 0; i < water.size(); ++i)
        items->setData(items->index(0, columns.at(i)), water.at(i));
    items->setData(items->index(1, 0), "Chips; \"salted\"");

    QString text;
    QTextStream out(&text);
    QVERIFY(items->saveToCSV(out));
    out.flush();
    QCOMPARE(text, QStringLiteral("\nWater;1.00;30.00;24.00;12.00;;;10.00;26.00;780.00;\n"
                                  "\"Chips; \"\"salted\"\"\";1.00;0.00;0.00;0.00;;;0.00;0.00;0.00;\n"));
}

void tst_ItemInventory::load_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("initial");
    QTest::addColumn<double>("price");

    QTest::newRow("final becomes initial") << 1 << 7.0 << 2.5;
    QTest::newRow("no items") << 0 << 0.0 << 0.0;
}

// The items of the last table start the next count: what was left is the start, and stays the end until
// edited; nothing of that period's issues and sales comes along.
void tst_ItemInventory::load()
{
    QFETCH(int, count);
    QFETCH(double, initial);
    QFETCH(double, price);

    QList<AppendedItem> saved;
    if (count) {
        AppendedItem cola;
        cola.name = QStringLiteral("Cola");
        cola.pricePerUnit = price;
        cola.initialQuantity = 40;
        cola.fromStock = 3;
        cola.finalQuantity = initial;
        cola.soldQuantity = 36;
        cola.totalAmount = 90;
        saved.append(cola);
    }
    items->insertRows(0, 3);
    items->startFrom(saved);
    items->calculate();
    QCOMPARE(items->rows.size(), count);
    if (count) {
        const AppendedItem &item = items->rows.at(0);
        QCOMPARE(item.initialQuantity, initial);
        QCOMPARE(item.finalQuantity, initial);
        QCOMPARE(item.pricePerUnit, price);
        QCOMPARE(item.fromStock, 0.0);
        QCOMPARE(item.soldQuantity, 0.0);
    }
}

// An old count is shown as it was saved, its total with it, and nothing of it counts as typed.
void tst_ItemInventory::loadOfMissingFileKeepsItems()
{
    AppendedItem water;
    water.name = QStringLiteral("Water");
    water.soldQuantity = 26;
    water.totalAmount = 780;
    items->insertRows(0, 2);
    items->showSaved({water, water});
    QCOMPARE(items->rows.size(), 2);
    QCOMPARE(items->total, 1560.0);
    QCOMPARE(items->rows.at(0).soldQuantity, 26.0);
    QVERIFY(!items->modified);
}

QTEST_MAIN(tst_ItemInventory)
#include "tst_iteminventory.moc"
