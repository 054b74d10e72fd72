#include "database.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(Qt::SortOrder)

namespace {
Bottle bottle(const QString &ean, const QString &displayName = QString(), bool use = false)
{
    Bottle b;
    b.ean = ean;
    b.displayName = displayName;
    b.useInInventory = use;
    return b;
}

QStringList eans(const Database &db)
{
    QStringList out;
    for (const Bottle &b : db.bottles)
        out << b.ean;
    return out;
}
} // namespace

class tst_Database : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void headers_data();
    void headers();
    void cellRoles_data();
    void cellRoles();
    void flagsFollowLock_data();
    void flagsFollowLock();
    void setDataConverts_data();
    void setDataConverts();
    void onlyChangedFullWeightStampsModified_data();
    void onlyChangedFullWeightStampsModified();
    void setDataOnEanChangesNothing();
    void setDataRefusesOtherRoles();
    void sortOrders_data();
    void sortOrders();
    void insertAndRemove();
    void findByEanTakesFirstMatch();
    void eanIndexFollowsChanges();

private:
    std::unique_ptr<Database> db;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

void tst_Database::init()
{
    db = std::make_unique<Database>();
    tester = std::make_unique<QAbstractItemModelTester>(
        db.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void tst_Database::cleanup()
{
    tester.reset();
    db.reset();
}

void tst_Database::headers_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("expected");
    const int h = Qt::Horizontal;
    const int display = Qt::DisplayRole;
    const int tip = Qt::ToolTipRole;
    const auto text = [](const char *utf8) { return QVariant(QString::fromUtf8(utf8)); };
    QTest::newRow("0") << 0 << h << display << text("EAN");
    QTest::newRow("1") << 1 << h << display << text("Displayed Item Name");
    QTest::newRow("2") << 2 << h << display << text("Full Item Name");
    QTest::newRow("3") << 3 << h << display << text("Full Bottle Volume [ml]");
    QTest::newRow("4") << 4 << h << display << text("Full Bottle Weight [g]");
    QTest::newRow("5") << 5 << h << display << text("Empty Bottle Weight [g]");
    QTest::newRow("6") << 6 << h << display << text("Weight correction [+/- g]");
    QTest::newRow("7") << 7 << h << display << text("Use in Inventory");
    QTest::newRow("8") << 8 << h << display << text("---");
    QTest::newRow("-1") << -1 << h << display << text("---");
    QTest::newRow("tip 0") << 0 << h << tip << text("Click to sort the items by EAN, ascending or descending.");
    QTest::newRow("tip 1") << 1 << h << tip << text("Click to sort alphabetically, ascending or descending.");
    QTest::newRow("tip 2") << 2 << h << tip << text("Click to sort alphabetically, ascending or descending.");
    QTest::newRow("tip 3") << 3 << h << tip << QVariant();
    QTest::newRow("tip 5") << 5 << h << tip << QVariant();
    QTest::newRow("tip 6") << 6 << h << tip << text("Adds the weight of a pourer or a dispenser.");
    QTest::newRow("tip 7") << 7 << h << tip
                           << text("Adds the item to the shown inventory and sales tables. Items read by Quarmel are shown anyway.");
    QTest::newRow("tip 8") << 8 << h << tip << QVariant();
    QTest::newRow("vertical") << 0 << int(Qt::Vertical) << display << QVariant();
    QTest::newRow("other role") << 0 << h << int(Qt::TextAlignmentRole) << QVariant();
}

void tst_Database::headers()
{
    QFETCH(int, section);
    QFETCH(int, orientation);
    QFETCH(int, role);
    QFETCH(QVariant, expected);
    QCOMPARE(db->headerData(section, Qt::Orientation(orientation), role), expected);
}

void tst_Database::cellRoles_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("expected");
    const int centred = Qt::AlignHCenter | Qt::AlignVCenter;
    QTest::newRow("ean text") << 0 << int(Qt::DisplayRole) << QVariant(QStringLiteral("859"));
    QTest::newRow("volume number") << 3 << int(Qt::DisplayRole) << QVariant(700ull);
    QTest::newRow("full weight for editing") << 4 << int(Qt::EditRole) << QVariant(1250ull);
    QTest::newRow("empty weight") << 5 << int(Qt::DisplayRole) << QVariant(550ull);
    QTest::newRow("correction int") << 6 << int(Qt::DisplayRole) << QVariant(-15);
    QTest::newRow("check box has no text") << 7 << int(Qt::DisplayRole) << QVariant();
    QTest::newRow("check state") << 7 << int(Qt::CheckStateRole) << QVariant(int(Qt::Checked));
    QTest::newRow("no check state on numbers") << 3 << int(Qt::CheckStateRole) << QVariant();
    QTest::newRow("ean centred") << 0 << int(Qt::TextAlignmentRole) << QVariant(centred);
    QTest::newRow("names keep the view's alignment") << 1 << int(Qt::TextAlignmentRole) << QVariant();
    QTest::newRow("full name too") << 2 << int(Qt::TextAlignmentRole) << QVariant();
    QTest::newRow("check box centred") << 7 << int(Qt::TextAlignmentRole) << QVariant(centred);
    QTest::newRow("no tool tip") << 0 << int(Qt::ToolTipRole) << QVariant();
}

