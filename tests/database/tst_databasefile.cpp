#include "cataloguedocument.h"
#include "cipher.h"
#include "database.h"
#include "testsupport.h"
#include "zonescope.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamWriter>

#include <csignal>
#include <sys/resource.h>

using TestSupport::readFile;
using TestSupport::writeFile;

namespace {
QByteArray document(const QByteArray &items, const QByteArray &root = "data")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + root + ">" + items + "</" + root + ">\n";
}

// The document as Qt's XML writer lays it out, for comparison with our own writer.
QByteArray referenceDocument(const QList<Bottle> &list)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument(QStringLiteral("1.0"));
    xml.writeStartElement(QStringLiteral("data"));
    for (const Bottle &b : list) {
        xml.writeStartElement(QStringLiteral("dataItem"));
        xml.writeTextElement(QStringLiteral("ean"), b.ean);
        xml.writeTextElement(QStringLiteral("nazev"), b.displayName);
        xml.writeTextElement(QStringLiteral("oznaceni"), b.fullName);
        xml.writeTextElement(QStringLiteral("objem"), QString::number(b.volume));
        xml.writeTextElement(QStringLiteral("vahaPrazdneLahve"), QString::number(b.emptyWeight));
        xml.writeTextElement(QStringLiteral("vahaPlneLahve"), QString::number(b.fullWeight));
        xml.writeTextElement(QStringLiteral("vahaObsahu"), QString::number(b.contentWeight));
        xml.writeTextElement(QStringLiteral("korekce"), QString::number(b.weightCorrection));
        xml.writeTextElement(QStringLiteral("vybrat"), QString::number(b.useInInventory ? 1 : 0));
        xml.writeTextElement(QStringLiteral("upraveno"), Database::dateTimeToText(b.modified));
        xml.writeTextElement(QStringLiteral("vlozeno"), Database::dateTimeToText(b.inserted));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

QList<Bottle> richCatalogue()
{
    QList<Bottle> list;
    const QStringList names{QStringLiteral("Rum & Cola <light>"), QStringLiteral("\"Jelínek\" 'Zlatá'"),
                            QStringLiteral("tab\tand\nline"), QString(), QStringLiteral("a]]>b"),
                            QStringLiteral("Žluťoučký kůň 🍸"), QStringLiteral("  padded  ")};
    for (int i = 0; i < names.size(); ++i) {
        Bottle b;
        b.ean = QString::number(8590000000000ll + i);
        b.displayName = names.at(i);
        b.fullName = names.at(names.size() - 1 - i);
        b.volume = i == 0 ? Bottle::maxQuantity : 700;
        b.fullWeight = 1000 + i;
        b.emptyWeight = 500;
        b.contentWeight = i;
        b.weightCorrection = i % 2 ? -Bottle::maxCorrection : Bottle::maxCorrection;
        b.useInInventory = i % 2;
        b.modified = i == 3 ? QDateTime() : QDateTime(QDate(2013, 3, 31), QTime(i, 30));
        b.inserted = QDateTime(QDate(2020, 10, 25), QTime(i % 24, 59, 59));
        list.append(b);
    }
    return list;
}

QString describe(const Bottle &b)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9|%10|%11")
        .arg(b.ean, b.displayName, b.fullName)
        .arg(b.volume).arg(b.fullWeight).arg(b.emptyWeight).arg(b.contentWeight).arg(b.weightCorrection)
        .arg(b.useInInventory)
        .arg(b.modified.isValid() ? QString::number(b.modified.toMSecsSinceEpoch()) : QStringLiteral("-"))
        .arg(b.inserted.isValid() ? QString::number(b.inserted.toMSecsSinceEpoch()) : QStringLiteral("-"));
}

QStringList describe(const QList<Bottle> &list)
{
    QStringList out;
    for (const Bottle &b : list)
        out << describe(b);
    return out;
}
} // namespace

