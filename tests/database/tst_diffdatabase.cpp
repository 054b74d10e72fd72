#include "database.h"
#include "diffdatabase.h"
#include "zonescope.h"

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
const QDateTime early(QDate(2013, 1, 1), QTime(8, 0));
const QDateTime late(QDate(2014, 1, 1), QTime(8, 0));

Bottle bottle(const QString &ean, quint64 fullWeight, const QDateTime &modified, quint64 emptyWeight = 500)
{
    Bottle b;
    b.ean = ean;
    b.fullName = QStringLiteral("Item ") + ean;
    b.displayName = QStringLiteral("Short ") + ean;
    b.volume = 700;
    b.fullWeight = fullWeight;
    b.emptyWeight = emptyWeight;
    b.weightCorrection = 3;
    b.modified = modified;
    b.inserted = modified;
    return b;
}


QByteArray itemDocument(const QString &ean, quint64 fullWeight, const QString &modified)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<data><dataItem><ean>%1</ean>"
                          "<vahaPlneLahve>%2</vahaPlneLahve><upraveno>%3</upraveno></dataItem></data>\n")
        .arg(ean)
        .arg(fullWeight)
        .arg(modified)
        .toUtf8();
}
} // namespace

class tst_DiffDatabase : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void headers_data();
    void headers();
    void cellRoles_data();
    void cellRoles();
    void newEanShowsPlaceholderPair();
    void offerRule_data();
    void offerRule();
    void offerRuleWithFileTimestamps_data();
    void offerRuleWithFileTimestamps();
    void offerRuleAfterLocalEdit_data();
    void offerRuleAfterLocalEdit();
    void tickingChangesOnlyOddRows();
    void applyKnownBottleTakesFourFields();
    void applySkipsClearedEntries();
    void applyDuplicateEans();
    void applyTwiceAddsNothingMore();

private:
    std::unique_ptr<Database> db;
    std::unique_ptr<DiffDatabase> diff;
    std::unique_ptr<QAbstractItemModelTester> dbTester;
    std::unique_ptr<QAbstractItemModelTester> diffTester;
};

void tst_DiffDatabase::init()
{
    db = std::make_unique<Database>();
    diff = std::make_unique<DiffDatabase>(nullptr, db.get(), QColor(255, 255, 255), QColor(232, 232, 232));
    const auto mode = QAbstractItemModelTester::FailureReportingMode::QtTest;
    dbTester = std::make_unique<QAbstractItemModelTester>(db.get(), mode);
    diffTester = std::make_unique<QAbstractItemModelTester>(diff.get(), mode);
}

void tst_DiffDatabase::cleanup()
{
    diffTester.reset();
    dbTester.reset();
    diff.reset();
    db.reset();
}

void tst_DiffDatabase::headers_data()
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
    QTest::newRow("1") << 1 << h << display << text("Full Item Name");
    QTest::newRow("2") << 2 << h << display << text("Full Bottle Volume [ml]");
    QTest::newRow("3") << 3 << h << display << text("Full Bottle Weight [g]");
    QTest::newRow("4") << 4 << h << display << text("Empty Bottle Weight [g]");
    QTest::newRow("5") << 5 << h << display << text("Weight correction [+/- g]");
    QTest::newRow("6") << 6 << h << display << text("Update");
    QTest::newRow("7") << 7 << h << display << text("---");
    QTest::newRow("tip 6") << 6 << h << tip << text("Tick to choose the items to update.");
    QTest::newRow("tip 0") << 0 << h << tip << QVariant();
    QTest::newRow("tip 5") << 5 << h << tip << QVariant();
    QTest::newRow("vertical") << 0 << int(Qt::Vertical) << display << QVariant();
}

void tst_DiffDatabase::headers()
{
    QFETCH(int, section);
    QFETCH(int, orientation);
    QFETCH(int, role);
    QFETCH(QVariant, expected);
    QCOMPARE(diff->headerData(section, Qt::Orientation(orientation), role), expected);
}

