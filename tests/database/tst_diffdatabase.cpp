#include "database.h"
#include "diffdatabase.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
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
} // namespace

class tst_DiffDatabase : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newEanShowsPlaceholderPair();
    void offerRule_data();
    void offerRule();
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