class tst_DatabaseFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTripKeepsEveryField_data();
    void roundTripKeepsEveryField();
    void roundTripInZone_data();
    void roundTripInZone();
    void fieldConversions_data();
    void fieldConversions();
    void itemsAtAnyDepth();
    void unknownElementEndsItem();
    void unknownElementsLoggedFewTimes();
    void damagedDocuments_data();
    void damagedDocuments();
    void writerMatchesQtWriter();
    void writerKeepsDocumentWellFormed();
    void fastReaderAgreesWithGeneralReader_data();
    void fastReaderAgreesWithGeneralReader();
    void localTimesMatchQt();
    void loadMissingFileKeepsList();
    void failedSaveReportsAndKeepsFile();
    void undecryptableFileIsReportedDamaged();
    void csvLines_data();
    void csvLines();

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
    QTest::ignoreMessage(QtWarningMsg, "value out of range: <objem>4294967296");
    QVERIFY(loaded.loadFromFile(path, encrypt, &damage));
    // Nothing the program makes holds such a volume; read as 0 it would reach the station as a wrong one.
    QVERIFY(damage.damaged);
    QCOMPARE(loaded.rowCount(), 1);
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
}

void tst_DatabaseFile::roundTripInZone_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<bool>("encrypt");
    QTest::newRow("UTC") << QByteArray("UTC") << false;
    QTest::newRow("daylight saving") << QByteArray("Europe/Prague") << false;
    QTest::newRow("daylight saving, encrypted") << QByteArray("Europe/Prague") << true;
    QTest::newRow("southern daylight saving") << QByteArray("Australia/Sydney") << false;
}

namespace {
// A local time that occurs twice, in the hour repeated when clocks go back: the file's text cannot say which
// of the two instants was meant.
bool repeatedLocalTime(const QDateTime &dateTime)
{
    for (const qint64 shift : {-3600, 3600}) {
        const QDateTime other = dateTime.addSecs(shift).toLocalTime();
        if (other.date() == dateTime.date() && other.time() == dateTime.time())
            return true;
    }
    return false;
}
} // namespace

// Every field of awkward records, timestamps on the days clocks change included, survives a save and a load,
// and saving what was loaded writes the same bytes again.
void tst_DatabaseFile::roundTripInZone()
{
    QFETCH(QByteArray, zone);
    QFETCH(bool, encrypt);
    const ZoneScope scope(zone);
    QList<Bottle> list = richCatalogue();
    // Days on which clocks change in the southern hemisphere.
    for (const QDate &date : {QDate(2013, 4, 7), QDate(2013, 10, 6)}) {
        for (int hour = 1; hour <= 3; ++hour) {
            Bottle b = list.at(hour);
            b.modified = QDateTime(date, QTime(hour, 15, 30));
            b.inserted = QDateTime(date, QTime(hour, 45));
            list.append(b);
        }
    }
    for (Bottle &b : list)
        b.stationText = QStringLiteral("ST");
    Database db;
    db.setBottles(list);
    const QString path = dir.filePath(QStringLiteral("zone.xml"));
    QVERIFY(db.saveToFile(path, encrypt));

    Database loaded;
    DocumentDamage damage;
    QVERIFY(loaded.loadFromFile(path, encrypt, &damage));
    QVERIFY2(!damage.damaged, qPrintable(damage.toString()));
    QCOMPARE(loaded.rowCount(), list.size());
    for (int i = 0; i < list.size(); ++i) {
        const Bottle &before = list.at(i);
        Bottle after = loaded.bottles.at(i);
        QVERIFY(after.stationText.isEmpty());
        QCOMPARE(Database::dateTimeToText(after.modified), Database::dateTimeToText(before.modified));
        QCOMPARE(Database::dateTimeToText(after.inserted), Database::dateTimeToText(before.inserted));
        if (repeatedLocalTime(before.modified))
            after.modified = before.modified;
        if (repeatedLocalTime(before.inserted))
            after.inserted = before.inserted;
        QCOMPARE(describe(after), describe(before));
    }

    const QString again = dir.filePath(QStringLiteral("zone-again.xml"));
    QVERIFY(loaded.saveToFile(again, encrypt));
    QCOMPARE(readFile(again), readFile(path));
}

