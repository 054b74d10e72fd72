#include "database.h"
#include "interaction.h"
#include "inventorybottle.h"
#include "inventorybottlelist.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
Bottle bottle(const QString &ean, const QString &name, quint64 full, quint64 empty, quint64 volume,
              qint32 correction = 0, bool useInInventory = false)
{
    Bottle b;
    b.ean = ean;
    b.fullName = name;
    b.displayName = name;
    b.fullWeight = full;
    b.emptyWeight = empty;
    b.volume = volume;
    b.weightCorrection = correction;
    b.useInInventory = useInInventory;
    return b;
}

InventoryBottle weighing(const QString &ean, quint64 weight)
{
    InventoryBottle w;
    w.ean = ean;
    w.weight = weight;
    return w;
}

// Records whether the overview was in the middle of a reset when a warning was shown.
class ResetWatchingInteraction : public ScriptedInteraction
{
public:
    Button message(QWidget *parent, Icon icon, const QString &title, const QString &text,
                   int buttons) override
    {
        if (inReset)
            shownDuringReset = true;
        return ScriptedInteraction::message(parent, icon, title, text, buttons);
    }
    bool inReset = false;
    bool shownDuringReset = false;
};
} // namespace

class tst_InventoryBottleList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void residue_data();
    void residue();
    void impossibleSpanKeepsTheWeighing();
    void unweighedBottlesMarkedForInventory();
    void repeatedAndUnknownEans();
    void leadingZeros_data();
    void leadingZeros();
    void warningsComeAfterTheReset();
    void sortsByTrimmedName();
    void columns_data();
    void columns();
    void xmlRoundTrip();
    void xmlReaderRefuses_data();
    void xmlReaderRefuses();
    void csv();
    void emptyFileNameWritesNothing();

private:
    Database database;
    InventoryBottleList list;
    ScriptedInteraction *interaction = nullptr;
    Interaction *previous = nullptr;
    QAbstractItemModelTester *tester = nullptr;
    QTemporaryDir tmp;
};

