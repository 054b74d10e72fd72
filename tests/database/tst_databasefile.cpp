#include "cipher.h"
#include "database.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray document(const QByteArray &items, const QByteArray &root = "data")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + root + ">" + items + "</" + root + ">\n";
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class tst_DatabaseFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTripKeepsEveryField_data();
    void roundTripKeepsEveryField();
    void fieldConversions_data();
    void fieldConversions();
    void itemsAtAnyDepth();
    void unknownElementEndsItem();
    void damagedDocuments_data();
    void damagedDocuments();
    void loadMissingFileKeepsList();
    void failedSaveReportsAndKeepsFile();
    void undecryptableFileIsReportedDamaged();
    void csvLines_data();
    void csvLines();
    void csvFileReplacesList();
    void csvMissingFile();

private:
    QTemporaryDir dir;
};

void tst_DatabaseFile::roundTripKeepsEveryField_data()
{
    QTest::addColumn<bool>("encrypt");
    QTest::newRow("plain") << false;
    QTest::newRow("encrypted") << true;
}

void tst_DatabaseFile::roundTripKeepsEveryField()
{
    QFETCH(bool, encrypt);
    Bottle b;
    b.ean = QStringLiteral("8594001234567");
    b.displayName = QStringLiteral("Slivovice <5>");
    b.fullName = QStringLiteral("Slivovice & švestka \"Jelínek\"");
    b.volume = 700;
    b.fullWeight = 1250;
    b.emptyWeight = 550;
    b.contentWeight = 700;
    b.weightCorrection = -15;
    b.useInInventory = true;
    b.stationText = QStringLiteral("SLIV");
    b.modified = QDateTime(QDate(2013, 5, 7), QTime(9, 5, 0, 123));
    b.inserted = QDateTime(QDate(2012, 12, 31), QTime(23, 59, 59));
    Bottle huge;
    huge.ean = QStringLiteral("2");
    huge.volume = 4294967296ull;

    Database db;
    db.bottles = {b, huge};
    const QString path = dir.filePath(QStringLiteral("roundtrip.xml"));
    QVERIFY(db.saveToFile(path, encrypt));

    Database loaded;
    QAbstractItemModelTester tester(&loaded, QAbstractItemModelTester::FailureReportingMode::QtTest);
    DocumentDamage damage;
    QVERIFY(loaded.loadFromFile(path, encrypt, &damage));
    QVERIFY(!damage.damaged);
    QCOMPARE(loaded.rowCount(), 2);
    const Bottle &r = loaded.bottles.at(0);
    QCOMPARE(r.ean, b.ean);
    QCOMPARE(r.displayName, b.displayName);
    QCOMPARE(r.fullName, b.fullName);
    QCOMPARE(r.volume, b.volume);
    QCOMPARE(r.fullWeight, b.fullWeight);
    QCOMPARE(r.emptyWeight, b.emptyWeight);
    QCOMPARE(r.contentWeight, b.contentWeight);
    QCOMPARE(r.weightCorrection, b.weightCorrection);
    QCOMPARE(r.useInInventory, true);
    QVERIFY(r.stationText.isEmpty());
    QCOMPARE(r.modified, QDateTime(QDate(2013, 5, 7), QTime(9, 5)));
    QCOMPARE(r.inserted, b.inserted);
    QCOMPARE(loaded.bottles.at(1).volume, 0ull);
}

void tst_DatabaseFile::fieldConversions_data()
{
    QTest::addColumn<QByteArray>("element");
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("volume above 32 bits") << QByteArray("<objem>4294967296</objem>") << 3 << QVariant(0ull);
    QTest::newRow("volume largest") << QByteArray("<objem>4294967295</objem>") << 3 << QVariant(4294967295ull);
    QTest::newRow("volume negative") << QByteArray("<objem>-1</objem>") << 3 << QVariant(0ull);
    QTest::newRow("full weight word") << QByteArray("<vahaPlneLahve>heavy</vahaPlneLahve>") << 4 << QVariant(0ull);
    QTest::newRow("correction negative") << QByteArray("<korekce>-15</korekce>") << 6 << QVariant(-15);
    QTest::newRow("use word true") << QByteArray("<vybrat>true</vybrat>") << 7 << QVariant(int(Qt::Unchecked));
    QTest::newRow("use 2") << QByteArray("<vybrat>2</vybrat>") << 7 << QVariant(int(Qt::Checked));
    QTest::newRow("repeated element") << QByteArray("<objem>1</objem><objem>2</objem>") << 3 << QVariant(2ull);
}