void tst_DatabaseFile::fieldConversions_data()
{
    QTest::addColumn<QByteArray>("element");
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QByteArray>("warning");
    const QByteArray none;
    QTest::newRow("volume largest") << QByteArray("<objem>65535</objem>") << 3 << QVariant(65535ull) << none;
    QTest::newRow("volume above 16 bits") << QByteArray("<objem>65536</objem>") << 3 << QVariant(0ull)
                                          << QByteArray("<objem>65536");
    QTest::newRow("volume above 32 bits") << QByteArray("<objem>4294967295</objem>") << 3 << QVariant(0ull)
                                          << QByteArray("<objem>4294967295");
    QTest::newRow("volume negative") << QByteArray("<objem>-1</objem>") << 3 << QVariant(0ull)
                                     << QByteArray("<objem>-1");
    QTest::newRow("empty weight above") << QByteArray("<vahaPrazdneLahve>70000</vahaPrazdneLahve>") << 5
                                        << QVariant(0ull) << QByteArray("<vahaPrazdneLahve>70000");
    QTest::newRow("full weight word")
        << QByteArray("<vahaPlneLahve>heavy</vahaPlneLahve>") << 4 << QVariant(0ull) << none;
    QTest::newRow("correction negative")
        << QByteArray("<korekce>-15</korekce>") << 6 << QVariant(-15) << none;
    QTest::newRow("correction lowest") << QByteArray("<korekce>-65535</korekce>") << 6 << QVariant(-65535)
                                       << none;
    QTest::newRow("correction above") << QByteArray("<korekce>2147483647</korekce>") << 6 << QVariant(0)
                                      << QByteArray("<korekce>2147483647");
    QTest::newRow("use word true") << QByteArray("<vybrat>true</vybrat>") << 7
                                   << QVariant(int(Qt::Unchecked)) << none;
    QTest::newRow("use 2") << QByteArray("<vybrat>2</vybrat>") << 7 << QVariant(int(Qt::Checked)) << none;
    QTest::newRow("repeated element")
        << QByteArray("<objem>1</objem><objem>2</objem>") << 3 << QVariant(2ull) << none;
    // Read as 0, a full bottle with a correction of 12.5 g would read 713 ml.
    QTest::newRow("decimal correction") << QByteArray("<korekce>12.5</korekce>") << 6 << QVariant(0)
                                        << QByteArray("<korekce>12.5");
    QTest::newRow("decimal weight") << QByteArray("<vahaPrazdneLahve>520.5</vahaPrazdneLahve>") << 5
                                    << QVariant(0ull) << QByteArray("<vahaPrazdneLahve>520.5");
    QTest::newRow("decimal volume in litres") << QByteArray("<objem>0,7 l</objem>") << 3 << QVariant(0ull)
                                              << QByteArray("<objem>0,7 l");
    QTest::newRow("whole with a zero decimal") << QByteArray("<vahaPlneLahve>1186,0</vahaPlneLahve>") << 4
                                               << QVariant(1186ull) << none;
    QTest::newRow("negative correction with zero decimals")
        << QByteArray("<korekce>-15.00</korekce>") << 6 << QVariant(-15) << none;
}