void tst_InventoryBottleList::init()
{
    interaction = new ScriptedInteraction;
    previous = Interaction::setInstance(interaction);
    database.setBottles({});
    list.setInventory({}, &database);
    interaction->asked.clear();
    tester = new QAbstractItemModelTester(&list, QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void tst_InventoryBottleList::cleanup()
{
    delete tester;
    Interaction::setInstance(previous == interaction ? nullptr : previous);
    delete interaction;
    interaction = nullptr;
}

void tst_InventoryBottleList::residue_data()
{
    QTest::addColumn<quint64>("full");
    QTest::addColumn<quint64>("empty");
    QTest::addColumn<qint32>("correction");
    QTest::addColumn<quint64>("volume");
    QTest::addColumn<quint64>("weight");
    QTest::addColumn<qint64>("residue");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("warning");

    const QString noWarning;
    QTest::newRow("half full") << 1000ull << 400ull << 0 << 700ull << 700ull << 350ll << "0.35" << noWarning;
    QTest::newRow("correction in the tare only")
        << 1000ull << 400ull << 20 << 700ull << 700ull << 327ll << "0.33" << noWarning;
    QTest::newRow("negative correction")
        << 1000ull << 400ull << -20 << 700ull << 700ull << 373ll << "0.37" << noWarning;
    QTest::newRow("exactly the tare")
        << 1000ull << 400ull << 20 << 700ull << 420ull << 0ll << "0.00" << noWarning;
    QTest::newRow("one gram under the tare")
        << 1000ull << 400ull << 20 << 700ull << 419ull << 0ll << "0.00"
        << "Bottle weight (419 g) is lower than empty weight (420 g) !\nBottle: Gin, weighed 419 g.";
    QTest::newRow("full") << 1000ull << 400ull << 0 << 700ull << 1000ull << 700ll << "0.70" << noWarning;
    QTest::newRow("heavier than full")
        << 1000ull << 400ull << 0 << 700ull << 1300ull << 1050ll << "1.05" << noWarning;
    QTest::newRow("largest the catalogue allows") << 65535ull << 0ull << -65535 << 65535ull << 65535ull
                                                  << 131070ll << "131.07" << noWarning;
    // Around the catalogue's checks: a residue of 4.6e18 ml, two of which would overflow their sum.
    QTest::newRow("beyond the catalogue's bounds") << 1ull << 0ull << -1073741824 << 4294967295ull << 0ull
                                                   << 0ll << "0.00" << noWarning;
    // A sixth of 3 ml is half a millilitre, which goes up.
    QTest::newRow("half rounds up") << 606ull << 600ull << 0 << 3ull << 601ull << 1ll << "0.00" << noWarning;
}

void tst_InventoryBottleList::residue()
{
    QFETCH(quint64, full);
    QFETCH(quint64, empty);
    QFETCH(qint32, correction);
    QFETCH(quint64, volume);
    QFETCH(quint64, weight);
    QFETCH(qint64, residue);
    QFETCH(QString, shown);
    QFETCH(QString, warning);

    database.setBottles({bottle("111", "Gin", full, empty, volume, correction)});
    list.setInventory({weighing("111", weight)}, &database);

    QCOMPARE(list.rows.size(), 1);
    QCOMPARE(list.rows.at(0).residue, residue);
    QCOMPARE(list.rows.at(0).weight, weight);
    QCOMPARE(list.rows.at(0).volume, volume);
    QCOMPARE(list.data(list.index(0, 1)).toString(), shown);
    QVERIFY(database.bottles.at(0).useInInventory);
    if (warning.isEmpty()) {
        QCOMPARE(interaction->asked.size(), 0);
    } else {
        QCOMPARE(interaction->asked.size(), 1);
        QCOMPARE(interaction->asked.at(0).title, QStringLiteral("Error"));
        QCOMPARE(interaction->asked.at(0).text, warning);
    }
}

void tst_InventoryBottleList::impossibleSpanKeepsTheWeighing()
{
    database.setBottles({bottle("111", "Broken", 400, 400, 700)});
    list.setInventory({weighing("111", 900)}, &database);

    QCOMPARE(list.rows.size(), 1);
    QCOMPARE(list.rows.at(0).residue, 0);
    QCOMPARE(list.rows.at(0).weight, 900ull);
    QVERIFY(!database.bottles.at(0).useInInventory);
    QCOMPARE(interaction->asked.size(), 1);
    QCOMPARE(interaction->asked.at(0).title, QStringLiteral("Error in database"));
    QCOMPARE(interaction->asked.at(0).text,
             QStringLiteral("Empty bottle weight must be less then Full bottle weight.\nItem: 'Broken'\n"
                            "Bottle: Broken, weighed 900 g."));
}

void tst_InventoryBottleList::unweighedBottlesMarkedForInventory()
{
    database.setBottles({bottle("1", "Marked", 1000, 400, 700, 0, true),
                         bottle("2", "Unmarked", 1000, 400, 700),
                         bottle("3", "Marked broken", 300, 400, 700, 0, true)});
    list.setInventory({}, &database);

    QCOMPARE(list.rows.size(), 2);
    QCOMPARE(list.rows.at(0).name, QStringLiteral("Marked"));
    QCOMPARE(list.rows.at(0).residue, 0);
    QCOMPARE(list.rows.at(0).weight, 0ull);
    QCOMPARE(list.rows.at(1).name, QStringLiteral("Marked broken"));
    // The span check holds for unweighed bottles too.
    QCOMPARE(interaction->asked.size(), 1);
    QVERIFY(list.time.isValid());
}

void tst_InventoryBottleList::columns_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("header");
    QTest::addColumn<int>("alignment");

    QTest::newRow("item") << 0 << "Item" << int(Qt::AlignLeft | Qt::AlignVCenter);
    QTest::newRow("residue") << 1 << "Residue" << int(Qt::AlignCenter);
    QTest::newRow("other") << 2 << "---" << int(Qt::AlignCenter);
}

void tst_InventoryBottleList::columns()
{
    QFETCH(int, column);
    QFETCH(QString, header);
    QFETCH(int, alignment);

    database.setBottles({bottle("1", "Rum", 1000, 400, 700)});
    list.setInventory({weighing("1", 700)}, &database);
    QCOMPARE(list.headerData(column, Qt::Horizontal).toString(), header);
    QVERIFY(!list.headerData(column, Qt::Vertical).isValid());
    QVERIFY(!list.headerData(column, Qt::Horizontal, Qt::ToolTipRole).isValid());
    QCOMPARE(list.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), alignment);
    QCOMPARE(list.data(list.index(0, column), Qt::TextAlignmentRole).toInt(), alignment);
    if (column < 2) {
        // The overview shows what was weighed; it is not typed into.
        const Qt::ItemFlags flags = list.flags(list.index(0, column));
        QVERIFY(flags.testFlag(Qt::ItemIsSelectable) && flags.testFlag(Qt::ItemIsEnabled));
        QVERIFY(!flags.testFlag(Qt::ItemIsEditable));
        QVERIFY(!list.data(list.index(0, column), Qt::EditRole).isValid());
    }
}