void tst_DatabaseFile::fieldConversions()
{
    QFETCH(QByteArray, element);
    QFETCH(int, column);
    QFETCH(QVariant, value);
    QList<Bottle> list;
    QVERIFY(Database::parse(document("<dataItem><ean>1</ean>" + element + "</dataItem>"), list));
    QCOMPARE(list.size(), 1);
    Database db;
    db.bottles = list;
    const int role = column == 7 ? Qt::CheckStateRole : Qt::DisplayRole;
    QCOMPARE(db.data(db.index(0, column), role), value);
}

void tst_DatabaseFile::itemsAtAnyDepth()
{
    QList<Bottle> list;
    const QByteArray bytes = document("<group><dataItem><ean>1</ean></dataItem></group>"
                                      "<dataItem><ean>2</ean><upraveno>2013-05-07 9:05:00</upraveno>"
                                      "<vlozeno>2013-05-07 19:05:00</vlozeno></dataItem>",
                                      "catalogue");
    DocumentDamage damage;
    QVERIFY(Database::parse(bytes, list, &damage));
    QVERIFY(!damage.damaged);
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).ean, QStringLiteral("1"));
    // A one-digit hour does not match the pattern and is written back empty.
    QVERIFY(!list.at(1).modified.isValid());
    QCOMPARE(list.at(1).inserted, QDateTime(QDate(2013, 5, 7), QTime(19, 5)));
    QVERIFY(Database::toDocument(list).contains("<upraveno></upraveno>"));
}

void tst_DatabaseFile::unknownElementEndsItem()
{
    QList<Bottle> list;
    QTest::ignoreMessage(QtWarningMsg, "unknown XML element: barva");
    QVERIFY(Database::parse(document("<dataItem><ean>1</ean><nazev>Rum</nazev><barva>hneda</barva>"
                                     "<objem>700</objem></dataItem><dataItem><ean>2</ean></dataItem>"),
                            list));
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).ean, QStringLiteral("1"));
    QCOMPARE(list.at(0).displayName, QStringLiteral("Rum"));
    QCOMPARE(list.at(0).volume, 0ull);
    QCOMPARE(list.at(1).ean, QStringLiteral("2"));
}

void tst_DatabaseFile::damagedDocuments_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("eans");
    QTest::addColumn<bool>("damaged");
    QTest::newRow("whole") << document("<dataItem><ean>1</ean></dataItem>") << QStringList{"1"} << false;
    QTest::newRow("cut inside an item")
        << QByteArray("<data><dataItem><ean>1</ean></dataItem><dataItem><ean>2</ean><objem>7")
        << QStringList{"1", "2"} << true;
    QTest::newRow("mismatched tag")
        << QByteArray("<data><dataItem><ean>1</ean></dataItem></dataItem><dataItem><ean>3</ean></dataItem>")
        << QStringList{"1"} << true;
    QTest::newRow("element inside a field")
        << document("<dataItem><ean>1<b>x</b></ean><objem>5</objem></dataItem>") << QStringList{"1"} << true;
    QTest::newRow("empty") << QByteArray() << QStringList() << true;
    QTest::newRow("not xml") << QByteArray("ean;name\n") << QStringList() << true;
    QTest::newRow("zero byte ends the text")
        << QByteArray("<data><dataItem><ean>1</ean></dataItem>") + QByteArray(1, '\0') + "</data>"
        << QStringList{"1"} << true;
}

void tst_DatabaseFile::damagedDocuments()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, eans);
    QFETCH(bool, damaged);
    QList<Bottle> list{Bottle()};
    DocumentDamage damage;
    QVERIFY(Database::parse(bytes, list, &damage));
    QStringList read;
    for (const Bottle &b : list)
        read << b.ean;
    QCOMPARE(read, eans);
    QCOMPARE(damage.damaged, damaged);
    QCOMPARE(damage.toString().isEmpty(), !damaged);
}

void tst_DatabaseFile::loadMissingFileKeepsList()
{
    Database db;
    db.insertBottle(0, QStringLiteral("1"));
    QVERIFY(!db.loadFromFile(dir.filePath(QStringLiteral("absent.xml"))));
    QCOMPARE(db.rowCount(), 1);
}