void tst_DatabaseFile::fieldConversions()
{
    QFETCH(QByteArray, element);
    QFETCH(int, column);
    QFETCH(QVariant, value);
    QFETCH(QByteArray, warning);
    const bool decimal = QByteArray(QTest::currentDataTag()).startsWith("decimal");
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, (decimal ? "value not a whole number: " : "value out of range: ") +
                                               warning);
    QList<Bottle> list;
    DocumentDamage damage;
    const QByteArray items =
        "<dataItem><ean>1</ean></dataItem><dataItem><ean>2</ean>" + element + "</dataItem>";
    QVERIFY(Database::parse(document(items), list, &damage));
    // A value the station cannot hold is a fault: the reading ends before its record, and says where.
    QCOMPARE(damage.damaged, !warning.isEmpty());
    QCOMPARE(list.size(), warning.isEmpty() ? 2 : 1);
    if (damage.damaged) {
        QVERIFY2(damage.toString().startsWith("line 2, column ") &&
                     damage.toString().contains(warning + (decimal ? " is not a whole number" : " lies outside ")),
                 qPrintable(damage.toString()));
        return;
    }
    list.removeFirst();
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

void tst_DatabaseFile::unknownElementsLoggedFewTimes()
{
    static int lines = 0;
    static QString last;
    lines = 0;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
            ++lines;
            last = text;
        });
    QByteArray items;
    for (int i = 0; i < 5000; ++i)
        items += "<dataItem><ean>1</ean><barva>hneda</barva></dataItem>";
    QList<Bottle> list;
    Database::parse(document(items), list);
    qInstallMessageHandler(previous);
    QCOMPARE(list.size(), 5000);
    QCOMPARE(lines, 11);
    QCOMPARE(last, QStringLiteral("4990 more unknown XML elements not shown"));
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
    QTest::newRow("declared encoding is not consulted")
        << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?>"
                      "<data><dataItem><ean>\xc5\xbdlu\xc5\xa5</ean></dataItem></data>")
        << QStringList{QStringLiteral("Žluť")} << false;
    QTest::newRow("byte order mark") << "\xef\xbb\xbf" + document("<dataItem><ean>1</ean></dataItem>")
                                     << QStringList{"1"} << false;
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

void tst_DatabaseFile::writerMatchesQtWriter()
{
    const QList<Bottle> list = richCatalogue();
    QCOMPARE(Database::toDocument(list), referenceDocument(list));
    QCOMPARE(Database::toDocument({}), referenceDocument({}));
}

void tst_DatabaseFile::writerKeepsDocumentWellFormed()
{
    Bottle b;
    b.displayName = QStringLiteral("a\x01" "b\rc") + QChar(0xFFFF) + QChar(0xD800);
    QList<Bottle> list;
    DocumentDamage damage;
    Database::parse(Database::toDocument({b}), list, &damage);
    QVERIFY2(!damage.damaged, qPrintable(damage.toString()));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.at(0).displayName, QStringLiteral("ab\rc"));
}

