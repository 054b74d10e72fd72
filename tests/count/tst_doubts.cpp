#include "database.h"
#include "doubtsummary.h"
#include "interaction.h"
#include "inventory.h"
#include "inventorybottle.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "settings.h"
#include "tablefile.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>
#include <QtTest>

namespace {
Bottle bottle(const QString &ean, const QString &name, quint64 full, quint64 empty, quint64 volume)
{
    Bottle b;
    b.ean = ean;
    b.fullName = name;
    b.fullWeight = full;
    b.emptyWeight = empty;
    b.volume = volume;
    b.useInInventory = true;
    return b;
}

// "ean:grams ean:grams ..." as the station would send it.
QList<InventoryBottle> weighings(const QString &text)
{
    QList<InventoryBottle> list;
    for (const QString &pair : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        InventoryBottle weighing;
        weighing.ean = pair.section(QLatin1Char(':'), 0, 0);
        weighing.weight = pair.section(QLatin1Char(':'), 1, 1).toULongLong();
        list.append(weighing);
    }
    return list;
}

// A saved table whose final quantities ("ean:ml ...") start the next count.
QByteArray lastTable(const QString &finals)
{
    QByteArray xml = "<?xml version=\"1.0\"?>\n<inventory><timeStart>0</timeStart><timeEnd>1000</timeEnd>"
                     "<counter>1</counter>";
    for (const QString &pair : finals.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        xml += "<bottle ean=\"" + pair.section(QLatin1Char(':'), 0, 0).toUtf8() + "\"><finalQuantity>" +
               pair.section(QLatin1Char(':'), 1, 1).toUtf8() + "</finalQuantity></bottle>";
    }
    return xml + "</inventory>\n";
}
} // namespace

// Doubtful weighings are pointed out on the rows and in one summary, and never change a number.
class tst_Doubts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void eachKind_data();
    void eachKind();

private:
    QTemporaryDir tmp;
};

void tst_Doubts::initTestCase()
{
    QVERIFY(tmp.isValid());
    qputenv("XDG_CONFIG_HOME", tmp.filePath(QStringLiteral("config")).toLocal8Bit());
    setFullWeightTolerance(15);
}

void tst_Doubts::eachKind_data()
{
    QTest::addColumn<QString>("weighed");
    QTest::addColumn<QString>("last");       // final quantities of the last saved table; empty: none
    QTest::addColumn<QString>("ean");        // the row looked at
    QTest::addColumn<int>("overviewKinds");  // of its first overview row
    QTest::addColumn<int>("salesKinds");
    QTest::addColumn<qint64>("sold");        // unchanged by any doubt
    QTest::addColumn<QString>("summaryHas"); // in the download's or the sales table's summary

    // Rum: full 1545 g, empty 590 g, 1000 ml; a pourer adds 10 g to both.
    QTest::newRow("above full past the tolerance")
        << "111:1571" << "111:1100" << "111" << int(Doubt::AboveFull) << int(Doubt::AboveFull) << qint64(83)
        << "Rum: Weighed 1571 g, 16 g more than the full bottle (1555 g)";
    // The spread of repeated weighings of one unopened bottle: the residue stays, nothing is doubted.
    QTest::newRow("above full within the tolerance") << "111:1565" << "111:1100" << "111" << 0 << 0
                                                     << qint64(90) << "";
    QTest::newRow("below empty") << "111:500" << "111:300" << "111" << int(Doubt::BelowEmpty)
                                 << int(Doubt::BelowEmpty) << qint64(300)
                                 << "Rum: Weighed 500 g, less than the empty bottle (600 g)";
    QTest::newRow("one bottle weighed three times")
        << "111:700 111:700 111:1555" << "111:2000" << "111" << int(Doubt::WeighedAgain)
        << int(Doubt::WeighedAgain) << qint64(2000 - 1210) << "Rum: Weighed 3 times";
    QTest::newRow("in the last table, not weighed now")
        << "111:1555" << "111:1000 222:500" << "222" << 0 << int(Doubt::NotWeighed) << qint64(500)
        << "Gin: Not weighed in this count: all 0.50 l count as sold.";
    QTest::newRow("in the last table, not in this count at all")
        << "111:1555" << "111:1000 333:250" << "111" << 0 << 0 << qint64(0)
        << " (EAN 333): 0.25 l in the last saved table, but not in this count: not counted at all.";
    QTest::newRow("more left than there was") << "111:1555" << "111:400" << "111" << 0
                                              << int(Doubt::SoldNegative) << qint64(-600)
                                              << "Rum: 0.60 l more left than there was";
    QTest::newRow("first count: negatives explained once, not doubted")
        << "111:1555 222:1300" << "" << "111" << 0 << 0 << qint64(-1000) << "This is the first count";
    QTest::newRow("a plain count has nothing to say")
        << "111:1555 222:950" << "111:1000 222:700" << "222" << 0 << 0 << qint64(350) << "";
}