void tst_Database::cellRoles()
{
    QFETCH(int, column);
    QFETCH(int, role);
    QFETCH(QVariant, expected);
    Bottle b = bottle(QStringLiteral("859"), QStringLiteral("Rum"), true);
    b.volume = 700;
    b.fullWeight = 1250;
    b.emptyWeight = 550;
    b.weightCorrection = -15;
    db->setBottles({b});
    const QVariant value = db->data(db->index(0, column), role);
    QCOMPARE(value, expected);
    // Views and delegates pick editors by type: numbers must not come as text.
    QCOMPARE(value.userType(), expected.userType());
}

void tst_Database::flagsFollowLock_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<int>("flags");
    const int editable = Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
    QTest::newRow("ean") << 0 << false << int(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    QTest::newRow("name, locked") << 1 << true << editable;
    QTest::newRow("correction, locked") << 6 << true << editable;
    QTest::newRow("use, locked") << 7 << true << 0;
    QTest::newRow("use, unlocked") << 7 << false << int(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
}

void tst_Database::flagsFollowLock()
{
    QFETCH(int, column);
    QFETCH(bool, locked);
    QFETCH(int, flags);
    db->insertBottle(0, QStringLiteral("1"));
    db->locked = locked;
    QCOMPARE(int(db->flags(db->index(0, column))), flags);
}

void tst_Database::setDataConverts_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QVariant>("stored"); // the cell keeps 99 when the value is refused
    QTest::newRow("volume text") << 3 << QVariant(QStringLiteral("700")) << true << QVariant(700ull);
    QTest::newRow("volume abc") << 3 << QVariant(QStringLiteral("abc")) << true << QVariant(0ull);
    QTest::newRow("volume largest") << 3 << QVariant(QStringLiteral("65535")) << true << QVariant(65535ull);
    QTest::newRow("volume above 16 bits")
        << 3 << QVariant(QStringLiteral("65536")) << false << QVariant(99ull);
    QTest::newRow("volume above 64 bits")
        << 3 << QVariant(QStringLiteral("18446744073709551616")) << false << QVariant(99ull);
    QTest::newRow("volume fraction") << 3 << QVariant(QStringLiteral("0.7")) << false << QVariant(99ull);
    QTest::newRow("volume whole double") << 3 << QVariant(700.0) << true << QVariant(700ull);
    QTest::newRow("volume fraction double") << 3 << QVariant(0.5) << false << QVariant(99ull);
    QTest::newRow("volume negative text") << 3 << QVariant(QStringLiteral("-5")) << false << QVariant(99ull);
    QTest::newRow("volume negative int") << 3 << QVariant(-5) << false << QVariant(99ull);
    QTest::newRow("volume huge unsigned") << 3 << QVariant(4294967295u) << false << QVariant(99ull);
    QTest::newRow("empty weight") << 5 << QVariant(450u) << true << QVariant(450ull);
    QTest::newRow("full weight above 16 bits") << 4 << QVariant(65536) << false << QVariant(0ull);
    QTest::newRow("correction negative") << 6 << QVariant(QStringLiteral("-15")) << true << QVariant(-15);
    QTest::newRow("correction lowest") << 6 << QVariant(-65535) << true << QVariant(-65535);
    QTest::newRow("correction below") << 6 << QVariant(QStringLiteral("-65536")) << false << QVariant(99);
    QTest::newRow("correction above 32 bits")
        << 6 << QVariant(QStringLiteral("4294967296")) << false << QVariant(99);
    QTest::newRow("correction text") << 6 << QVariant(QStringLiteral("x")) << true << QVariant(0);
    QTest::newRow("name") << 1 << QVariant(QStringLiteral("Gin")) << true << QVariant(QStringLiteral("Gin"));
    QTest::newRow("full name") << 2 << QVariant(QStringLiteral("Dry Gin 0.7")) << true
                               << QVariant(QStringLiteral("Dry Gin 0.7"));
}