void tst_DatabaseFile::failedSaveReportsAndKeepsFile()
{
    Database db;
    db.insertBottle(0, QStringLiteral("1"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Unable to save database file"));
    QVERIFY(!db.saveToFile(dir.filePath(QStringLiteral("no/such/folder/database70.xml"))));

    // The target's place is taken by a folder: the write cannot be committed and nothing is replaced.
    const QString blocked = dir.filePath(QStringLiteral("blocked.xml"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("blocked.xml")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Unable to save database file"));
    QVERIFY(!db.saveToFile(blocked));
    QVERIFY(QFileInfo(blocked).isDir());

    // A good save replaces the previous file as a whole.
    const QString path = dir.filePath(QStringLiteral("replace.xml"));
    QVERIFY(writeFile(path, QByteArray(100000, 'x')));
    QVERIFY(db.saveToFile(path));
    QCOMPARE(readFile(path), Database::toDocument(db.bottles));
}

void tst_DatabaseFile::undecryptableFileIsReportedDamaged()
{
    const QString path = dir.filePath(QStringLiteral("plain.xml"));
    QVERIFY(writeFile(path, document("<dataItem><ean>1</ean></dataItem>")));
    Database db;
    DocumentDamage damage;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not a valid encrypted container"));
    QVERIFY(db.loadFromFile(path, true, &damage));
    QVERIFY(damage.damaged);
    QCOMPARE(db.rowCount(), 0);
}

void tst_DatabaseFile::csvLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected"); // ean|fullName|displayName|volume|full|empty per record

    QTest::newRow("crlf") << QByteArray("859;Rum Extra;Rum;700;1250;550\r\n1;Gin;G;500;900;400\r\n")
                          << QStringList{"859|Rum Extra|Rum|700|1250|550", "1|Gin|G|500|900|400"};
    QTest::newRow("bare lf") << QByteArray("859;Rum Extra;Rum;700;1250;550\n1;Gin;G;500;900;400")
                             << QStringList{"859|Rum Extra|Rum|700|1250|550", "1|Gin|G|500|900|400"};
    QTest::newRow("bare cr before lf, last line open")
        << QByteArray("1;a;b;1;2;3\r") << QStringList{"1|a|b|1|2|3"};
    QTest::newRow("short name cut to 15 bytes")
        << QByteArray("1;Full;Short name that is long;1;2;3\r\n") << QStringList{"1|Full|Short name that|1|2|3"};
    QTest::newRow("cut keeps whole characters")
        << QByteArray("1;F;Žlutý čajový likér;1;2;3\r\n") << QStringList{"1|F|Žlutý čajov|1|2|3"};
    QTest::newRow("five and seven fields skipped")
        << QByteArray("1;a;b;1;2\r\n2;a;b;1;2;3;4\r\n3;a;b;1;2;3\r\n") << QStringList{"3|a|b|1|2|3"};
    QTest::newRow("header line imported with zeros")
        << QByteArray("ean;name;short;volume;full;empty\r\n") << QStringList{"ean|name|short|0|0|0"};
    QTest::newRow("negative volume wraps")
        << QByteArray("1;a;b;-1;x;2147483648\r\n") << QStringList{"1|a|b|18446744073709551615|0|0"};
    QTest::newRow("empty") << QByteArray() << QStringList();
}

void tst_DatabaseFile::csvLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    const QDateTime before = QDateTime::currentDateTime();
    QStringList read;
    for (const Bottle &b : Database::parseCsv(bytes)) {
        read << QStringLiteral("%1|%2|%3|%4|%5|%6").arg(b.ean, b.fullName, b.displayName).arg(b.volume)
                    .arg(b.fullWeight).arg(b.emptyWeight);
        QCOMPARE(b.weightCorrection, 0);
        QCOMPARE(b.contentWeight, 0ull);
        QVERIFY(!b.useInInventory);
        QVERIFY(b.modified >= before && b.inserted >= before);
    }
    QCOMPARE(read, expected);
}

void tst_DatabaseFile::csvFileReplacesList()
{
    const QString path = dir.filePath(QStringLiteral("import.csv"));
    QVERIFY(writeFile(path, "1;a;b;1;2;3\r\n2;c;d;4;5;6\r\n"));
    Database db;
    QAbstractItemModelTester tester(&db, QAbstractItemModelTester::FailureReportingMode::QtTest);
    db.insertBottle(0, QStringLiteral("old"));
    QSignalSpy reset(&db, &QAbstractItemModel::modelReset);
    QVERIFY(reset.isValid());
    QVERIFY(db.loadFromCSVFile(path));
    QCOMPARE(reset.count(), 1);
    QCOMPARE(db.rowCount(), 2);
    QVERIFY(!db.findByEan(QStringLiteral("old")));
    QCOMPARE(db.findByEan(QStringLiteral("2"))->emptyWeight, 6ull);
}

void tst_DatabaseFile::csvMissingFile()
{
    Database db;
    db.insertBottle(0, QStringLiteral("old"));
    QTest::ignoreMessage(QtWarningMsg, "Unable to open database file");
    QVERIFY(!db.loadFromCSVFile(dir.filePath(QStringLiteral("absent.csv"))));
    QCOMPARE(db.rowCount(), 1);
}

QTEST_GUILESS_MAIN(tst_DatabaseFile)
#include "tst_databasefile.moc"
