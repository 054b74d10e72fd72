#include "cipher.h"
#include "database.h"
#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using TestSupport::readFile;
using TestSupport::writeFile;
using Run = TestSupport::ToolRun;

class tst_CatalogueCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sampleImportLoadsWithEveryField();
    void containerRoundTrips_data();
    void containerRoundTrips();
    void diffAndApply();
    void badInputFails_data();
    void badInputFails();
    void catalogueValuesChecked_data();
    void catalogueValuesChecked();

private:
    Run ctl(const QStringList &args);
    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

void tst_CatalogueCommands::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(QFile::exists(QStringLiteral(QUARMELCTL)));
    QVERIFY(writeFile(path("small.csv"), "859;Rum Extra;Rum;700;1250;550\r\n1;Gin;Gin;500;900;400\r\n"));
}

Run tst_CatalogueCommands::ctl(const QStringList &args)
{
    return TestSupport::runTool(QStringLiteral(QUARMELCTL), QStringList{QStringLiteral("catalogue")} + args);
}

void tst_CatalogueCommands::sampleImportLoadsWithEveryField()
{
    const QString sample = QStringLiteral(QUARMEL_SOURCE_DIR "/tools/station-sim/samples/catalogue.csv");
    if (!QFile::exists(sample))
        QSKIP("no sample catalogue in this tree");
    const Run run = ctl({QStringLiteral("import-csv"), sample, path("sample.xml")});
    QCOMPARE(run.code, 0);

    const QList<Bottle> imported = Database::parseCsv(readFile(sample));
    QVERIFY(!imported.isEmpty());
    Database db;
    DocumentDamage damage;
    QVERIFY(db.loadFromFile(path("sample.xml"), false, &damage));
    QVERIFY(!damage.damaged);
    QCOMPARE(db.rowCount(), imported.size());
    for (int i = 0; i < imported.size(); ++i) {
        const Bottle &a = imported.at(i);
        const Bottle &b = db.bottles.at(i);
        QCOMPARE(b.ean, a.ean);
        QCOMPARE(b.displayName, a.displayName);
        QCOMPARE(b.fullName, a.fullName);
        QCOMPARE(b.volume, a.volume);
        QCOMPARE(b.fullWeight, a.fullWeight);
        QCOMPARE(b.emptyWeight, a.emptyWeight);
        QVERIFY(b.modified.isValid() && b.inserted.isValid());
    }
}

void tst_CatalogueCommands::containerRoundTrips_data()
{
    QTest::addColumn<QString>("there");
    QTest::addColumn<QString>("back");
    QTest::newRow("container") << "encrypt" << "decrypt";
    QTest::newRow("hex text") << "encrypt-hex" << "decrypt-hex";
}

void tst_CatalogueCommands::containerRoundTrips()
{
    QFETCH(QString, there);
    QFETCH(QString, back);
    QCOMPARE(ctl({QStringLiteral("import-csv"), path("small.csv"), path("small.xml")}).code, 0);
    QCOMPARE(ctl({there, path("small.xml"), path("small.enc")}).code, 0);
    QVERIFY(readFile(path("small.enc")) != readFile(path("small.xml")));
    const Run run = ctl({back, path("small.enc"), QStringLiteral("-")});
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, readFile(path("small.xml")));
}

void tst_CatalogueCommands::diffAndApply()
{
    Bottle known;
    known.ean = QStringLiteral("859");
    known.fullWeight = 1250;
    known.modified = QDateTime(QDate(2013, 1, 1), QTime(8, 0));
    Bottle same = known;
    same.ean = QStringLiteral("1");
    Database local;
    local.bottles = {known, same};
    QVERIFY(local.saveToFile(path("local.xml")));

    Bottle changed = known;
    changed.fullWeight = 1260;
    changed.modified = known.modified.addYears(1);
    Bottle fresh;
    fresh.ean = QStringLiteral("42");
    fresh.fullWeight = 900;
    QByteArray hex;
    QVERIFY(encryptHexData(Database::toDocument({changed, same, fresh}), hex));
    QVERIFY(writeFile(path("update.hex"), hex + "\n"));

    const Run diff = ctl({QStringLiteral("diff"), path("local.xml"), path("update.hex")});
    QCOMPARE(diff.code, 0);
    QCOMPARE(diff.out, QByteArray("859;1250;1260;changed\n42;0;900;new\n"));

    QCOMPARE(ctl({QStringLiteral("apply"), path("local.xml"), path("update.hex"), path("out.xml")}).code, 0);
    Database result;
    QVERIFY(result.loadFromFile(path("out.xml")));
    QCOMPARE(result.rowCount(), 3);
    QCOMPARE(result.findByEan(QStringLiteral("859"))->fullWeight, 1260ull);
    QCOMPARE(result.findByEan(QStringLiteral("42"))->fullWeight, 900ull);
    QCOMPARE(ctl({QStringLiteral("diff"), path("out.xml"), path("update.hex")}).out, QByteArray());
}