void tst_DatabaseFile::fastReaderAgreesWithGeneralReader_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("fast");

    const QByteArray written = Database::toDocument(richCatalogue());
    QTest::newRow("written by the program") << written << true;
    QTest::newRow("empty, written by the program") << Database::toDocument({}) << true;
    QTest::newRow("crlf line ends") << Database::toDocument(richCatalogue().mid(0, 2)).replace("\n", "\r\n")
                                    << true;
    QTest::newRow("crlf inside a text") << QByteArray(written).replace("\n", "\r\n") << false;
    QTest::newRow("no declaration, other order, missing fields")
        << QByteArray("<data><dataItem><vybrat>7</vybrat><ean>1</ean><objem>007</objem></dataItem>"
                      "<dataItem></dataItem></data>")
        << true;
    const QByteArray item("<dataItem><ean>1</ean><objem>%1</objem><korekce>%2</korekce>"
                          "<upraveno>%3</upraveno></dataItem>");
    const auto doc = [&item](const char *volume, const char *correction, const char *date) {
        return QByteArray("<data>") + QString::fromUtf8(item).arg(volume, correction, date).toUtf8() +
               "</data>";
    };
    QTest::newRow("numbers with blanks and signs") << doc(" 700 ", "+5", "2013-05-07 09:05:00") << false;
    QTest::newRow("numbers out of range") << doc("4294967296", "2147483648", "2013-05-07 09:05:00") << false;
    QTest::newRow("negative correction, bad date") << doc("1", "-15", "2013-02-30 09:05:00") << false;
    QTest::newRow("character reference") << doc("&#55;", "0", "2013-05-07 09:05:00") << false;
    QTest::newRow("entity in date") << doc("1", "0", "2013-05-07&#32;09:05:00") << false;
    QTest::newRow("cdata") << doc("<![CDATA[5]]>", "0", "x") << false;
    QTest::newRow("comment") << QByteArray("<data><!-- c --><dataItem><ean>1</ean></dataItem></data>")
                             << false;
    QTest::newRow("attribute") << QByteArray("<data><dataItem id=\"1\"><ean>1</ean></dataItem></data>")
                               << false;
    QTest::newRow("empty element tag")
        << QByteArray("<data><dataItem><ean/><objem>3</objem></dataItem></data>") << false;
    QTest::newRow("nested item") << QByteArray("<data><g><dataItem><ean>1</ean></dataItem></g></data>")
                                 << false;
    QTest::newRow("cut short") << written.left(written.size() / 2) << false;
    QTest::newRow("bad utf-8") << QByteArray("<data><dataItem><ean>\xc3(\xff</ean></dataItem></data>")
                               << false;
    QTest::newRow("control character") << QByteArray("<data><dataItem><ean>\x01</ean></dataItem></data>")
                                       << false;
    QTest::newRow("carriage return in text")
        << QByteArray("<data><dataItem><ean>a\rb</ean></dataItem></data>") << false;
    QTest::newRow("cdata end in text")
        << QByteArray("<data><dataItem><ean>a]]>b</ean></dataItem></data>") << false;
    QTest::newRow("bare ampersand") << QByteArray("<data><dataItem><ean>a&b</ean></dataItem></data>")
                                    << false;
    QTest::newRow("blank before declaration") << " " + written << false;
    QTest::newRow("trailing content") << QByteArray("<data></data><data></data>") << false;
}

void tst_DatabaseFile::fastReaderAgreesWithGeneralReader()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, fast);
    const Bottle fresh;
    LocalTimes times;
    QList<Bottle> quick;
    QList<Bottle> general;
    const bool tookFastRoad = CatalogueDocument::readCanonical(bytes.constData(), bytes.size(), fresh, quick,
                                                               times);
    DocumentDamage damage;
    CatalogueDocument::readStream(bytes.constData(), bytes.size(), fresh, general, times, &damage);
    if (fast)
        QVERIFY(tookFastRoad);
    if (tookFastRoad) {
        QVERIFY(!damage.damaged);
        QCOMPARE(describe(quick), describe(general));
    }
}