void tst_InventoryBottleList::repeatedAndUnknownEans()
{
    database.setBottles({bottle("1", "Rum", 1000, 400, 700)});
    list.setInventory({weighing("1", 700), weighing("9", 500), weighing("1", 1000)}, &database);

    // The unknown bottle is kept aside for the caller to offer to the catalogue.
    QCOMPARE(list.rows.size(), 2);
    QCOMPARE(list.rows.at(0).residue + list.rows.at(1).residue, 350 + 700);
    QCOMPARE(list.unknownEans, QStringList{QStringLiteral("9")});
    QCOMPARE(interaction->asked.size(), 1);
    QCOMPARE(interaction->asked.at(0).title, QStringLiteral("Error in database"));
    QCOMPARE(interaction->asked.at(0).text,
             QStringLiteral("Bottle '9' is not in database!\nBottle: 9, weighed 500 g."));
}

void tst_InventoryBottleList::leadingZeros_data()
{
    QTest::addColumn<QStringList>("catalogue");
    QTest::addColumn<QString>("measured");
    QTest::addColumn<QString>("expectedEan");

    QTest::newRow("zeros lost by the station") << QStringList{"0012345678905"} << "12345678905"
                                               << "0012345678905";
    QTest::newRow("exact match wins") << QStringList{"0012345", "12345"} << "12345"
                                      << "12345";
    QTest::newRow("exact match wins when listed last") << QStringList{"12345", "0012345"} << "0012345"
                                                       << "0012345";
    QTest::newRow("first of several without zeros") << QStringList{"012345", "0012345"} << "12345"
                                                    << "012345";
}

void tst_InventoryBottleList::leadingZeros()
{
    QFETCH(QStringList, catalogue);
    QFETCH(QString, measured);
    QFETCH(QString, expectedEan);

    QList<Bottle> bottles;
    for (const QString &ean : catalogue)
        bottles.append(bottle(ean, "Bottle " + ean, 1000, 400, 700));
    database.setBottles(bottles);
    list.setInventory({weighing(measured, 700)}, &database);

    QCOMPARE(interaction->asked.size(), 0);
    QCOMPARE(list.rows.size(), 1);
    QCOMPARE(list.rows.at(0).ean, expectedEan);
    QCOMPARE(list.rows.at(0).residue, 350);
    QVERIFY(database.findByEan(expectedEan)->useInInventory);
}

void tst_InventoryBottleList::warningsComeAfterTheReset()
{
    ResetWatchingInteraction watching;
    Interaction::setInstance(&watching);
    connect(&list, &QAbstractItemModel::modelAboutToBeReset, this, [&watching] { watching.inReset = true; });
    connect(&list, &QAbstractItemModel::modelReset, this, [&watching] { watching.inReset = false; });

    database.setBottles({bottle("1", "Low", 1000, 400, 700), bottle("2", "Broken", 400, 400, 700)});
    list.setInventory({weighing("1", 10), weighing("2", 500), weighing("x", 1)}, &database);

    disconnect(&list, nullptr, this, nullptr);
    Interaction::setInstance(interaction);
    QVERIFY(!watching.shownDuringReset);
    QCOMPARE(watching.asked.size(), 3);
    QCOMPARE(watching.asked.at(0).text,
             QStringLiteral("Bottle weight (10 g) is lower than empty weight (400 g) !\n"
                            "Bottle: Low, weighed 10 g."));
    QVERIFY(watching.asked.at(1).text.startsWith(QStringLiteral("Empty bottle weight")));
    QVERIFY(watching.asked.at(1).text.endsWith(QStringLiteral("\nBottle: Broken, weighed 500 g.")));
    QCOMPARE(watching.asked.at(2).text,
             QStringLiteral("Bottle 'x' is not in database!\nBottle: x, weighed 1 g."));
}