void tst_CatalogueCommands::badInputFails_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input"); // written to in.bin first
    QTest::newRow("decrypt plain text") << QStringList{"decrypt", "in.bin", "out"} << QByteArray("<data/>");
    QTest::newRow("decrypt short") << QStringList{"decrypt", "in.bin", "out"} << QByteArray("OAES");
    QByteArray empty;
    encryptData(QByteArray(), empty);
    QTest::newRow("decrypt to nothing") << QStringList{"decrypt", "in.bin", "out"} << empty;
    QTest::newRow("encrypt nothing") << QStringList{"encrypt", "in.bin", "out"} << QByteArray();
    QTest::newRow("encrypt-hex nothing") << QStringList{"encrypt-hex", "in.bin", "out"} << QByteArray();
    QTest::newRow("decrypt-hex without digits") << QStringList{"decrypt-hex", "in.bin", "out"}
                                                << QByteArray("\n\n");
    QTest::newRow("decrypt-hex of xml") << QStringList{"decrypt-hex", "in.bin", "out"}
                                        << QByteArray("<data></data>");
    QTest::newRow("csv without six fields") << QStringList{"import-csv", "in.bin", "out"}
                                            << QByteArray("a;b;c\r\n");
    QTest::newRow("missing input") << QStringList{"encrypt", "absent", "out"} << QByteArray();
    QTest::newRow("damaged update") << QStringList{"diff", "in.bin", "in.bin"}
                                    << QByteArray("<data><dataItem><ean>1</ean>");
    QTest::newRow("unwritable output")
        << QStringList{"encrypt", "in.bin", "no/such/dir/out"} << QByteArray("x");
    QTest::newRow("unknown command") << QStringList{"shred", "in.bin"} << QByteArray();
    QTest::newRow("missing argument") << QStringList{"apply", "in.bin", "in.bin"} << QByteArray();
}

void tst_CatalogueCommands::badInputFails()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QVERIFY(writeFile(path("in.bin"), input));
    QFile::remove(path("out"));
    for (int i = 1; i < args.size(); ++i)
        args[i] = path(args.at(i));
    const Run run = ctl(args);
    QVERIFY(run.code > 0);
    QVERIFY(!run.err.isEmpty());
    QVERIFY(!QFile::exists(path("out")));
}

void tst_CatalogueCommands::catalogueValuesChecked_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");  // written to in.bin first
    QTest::addColumn<QByteArray>("update"); // written to update.bin first
    QTest::addColumn<bool>("written");
    QTest::addColumn<QByteArray>("errHas");
    QTest::addColumn<QByteArray>("outHas");

    const QStringList import{"import-csv", "in.bin", "out"};
    const QStringList apply{"apply", "in.bin", "update.bin", "out"};
    const QByteArray none;
    QTest::newRow("upc-a and its ean-13 form")
        << import << QByteArray("012000637681;Cola;Cola;330;350;20\r\n0012000637681;Cola;Cola;330;360;20\r\n")
        << none << false << QByteArray("rows 1 and 2: 012000637681 and 0012000637681 are one EAN") << none;
    QTest::newRow("one ean twice")
        << import << QByteArray("1;a;a;1;2;1\r\n4006381333931;a;a;1;2;1\r\n4006381333931;b;b;1;3;1\r\n")
        << none << false << QByteArray("rows 2 and 3: EAN 4006381333931 twice") << none;
    QTest::newRow("decimals in a csv line")
        << import << QByteArray("4006381333931;Rum;Rum;0,7 l;1186,0;520.5\r\n") << none << false
        << QByteArray("line 1: volume 0,7 l is not a whole number, empty weight 520.5 is not a whole number")
        << none;
    QTest::newRow("zero decimals read whole")
        << import << QByteArray("4006381333931;Rum;Rum;700;1186,0;520\r\n") << none << true << none
        << QByteArray("<vahaPlneLahve>1186</vahaPlneLahve>");
    QTest::newRow("wrong check digit written with a warning")
        << import << QByteArray("4006381333932;Rum;Rum;700;1186;520\r\n") << none << true
        << QByteArray("row 1: the last digit of 4006381333932 should be 1") << QByteArray("4006381333932");
    const QByteArray correction = "<data><dataItem><ean>4006381333931</ean><korekce>12.5</korekce></dataItem></data>";
    QTest::newRow("decimal correction not applied as 0")
        << apply << correction << QByteArray("<data/>") << false << QByteArray("<korekce>12.5 is not a whole number")
        << none;
    QTest::newRow("update bringing the ean-13 form")
        << apply << QByteArray("<data><dataItem><ean>012000637681</ean></dataItem></data>")
        << QByteArray("<data><dataItem><ean>0012000637681</ean><vahaPlneLahve>360</vahaPlneLahve></dataItem></data>")
        << false << QByteArray("012000637681 and 0012000637681 are one EAN") << none;
}

// A value the station would hold as something else is refused by name; nothing is written.
void tst_CatalogueCommands::catalogueValuesChecked()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, update);
    QFETCH(bool, written);
    QFETCH(QByteArray, errHas);
    QFETCH(QByteArray, outHas);
    QVERIFY(writeFile(path("in.bin"), input));
    QVERIFY(writeFile(path("update.bin"), update));
    QFile::remove(path("out"));
    for (int i = 1; i < args.size(); ++i)
        args[i] = path(args.at(i));
    const Run run = ctl(args);
    QVERIFY2(run.err.contains(errHas), run.err.constData());
    QCOMPARE(run.code == 0, written);
    QCOMPARE(QFile::exists(path("out")), written);
    if (written)
        QVERIFY(readFile(path("out")).contains(outHas));
}

QTEST_GUILESS_MAIN(tst_CatalogueCommands)
#include "tst_cataloguecommands.moc"