void tst_DiffDatabase::cellRoles_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("expected");
    const int centred = Qt::AlignHCenter | Qt::AlignVCenter;
    const QVariant white = QColor(255, 255, 255);
    const QVariant grey = QColor(232, 232, 232);
    const int background = Qt::BackgroundRole;
    const int foreground = Qt::ForegroundRole;
    const int check = Qt::CheckStateRole;
    const int display = Qt::DisplayRole;
    QTest::newRow("current background") << 0 << 0 << background << white;
    QTest::newRow("current background, box column") << 0 << 6 << background << white;
    QTest::newRow("updated background") << 1 << 3 << background << grey;
    const QVariant red = QBrush(QColor(197, 67, 67));
    QTest::newRow("updated full weight red") << 1 << 3 << foreground << red;
    QTest::newRow("current full weight plain") << 0 << 3 << foreground << QVariant();
    QTest::newRow("updated empty weight plain") << 1 << 4 << foreground << QVariant();
    QTest::newRow("centred") << 0 << 1 << int(Qt::TextAlignmentRole) << QVariant(centred);
    QTest::newRow("box on updated row") << 1 << 6 << check << QVariant(int(Qt::Checked));
    QTest::newRow("no box on current row") << 0 << 6 << check << QVariant();
    QTest::newRow("no box on a number") << 1 << 3 << check << QVariant();
    QTest::newRow("box column has no text") << 1 << 6 << display << QVariant();
    QTest::newRow("current volume") << 0 << 2 << display << QVariant(700ull);
    QTest::newRow("updated full weight") << 1 << 3 << display << QVariant(1100ull);
    QTest::newRow("updated correction") << 1 << 5 << int(Qt::EditRole) << QVariant(3);
    QTest::newRow("updated full name") << 1 << 1 << display << QVariant(QStringLiteral("Item 1"));
    QTest::newRow("no tool tip") << 1 << 6 << int(Qt::ToolTipRole) << QVariant();
}

void tst_DiffDatabase::cellRoles()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, role);
    QFETCH(QVariant, expected);
    db->setBottles({bottle("1", 1000, early)});
    diff->setUpdate({bottle("1", 1100, late)});
    const QVariant value = diff->data(diff->index(row, column), role);
    QCOMPARE(value, expected);
    QCOMPARE(value.userType(), expected.userType());
    // Only the box column can be ticked; no cell is selectable or editable.
    const Qt::ItemFlags checkable = Qt::ItemIsUserCheckable | Qt::ItemIsEnabled;
    QCOMPARE(diff->flags(diff->index(row, column)), column == 6 ? checkable : Qt::ItemFlags(Qt::ItemIsEnabled));
}