void tst_Database::setDataConverts()
{
    QFETCH(int, column);
    QFETCH(QVariant, value);
    QFETCH(bool, accepted);
    QFETCH(QVariant, stored);
    Bottle b = bottle(QStringLiteral("1"));
    b.volume = b.emptyWeight = 99;
    b.weightCorrection = 99;
    db->setBottles({b});
    QSignalSpy changed(db.get(), &QAbstractItemModel::dataChanged);
    QVERIFY(changed.isValid());
    QCOMPARE(db->setData(db->index(0, column), value), accepted);
    QCOMPARE(db->data(db->index(0, column)), stored);
    QCOMPARE(changed.count(), accepted ? 1 : 0);
}

void tst_Database::onlyChangedFullWeightStampsModified_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("role");
    QTest::addColumn<bool>("stamped");
    QTest::newRow("same full weight") << 4 << QVariant(1200) << int(Qt::EditRole) << false;
    QTest::newRow("other full weight") << 4 << QVariant(1201) << int(Qt::EditRole) << true;
    QTest::newRow("volume") << 3 << QVariant(500) << int(Qt::EditRole) << false;
    QTest::newRow("empty weight") << 5 << QVariant(500) << int(Qt::EditRole) << false;
    QTest::newRow("correction") << 6 << QVariant(5) << int(Qt::EditRole) << false;
    QTest::newRow("name") << 1 << QVariant(QStringLiteral("x")) << int(Qt::EditRole) << false;
    QTest::newRow("check box") << 7 << QVariant(int(Qt::Checked)) << int(Qt::CheckStateRole) << false;
}

void tst_Database::onlyChangedFullWeightStampsModified()
{
    QFETCH(int, column);
    QFETCH(QVariant, value);
    QFETCH(int, role);
    QFETCH(bool, stamped);
    const QDateTime old(QDate(2013, 5, 7), QTime(9, 5));
    Bottle b = bottle(QStringLiteral("1"));
    b.fullWeight = 1200;
    b.modified = b.inserted = old;
    db->setBottles({b});
    db->locked = false;

    const QDateTime before = QDateTime::currentDateTime();
    QVERIFY(db->setData(db->index(0, column), value, role));
    const Bottle &after = db->bottles.at(0);
    QCOMPARE(after.inserted, old);
    if (stamped)
        QVERIFY(after.modified >= before);
    else
        QCOMPARE(after.modified, old);
}

void tst_Database::setDataOnEanChangesNothing()
{
    db->insertBottle(0, QStringLiteral("859"));
    QSignalSpy changed(db.get(), &QAbstractItemModel::dataChanged);
    QVERIFY(changed.isValid());
    QVERIFY(db->setData(db->index(0, 0), QStringLiteral("123")));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(db->bottles.at(0).ean, QStringLiteral("859"));
    // Under the edit role the check box column accepts the call and changes nothing either.
    QVERIFY(db->setData(db->index(0, 7), int(Qt::Checked), Qt::EditRole));
    QVERIFY(!db->bottles.at(0).useInInventory);
}

void tst_Database::setDataRefusesOtherRoles()
{
    db->insertBottle(0, QStringLiteral("1"));
    QSignalSpy changed(db.get(), &QAbstractItemModel::dataChanged);
    QVERIFY(changed.isValid());
    QVERIFY(!db->setData(db->index(0, 1), QStringLiteral("x"), Qt::DisplayRole));
    QVERIFY(!db->setData(db->index(0, 1), QStringLiteral("x"), Qt::ToolTipRole));
    QCOMPARE(changed.count(), 0);
    QVERIFY(db->bottles.at(0).displayName.isEmpty());
}

void tst_Database::sortOrders_data()
{
    QTest::addColumn<QList<Bottle>>("rows");
    QTest::addColumn<int>("column");
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QStringList>("expected");

    const QList<Bottle> names{bottle("1", "b"), bottle("2", "  a"), bottle("3", "B")};
    QTest::newRow("names trimmed, upper case first") << names << 1 << Qt::AscendingOrder
                                                     << QStringList{"3", "2", "1"};
    QTest::newRow("names descending") << names << 1 << Qt::DescendingOrder << QStringList{"1", "2", "3"};
    const QList<Bottle> codes{bottle("20"), bottle("3"), bottle("100")};
    QTest::newRow("ean as text") << codes << 0 << Qt::AscendingOrder << QStringList{"100", "20", "3"};
    const QList<Bottle> checks{bottle("1", {}, true), bottle("2", {}, false), bottle("3", {}, true)};
    QTest::newRow("unchecked first") << checks << 7 << Qt::AscendingOrder << QStringList{"2", "1", "3"};
    QTest::newRow("checked first") << QList<Bottle>{bottle("2"), bottle("1", {}, true)} << 7
                                   << Qt::DescendingOrder << QStringList{"1", "2"};
    QTest::newRow("weight column keeps order") << codes << 4 << Qt::AscendingOrder
                                               << QStringList{"20", "3", "100"};
}