void tst_InventoryBottleList::sortsByTrimmedName()
{
    database.setBottles({bottle("1", " Rum", 1000, 400, 700), bottle("2", "Gin", 1000, 400, 700),
                         bottle("3", "gin", 1000, 400, 700)});
    list.setInventory({weighing("1", 700), weighing("2", 700), weighing("3", 700)}, &database);

    const auto names = [this] {
        QStringList result;
        for (const OverviewRow &row : qAsConst(list.rows))
            result << row.name;
        return result;
    };
    QCOMPARE(names(), (QStringList{"Gin", " Rum", "gin"}));
    QItemSelectionModel selection(&list);
    selection.setCurrentIndex(list.index(0, 1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QPersistentModelIndex rum = list.index(1, 0);
    list.sort(0, Qt::DescendingOrder);
    QCOMPARE(names(), (QStringList{"gin", " Rum", "Gin"}));
    // The selection moves with its bottle: Delete Item then removes the bottle the user picked.
    QCOMPARE(selection.currentIndex(), list.index(2, 1));
    QCOMPARE(selection.selectedRows(), (QModelIndexList{list.index(2, 0)}));
    QCOMPARE(rum.row(), 1);
    list.sort(1, Qt::AscendingOrder);
    QCOMPARE(names(), (QStringList{"gin", " Rum", "Gin"}));
}

void tst_InventoryBottleList::xmlRoundTrip()
{
    database.setBottles({bottle("1", "Gin & <Tonic>", 1000, 400, 700), bottle("2", "Rum", 1000, 400, 700)});
    list.setInventory({weighing("1", 700), weighing("2", 1000), weighing("1", 650)}, &database);
    const QString file = tmp.filePath("overview.xml");
    QVERIFY(list.saveToXML(file));

    const QByteArray bytes = TestSupport::readFile(file);
    QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<inventoryOverview>\n    <time>"));
    QVERIFY(bytes.contains("    <bottle ean=\"1\">\n        <name>Gin &amp; &lt;Tonic&gt;</name>\n"
                           "        <measuredValue>350</measuredValue>\n        <weight>700</weight>\n"
                           "        <volume>700</volume>\n    </bottle>\n"));

    QList<InventoryBottle> back;
    QVERIFY(InventoryBottleList::loadFromXML(file, back));
    QCOMPARE(back.size(), 3);
    QList<quint64> weights;
    for (const InventoryBottle &b : back)
        weights << b.weight;
    std::sort(weights.begin(), weights.end());
    QCOMPARE(weights, (QList<quint64>{650, 700, 1000}));

    const QList<OverviewRow> before = list.rows;
    list.setInventory(back, &database);
    QCOMPARE(list.rows.size(), before.size());
    for (int i = 0; i < before.size(); ++i)
        QCOMPARE(list.rows.at(i).residue, before.at(i).residue);
}

void tst_InventoryBottleList::xmlReaderRefuses_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("kept");
    QTest::addColumn<QString>("logged");

    QTest::newRow("unknown element after a bottle")
        << QByteArray("<inventoryOverview><bottle ean=\"1\"><weight>5</weight></bottle><other/>"
                      "</inventoryOverview>")
        << false << 1 << "unknown XML element: other";
    QTest::newRow("bottle without ean")
        << QByteArray("<inventoryOverview><bottle name=\"1\"/></inventoryOverview>") << false << 0
        << "error parsing XML file, no EAN found";
    QTest::newRow("weight that is not a number")
        << QByteArray(
               "<inventoryOverview><bottle ean=\"1\"><weight>heavy</weight></bottle></inventoryOverview>")
        << true << 1 << "";
    QTest::newRow("not XML") << QByteArray("EAN;weight\n1;500\n") << true << 0 << "";
    QTest::newRow("empty") << QByteArray() << true << 0 << "";
}

void tst_InventoryBottleList::xmlReaderRefuses()
{
    QFETCH(QByteArray, document);
    QFETCH(bool, result);
    QFETCH(int, kept);
    QFETCH(QString, logged);
    const QString file = tmp.filePath("in.xml");
    QVERIFY(TestSupport::writeFile(file, document));

    QList<InventoryBottle> back{weighing("stale", 1)};
    if (!logged.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(logged));
    QCOMPARE(InventoryBottleList::loadFromXML(file, back), result);
    QCOMPARE(back.size(), kept);
    if (kept)
        QCOMPARE(back.at(0).ean, QStringLiteral("1"));

    QTest::ignoreMessage(QtWarningMsg, "file not found");
    QVERIFY(!InventoryBottleList::loadFromXML(tmp.filePath("missing.xml"), back));
    QVERIFY(back.isEmpty());
}

void tst_InventoryBottleList::csv()
{
    database.setBottles({bottle("1", "Gin", 1000, 400, 700), bottle("2", "Rum; \"dark\"", 1000, 400, 700)});
    list.setInventory({weighing("1", 700), weighing("2", 1000)}, &database);
    const QString file = tmp.filePath("overview.csv");
    QVERIFY(list.saveToCSV(file));
    QCOMPARE(TestSupport::readFile(file), QByteArray("EAN;Item;Residue\n\"1\";Gin;350\n\"2\";\"Rum; \"\"dark\"\"\";700\n"));
}

void tst_InventoryBottleList::emptyFileNameWritesNothing()
{
    QVERIFY(list.saveToCSV(QString()));
    QVERIFY(list.saveToXML(QString()));
    QVERIFY(!list.saveToXML(tmp.filePath("no/such/folder/x.xml")));
    QVERIFY(!list.saveToCSV(tmp.filePath("no/such/folder/x.csv")));
}

QTEST_MAIN(tst_InventoryBottleList)
#include "tst_inventorybottlelist.moc"