void tst_DiffDatabase::newEanShowsPlaceholderPair()
{
    db->setBottles({bottle("1", 1000, early)});
    diff->setUpdate({bottle("2", 1200, late), bottle("3", 900, late), bottle("4", 800, late)});
    QCOMPARE(diff->rowCount(), 6);
    QCOMPARE(diff->columnCount(), 7);

    QCOMPARE(diff->data(diff->index(0, 0)).toString(), QStringLiteral("---"));
    QCOMPARE(diff->data(diff->index(0, 1)).toString(), QStringLiteral("---"));
    for (int column = 2; column <= 5; ++column)
        QCOMPARE(diff->data(diff->index(0, column)).toLongLong(), 0ll);
    QCOMPARE(diff->data(diff->index(1, 0)).toString(), QStringLiteral("2"));
    QCOMPARE(diff->data(diff->index(1, 3)).toULongLong(), 1200ull);
    QCOMPARE(diff->data(diff->index(1, 6), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QVERIFY(!diff->data(diff->index(0, 6), Qt::CheckStateRole).isValid());
}

void tst_DiffDatabase::offerRule_data()
{
    QTest::addColumn<quint64>("localFull");
    QTest::addColumn<QDateTime>("localModified");
    QTest::addColumn<quint64>("updateFull");
    QTest::addColumn<quint64>("updateEmpty");
    QTest::addColumn<QDateTime>("updateModified");
    QTest::addColumn<bool>("offered");
    QTest::newRow("heavier and newer") << 1000ull << early << 1010ull << 500ull << late << true;
    QTest::newRow("same full weight, other empty weight")
        << 1000ull << early << 1000ull << 480ull << late << false;
    QTest::newRow("equal modified") << 1000ull << late << 1010ull << 500ull << late << false;
    QTest::newRow("local edited later") << 1000ull << late << 1010ull << 500ull << early << false;
    QTest::newRow("local time unknown") << 1000ull << QDateTime() << 1010ull << 500ull << early << true;
    QTest::newRow("update time unknown") << 1000ull << early << 1010ull << 500ull << QDateTime() << false;
}

void tst_DiffDatabase::offerRule()
{
    QFETCH(quint64, localFull);
    QFETCH(QDateTime, localModified);
    QFETCH(quint64, updateFull);
    QFETCH(quint64, updateEmpty);
    QFETCH(QDateTime, updateModified);
    QFETCH(bool, offered);
    db->setBottles({bottle("1", localFull, localModified)});
    diff->setUpdate({bottle("1", updateFull, updateModified, updateEmpty)});
    QCOMPARE(diff->entries.size(), offered ? 1 : 0);
    if (offered) {
        QCOMPARE(diff->entries.at(0).current.fullWeight, localFull);
        QCOMPARE(diff->entries.at(0).updated.fullWeight, updateFull);
    }
}

void tst_DiffDatabase::offerRuleWithFileTimestamps_data()
{
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("update");
    QTest::addColumn<bool>("offered");
    QTest::newRow("summer, equal") << "2013-07-01 12:00:00" << "2013-07-01 12:00:00" << false;
    QTest::newRow("summer, one second later") << "2013-07-01 12:00:00" << "2013-07-01 12:00:01" << true;
    QTest::newRow("summer, one second earlier") << "2013-07-01 12:00:01" << "2013-07-01 12:00:00" << false;
    QTest::newRow("winter, equal") << "2013-01-15 08:30:00" << "2013-01-15 08:30:00" << false;
    QTest::newRow("winter against summer") << "2013-01-15 08:30:00" << "2013-07-01 08:30:00" << true;
    QTest::newRow("across the spring change") << "2013-03-31 01:59:59" << "2013-03-31 03:00:00" << true;
    QTest::newRow("across the spring change, back") << "2013-03-31 03:00:00" << "2013-03-31 01:59:59"
                                                    << false;
    QTest::newRow("day of the autumn change, equal") << "2013-10-27 12:00:00" << "2013-10-27 12:00:00"
                                                     << false;
    QTest::newRow("after the autumn change") << "2013-10-27 01:00:00" << "2013-10-27 04:00:00" << true;
}

// Timestamps read from files are held with a fixed offset from UTC; they must order exactly as the local
// times they stand for, against each other and against local date-times.
void tst_DiffDatabase::offerRuleWithFileTimestamps()
{
    QFETCH(QString, local);
    QFETCH(QString, update);
    QFETCH(bool, offered);
    const ZoneScope zone("Europe/Prague");
    if (QDateTime(QDate(2013, 7, 1), QTime(12, 0)).offsetFromUtc() != 7200)
        QSKIP("the zone data of Europe/Prague is not installed");

    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("local.xml"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(itemDocument(QStringLiteral("1"), 1000, local)) > 0);
    file.close();
    QVERIFY(db->loadFromFile(path));
    QList<Bottle> updateList;
    QVERIFY(Database::parse(itemDocument(QStringLiteral("1"), 1010, update), updateList));
    QCOMPARE(updateList.size(), 1);

    diff->setUpdate(updateList);
    QCOMPARE(diff->entries.size(), offered ? 1 : 0);

    // The same comparison with the local record built as a local date-time, as edits make them.
    const QDateTime localTime = QDateTime::fromString(local, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    QVERIFY(localTime.isValid());
    QCOMPARE(db->bottles.at(0).modified, localTime);
    db->bottles[0].modified = localTime;
    diff->setUpdate(updateList);
    QCOMPARE(diff->entries.size(), offered ? 1 : 0);
}

void tst_DiffDatabase::offerRuleAfterLocalEdit_data()
{
    QTest::addColumn<int>("updateSecondsFromEdit");
    QTest::addColumn<bool>("offered");
    QTest::newRow("update an hour older") << -3600 << false;
    QTest::newRow("update a day older") << -86400 << false;
    QTest::newRow("update an hour newer") << 3600 << true;
    QTest::newRow("update a day newer") << 86400 << true;
}

// An edit of the full weight stamps the local record with the current time; an update written before the
// edit must not override it, one written after it must be offered.
void tst_DiffDatabase::offerRuleAfterLocalEdit()
{
    QFETCH(int, updateSecondsFromEdit);
    QFETCH(bool, offered);
    const ZoneScope zone("Europe/Prague");
    QList<Bottle> local;
    QVERIFY(Database::parse(itemDocument(QStringLiteral("1"), 1000, QStringLiteral("2013-07-01 12:00:00")),
                            local));
    db->setBottles(local);
    db->locked = false;
    QVERIFY(db->setData(db->index(0, Database::FullWeightColumn), 1005));
    const QDateTime edited = db->bottles.at(0).modified;
    QVERIFY(qAbs(edited.secsTo(QDateTime::currentDateTime())) < 60);

    const QString stamp = Database::dateTimeToText(edited.addSecs(updateSecondsFromEdit));
    QList<Bottle> update;
    QVERIFY(Database::parse(itemDocument(QStringLiteral("1"), 1010, stamp), update));
    QVERIFY(update.at(0).modified.isValid());
    diff->setUpdate(update);
    QCOMPARE(diff->entries.size(), offered ? 1 : 0);
}

void tst_DiffDatabase::tickingChangesOnlyOddRows()
{
    diff->setUpdate({bottle("2", 1200, late)});
    QSignalSpy changed(diff.get(), &QAbstractItemModel::dataChanged);
    QVERIFY(changed.isValid());
    QVERIFY(diff->setData(diff->index(0, 6), int(Qt::Unchecked), Qt::CheckStateRole));
    QVERIFY(diff->entries.at(0).update);
    QVERIFY(diff->setData(diff->index(1, 6), int(Qt::Unchecked), Qt::CheckStateRole));
    QVERIFY(!diff->entries.at(0).update);
    QCOMPARE(changed.count(), 2);
    QVERIFY(!diff->setData(diff->index(1, 6), int(Qt::Checked), Qt::DisplayRole));
    QVERIFY(!diff->entries.at(0).update);
}

void tst_DiffDatabase::applyKnownBottleTakesFourFields()
{
    Bottle local = bottle("1", 1000, early);
    local.contentWeight = 650;
    local.useInInventory = true;
    local.stationText = QStringLiteral("ST");
    db->setBottles({local});
    Bottle update = bottle("1", 1100, late, 450);
    update.volume = 750;
    update.fullName = QStringLiteral("Renamed");
    update.displayName = QStringLiteral("Renamed");
    update.weightCorrection = -9;
    update.inserted = late.addDays(1);
    diff->setUpdate({update, bottle("9", 900, late)});
    QSignalSpy changed(db.get(), &QAbstractItemModel::dataChanged);
    QSignalSpy inserted(db.get(), &QAbstractItemModel::rowsInserted);
    QVERIFY(changed.isValid() && inserted.isValid());

    QCOMPARE(diff->applyUpdate(), 2);

    const Bottle &after = db->bottles.at(0);
    QCOMPARE(after.fullWeight, 1100ull);
    QCOMPARE(after.emptyWeight, 450ull);
    QCOMPARE(after.modified, late);
    QCOMPARE(after.inserted, late.addDays(1));
    QCOMPARE(after.volume, 700ull);
    QCOMPARE(after.fullName, QStringLiteral("Item 1"));
    QCOMPARE(after.displayName, QStringLiteral("Short 1"));
    QCOMPARE(after.weightCorrection, 3);
    QCOMPARE(after.contentWeight, 650ull);
    QVERIFY(after.useInInventory);
    QCOMPARE(after.stationText, QStringLiteral("ST"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(db->rowCount(), 2);
    QCOMPARE(db->bottles.at(1).fullName, QStringLiteral("Item 9"));
}

void tst_DiffDatabase::applySkipsClearedEntries()
{
    db->setBottles({bottle("1", 1000, early)});
    diff->setUpdate({bottle("1", 1100, late), bottle("9", 900, late)});
    QVERIFY(diff->setData(diff->index(1, 6), int(Qt::Unchecked), Qt::CheckStateRole));
    QVERIFY(diff->setData(diff->index(3, 6), int(Qt::Unchecked), Qt::CheckStateRole));
    QCOMPARE(diff->applyUpdate(), 0);
    QCOMPARE(db->rowCount(), 1);
    QCOMPARE(db->bottles.at(0).fullWeight, 1000ull);
}

void tst_DiffDatabase::applyDuplicateEans()
{
    db->setBottles({bottle("1", 1000, early)});
    diff->setUpdate({bottle("1", 1100, late), bottle("1", 1200, late, 420), bottle("9", 900, late),
                     bottle("9", 950, late, 430)});
    QCOMPARE(diff->entries.size(), 4);
    QCOMPARE(diff->applyUpdate(), 4);
    QCOMPARE(db->findByEan("1")->fullWeight, 1200ull);
    QCOMPARE(db->findByEan("1")->emptyWeight, 420ull);
    // The second entry of a new EAN finds the row the first one added, instead of adding a duplicate.
    QCOMPARE(db->rowCount(), 2);
    QCOMPARE(db->findByEan("9")->fullWeight, 950ull);
    QCOMPARE(db->findByEan("9")->emptyWeight, 430ull);
}

void tst_DiffDatabase::applyTwiceAddsNothingMore()
{
    diff->setUpdate({bottle("9", 900, late)});
    QCOMPARE(diff->applyUpdate(), 1);
    QCOMPARE(diff->applyUpdate(), 1);
    QCOMPARE(db->rowCount(), 1);
    QCOMPARE(diff->rowCount(), 2);
}

QTEST_GUILESS_MAIN(tst_DiffDatabase)
#include "tst_diffdatabase.moc"