void tst_Doubts::eachKind()
{
    QFETCH(QString, weighed);
    QFETCH(QString, last);
    QFETCH(QString, ean);
    QFETCH(int, overviewKinds);
    QFETCH(int, salesKinds);
    QFETCH(qint64, sold);
    QFETCH(QString, summaryHas);

    // Given
    ScriptedInteraction interaction;
    Interaction::setInstance(&interaction);
    Database database;
    Bottle rum = bottle(QStringLiteral("111"), QStringLiteral("Rum"), 1545, 590, 1000);
    rum.weightCorrection = 10;
    database.bottles = {rum, bottle(QStringLiteral("222"), QStringLiteral("Gin"), 1300, 600, 700)};
    const QString lastCopy = tmp.filePath(QStringLiteral("last.inv"));
    QFile::remove(lastCopy);
    if (!last.isEmpty())
        QVERIFY(TestSupport::writeFile(lastCopy, lastTable(last)));
    InventoryBottleList overview;
    QAbstractItemModelTester overviewTester(&overview);
    Inventory inventory;
    QAbstractItemModelTester salesTester(&inventory);
    ItemInventory items;

    // When
    overview.setInventory(weighings(weighed), &database);
    TableFile::open(inventory, items, overview.rows, lastCopy);
    Interaction::setInstance(nullptr);

    // Then
    int overviewRow = -1;
    for (int i = overview.rows.size() - 1; i >= 0; --i) {
        if (overview.rows.at(i).ean == ean)
            overviewRow = i;
    }
    QVERIFY(overviewRow >= 0);
    const QModelIndex residue = overview.index(overviewRow, InventoryBottleList::ResidueColumn);
    QCOMPARE(residue.data(DoubtRole).toInt(), overviewKinds);
    QCOMPARE(residue.data(Qt::ToolTipRole).isNull(), overviewKinds == 0);
    QCOMPARE(residue.data(Qt::BackgroundRole).isNull(), overviewKinds == 0);

    const SalesRow *row = inventory.findRow(ean);
    QVERIFY(row);
    QCOMPARE(row->soldQuantity, sold);
    int r = 0;
    while (inventory.rows.at(r).ean != ean)
        ++r;
    QCOMPARE(inventory.index(r, Inventory::NameColumn).data(DoubtRole).toInt(), salesKinds);
    QVERIFY(inventory.index(r, Inventory::NameColumn).data(Qt::ToolTipRole).isNull());
    const int column = salesKinds == int(Doubt::NotWeighed)      ? int(Inventory::FinalColumn)
                       : salesKinds == int(Doubt::SoldNegative) ? int(Inventory::SoldColumn)
                                                                 : int(Inventory::MeasuredColumn);
    const QString tip = inventory.index(r, column).data(Qt::ToolTipRole).toString();
    QCOMPARE(tip.isEmpty(), salesKinds == 0);
    // What the colour marks is spoken by a screen reader as the cell's description, in both tables.
    QCOMPARE(inventory.index(r, column).data(Qt::AccessibleDescriptionRole).toString(), tip);
    QCOMPARE(residue.data(Qt::AccessibleDescriptionRole), residue.data(Qt::ToolTipRole));
    QCOMPARE(tip.count(QLatin1Char('\n')), 0); // a repeated EAN is said once on its sales row

    const QString summary = DoubtSummary::overview(overview.rows) + DoubtSummary::sales(inventory);
    if (summaryHas.isEmpty())
        QCOMPARE(summary, QString());
    else
        QVERIFY2(summary.contains(summaryHas), qPrintable(summary));
    const int repeats = summaryHas.contains(QLatin1String("3 times")) ? 1 : 0;
    QCOMPARE(summary.count(QStringLiteral("Weighed 3 times")), repeats);
    QCOMPARE(summary.count(QStringLiteral("first count")), last.isEmpty() ? 1 : 0);
}

QTEST_GUILESS_MAIN(tst_Doubts)
#include "tst_doubts.moc"