void tst_DatabaseFile::localTimesMatchQt()
{
    // Daylight-saving changes are where a reused offset could go wrong; a zone that has them makes them real.
    const QByteArray previous = qgetenv("TZ");
    qputenv("TZ", "Europe/Prague");
    LocalTimes times;
    for (const QDate &date : {QDate(2013, 3, 31), QDate(2013, 10, 27), QDate(2013, 7, 1)}) {
        for (int minutes = 0; minutes < 5 * 60; minutes += 7) {
            const QTime time(minutes / 60, minutes % 60, minutes % 59);
            const QDateTime expected(date, time, Qt::LocalTime);
            const QDateTime made = times.make(date, time);
            const QString where = date.toString(Qt::ISODate) + QLatin1Char(' ') + time.toString();
            QVERIFY2(made.isValid() == expected.isValid(), qPrintable(where));
            QVERIFY2(made.toMSecsSinceEpoch() == expected.toMSecsSinceEpoch(), qPrintable(where));
            QVERIFY2(Database::dateTimeToText(made) == Database::dateTimeToText(expected), qPrintable(where));
        }
    }
    if (previous.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", previous);
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

    // A write cut short (here by a file size limit, as a full disk would) leaves the previous file whole.
    const QString kept = dir.filePath(QStringLiteral("kept.xml"));
    const QByteArray previous = Database::toDocument(db.bottles);
    QVERIFY(writeFile(kept, previous));
    Database big;
    for (int i = 0; i < 200; ++i)
        big.insertBottle(i, QString::number(i));
    struct rlimit limit;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const struct rlimit small{4096, limit.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Unable to save database file"));
    const bool saved = big.saveToFile(kept);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(!saved);
    QCOMPARE(readFile(kept), previous);

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
    QTest::addColumn<int>("reported");         // lines with a value the station cannot hold

    QTest::newRow("crlf") << QByteArray("859;Rum Extra;Rum;700;1250;550\r\n1;Gin;G;500;900;400\r\n")
                          << QStringList{"859|Rum Extra|Rum|700|1250|550", "1|Gin|G|500|900|400"} << 0;
    QTest::newRow("bare lf") << QByteArray("859;Rum Extra;Rum;700;1250;550\n1;Gin;G;500;900;400")
                             << QStringList{"859|Rum Extra|Rum|700|1250|550", "1|Gin|G|500|900|400"} << 0;
    QTest::newRow("trailing bare cr")
        << QByteArray("1;a;b;1;2;3\r") << QStringList{"1|a|b|1|2|3"} << 0;
    QTest::newRow("short name cut to 15 bytes") << QByteArray("1;Full;Short name that is long;1;2;3\r\n")
                                                << QStringList{"1|Full|Short name that|1|2|3"} << 0;
    QTest::newRow("cut keeps whole characters")
        << QByteArray("1;F;Žlutý čajový likér;1;2;3\r\n") << QStringList{"1|F|Žlutý čajov|1|2|3"} << 0;
    QTest::newRow("five and seven fields skipped")
        << QByteArray("1;a;b;1;2\r\n2;a;b;1;2;3;4\r\n3;a;b;1;2;3\r\n") << QStringList{"3|a|b|1|2|3"} << 0;
    QTest::newRow("header line imported with zeros")
        << QByteArray("ean;name;short;volume;full;empty\r\n") << QStringList{"ean|name|short|0|0|0"} << 0;
    QTest::newRow("out of bounds as 0")
        << QByteArray("1;a;b;-1;65536;2147483648\r\n2;a;b;65535;x;0\r\n")
        << QStringList{"1|a|b|0|0|0", "2|a|b|65535|0|0"} << 1;
    QTest::newRow("decimals reported, zero decimals whole")
        << QByteArray("1;a;b;0,7 l;1186,0;520.5\r\n2;a;b;700;1186.00;520\r\n")
        << QStringList{"1|a|b|0|1186|0", "2|a|b|700|1186|520"} << 1;
    QTest::newRow("empty") << QByteArray() << QStringList() << 0;
}

void tst_DatabaseFile::csvLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    QFETCH(int, reported);
    const QDateTime before = QDateTime::currentDateTime();
    QStringList read;
    QStringList outside;
    if (reported > 0)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^value out of range, read as 0: "));
    for (const Bottle &b : Database::parseCsv(bytes, &outside)) {
        read << QStringLiteral("%1|%2|%3|%4|%5|%6").arg(b.ean, b.fullName, b.displayName).arg(b.volume)
                    .arg(b.fullWeight).arg(b.emptyWeight);
        QCOMPARE(b.weightCorrection, 0);
        QCOMPARE(b.contentWeight, 0ull);
        QVERIFY(!b.useInInventory);
        QVERIFY(b.modified >= before && b.inserted >= before);
    }
    QCOMPARE(read, expected);
    QCOMPARE(outside.size(), reported);
}

QTEST_GUILESS_MAIN(tst_DatabaseFile)
#include "tst_databasefile.moc"