void tst_Database::sortOrders()
{
    QFETCH(QList<Bottle>, rows);
    QFETCH(int, column);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QStringList, expected);
    db->setBottles(rows);
    QSignalSpy changed(db.get(), &QAbstractItemModel::dataChanged);
    QVERIFY(changed.isValid());
    // A view's current cell and its selection: both must stay on their bottle, not on their row number.
    QItemSelectionModel selection(db.get());
    selection.select(db->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QList<QPersistentModelIndex> held;
    for (int row = 0; row < rows.size(); ++row)
        held << QPersistentModelIndex(db->index(row, row % 8));

    db->sort(column, order);

    QCOMPARE(eans(*db), expected);
    QCOMPARE(changed.count(), 0);
    for (int row = 0; row < rows.size(); ++row) {
        QCOMPARE(db->bottles.at(held.at(row).row()).ean, rows.at(row).ean);
        QCOMPARE(held.at(row).column(), row % 8);
    }
    const QModelIndexList selected = selection.selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(db->bottles.at(selected.at(0).row()).ean, rows.at(0).ean);
}

void tst_Database::insertAndRemove()
{
    QSignalSpy inserted(db.get(), &QAbstractItemModel::rowsInserted);
    QVERIFY(inserted.isValid());
    const QDateTime before = QDateTime::currentDateTime();
    QVERIFY(db->insertBottle(0, QStringLiteral("2")));
    QVERIFY(db->insertBottle(0, QStringLiteral("1")));
    QVERIFY(db->insertBottle(2, QStringLiteral("3")));
    QCOMPARE(eans(*db), (QStringList{"1", "2", "3"}));
    QCOMPARE(inserted.count(), 3);
    const Bottle &fresh = db->bottles.at(0);
    QCOMPARE(fresh.volume, 0ull);
    QVERIFY(!fresh.useInInventory);
    QVERIFY(fresh.inserted >= before && fresh.modified >= before);

    QVERIFY(db->removeBottle(1));
    QCOMPARE(eans(*db), (QStringList{"1", "3"}));
    QVERIFY(!db->removeBottle(2));
    QVERIFY(!db->removeBottle(-1));
    QCOMPARE(db->rowCount(), 2);
}

void tst_Database::findByEanTakesFirstMatch()
{
    Bottle first = bottle("5", "first");
    Bottle second = bottle("5", "second");
    db->setBottles({bottle("1"), first, second});
    QCOMPARE(db->findByEan("5")->displayName, QStringLiteral("first"));
    QVERIFY(!db->findByEan(" 5"));
    QVERIFY(!db->findByEan("6"));

    db->removeBottle(1);
    QCOMPARE(db->findByEan("5")->displayName, QStringLiteral("second"));
}

void tst_Database::eanIndexFollowsChanges()
{
    db->setBottles({bottle("b", "1"), bottle("a", "2"), bottle("a", "3")});
    QCOMPARE(db->findByEan("a")->displayName, QStringLiteral("2"));

    db->sort(1, Qt::DescendingOrder);
    QCOMPARE(db->findByEan("a")->displayName, QStringLiteral("3"));

    db->insertBottle(0, QStringLiteral("a"));
    QCOMPARE(db->findByEan("a"), &db->bottles[0]);

    db->appendBottle(bottle("c", "appended"));
    QCOMPARE(db->findByEan("c")->displayName, QStringLiteral("appended"));
    db->appendBottle(bottle("c", "later"));
    QCOMPARE(db->findByEan("c")->displayName, QStringLiteral("appended"));

    db->bottles[0].ean = QStringLiteral("z");
    db->bottleChanged(0);
    QCOMPARE(db->findByEan("z"), &db->bottles[0]);
    // Writers that bypass the model still must not get a stale answer.
    db->bottles.append(bottle("new"));
    QCOMPARE(db->findByEan("new"), &db->bottles.last());
    db->bottles.removeFirst();
    QVERIFY(!db->findByEan("z"));

    db->setBottles({});
    QVERIFY(!db->findByEan("a"));
}

QTEST_GUILESS_MAIN(tst_Database)
#include "tst_database.moc"
