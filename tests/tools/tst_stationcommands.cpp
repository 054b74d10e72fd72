#include "stationsimulator.h"

#include "database.h"

#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Run
{
    int code = -1;
    QString out;
    QString err;
};

// Runs quarmelctl while this process's event loop keeps the in-process station answering.
Run quarmelctl(const QStringList &args, const QString &port)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUARMEL_PORT"), port);
    // The inventory commands record their downloads in the data folder, never in the user's own.
    static QTemporaryDir dataDir;
    env.insert(QStringLiteral("QUARMEL_DATA_DIR"), dataDir.path());
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*.debug=false;*.warning=false"));
    process.setProcessEnvironment(env);
    QSignalSpy finished(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    process.start(QStringLiteral(QUARMELCTL_PATH), args);
    if (!finished.wait(20000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QList<Bottle> twoBottles()
{
    Bottle vodka;
    vodka.ean = QStringLiteral("8591000000005");
    vodka.displayName = QStringLiteral("Vodka");
    vodka.fullName = QStringLiteral("Vodka Bílá Hora");
    vodka.volume = 700;
    vodka.fullWeight = 1186;
    vodka.emptyWeight = 520;
    Bottle liqueur = vodka;
    liqueur.ean = QStringLiteral("8597786239585");
    liqueur.displayName = QStringLiteral("Bylinný likér");
    liqueur.volume = 1000;
    liqueur.fullWeight = 1610;
    liqueur.emptyWeight = 600;
    return {vodka, liqueur};
}

QByteArray csv(const QList<Bottle> &bottles)
{
    QByteArray text;
    for (const Bottle &b : bottles) {
        text += QStringLiteral("%1;%2;%3;%4;%5;%6\r\n")
                    .arg(b.ean, b.fullName, b.displayName)
                    .arg(b.volume)
                    .arg(b.fullWeight)
                    .arg(b.emptyWeight)
                    .toUtf8();
    }
    return text;
}
} // namespace

class tst_StationCommands : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<StationSimulator> station;
    QTemporaryDir dir;

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return QString();
        return path;
    }

private slots:
    void initTestCase() { qRegisterMetaType<QProcess::ExitStatus>(); }

    void init()
    {
        station = std::make_unique<StationSimulator>();
        QVERIFY(station->open());
        station->setCatalogue(twoBottles());
        station->setInventory(
            1, {{812, QStringLiteral("1234567890123")}, {640, QStringLiteral("8591000000005")}});
        station->setLastInventoryNumber(2);
    }

    void cleanup() { station.reset(); }

    void commands_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        const QString version = QString::number(
            QDateTime(QDate(2024, 3, 14), QTime(9, 26, 53), Qt::LocalTime).toSecsSinceEpoch());
        QTest::newRow("version") << QStringList{"version"} << 0 << version + "\n";
        QTest::newRow("last number") << QStringList{"last-number"} << 0 << "1\n";
        QTest::newRow("inventory") << QStringList{"inventory", "1"} << 0
                                   << "1234567890123;812\n8591000000005;640\n";
        QTest::newRow("empty inventory") << QStringList{"inventory", "0"} << 0 << "";
        QTest::newRow("last inventory, found as the window finds it")
            << QStringList{"inventory", "--last"} << 0 << "1234567890123;812\n8591000000005;640\n";
        QTest::newRow("read database")
            << QStringList{"read-db"} << 0
            << QStringLiteral("8591000000005;Vodka;700;1186;520;\n"
                              "8597786239585;Bylinn\u00fd lik\u00e9r;1000;1610;600;\n");
        QTest::newRow("unknown command") << QStringList{"reboot"} << 64 << "";
        QTest::newRow("no command") << QStringList{} << 64 << "";
        QTest::newRow("slot not a number") << QStringList{"inventory", "last"} << 64 << "";
        QTest::newRow("slot past the three") << QStringList{"inventory", "7"} << 64 << "";
        QTest::newRow("negative slot") << QStringList{"inventory", "-1"} << 64 << "";
        QTest::newRow("extra argument") << QStringList{"version", "now"} << 64 << "";
        QTest::newRow("write-db without file") << QStringList{"write-db"} << 64 << "";
    }

    void commands()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        const Run run = quarmelctl(QStringList{"station"} + args, station->devicePath());
        QCOMPARE(run.code, code);
        QCOMPARE(run.out, out);
        if (code == 64)
            QVERIFY(run.err.contains("usage"));
    }

    void readDatabaseAsDocument()
    {
        const Run run = quarmelctl({"station", "read-db", "--xml"}, station->devicePath());
        QCOMPARE(run.code, 0);
        QList<Bottle> read;
        DocumentDamage damage;
        Database::parse(run.out.toUtf8(), read, &damage);
        QVERIFY2(!damage.damaged, qPrintable(damage.toString()));
        const QList<Bottle> expected = twoBottles();
        QCOMPARE(read.size(), expected.size());
        for (int i = 0; i < read.size(); ++i) {
            QCOMPARE(read.at(i).ean, expected.at(i).ean);
            QCOMPARE(read.at(i).displayName, expected.at(i).displayName);
            QCOMPARE(read.at(i).fullWeight, expected.at(i).fullWeight);
            QCOMPARE(read.at(i).emptyWeight, expected.at(i).emptyWeight);
        }
    }

    // Name bytes are the station's; a line break or ';' among them must not break the line or its fields.
    void readDatabaseEscapesNames()
    {
        station->setMemory(6, QByteArray("a;b\nc\\d\r\x01", 10));
        const Run run = quarmelctl({"station", "read-db"}, station->devicePath());
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out.split('\n').first(),
                 QStringLiteral("8591000000005;a\\;b\\nc\\\\d\\r\\x01;700;1186;520;"));
    }

    void noStation_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("inventory") << QStringList{"inventory", "1"}
                                   << "Quarmel must be connected to download inventory.";
        QTest::newRow("version") << QStringList{"version"}
                                 << "Quarmel must be connected to download inventory.";
        QTest::newRow("read database")
            << QStringList{"read-db"} << "Quarmel must be connected to download database.";
        QTest::newRow("write database") << QStringList{"write-db", SAMPLES_DIR "/catalogue.csv"}
                                        << "Quarmel must be connected to write database.";
    }

    void noStation()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run run = quarmelctl(QStringList{"station"} + args, dir.filePath("no-such-port"));
        QCOMPARE(run.code, 2);
        QCOMPARE(run.err.trimmed(), message);
        QVERIFY(run.out.isEmpty());
    }

    // A port held by another program is named with the program that holds it, not taken for a missing
    // station.
    void busyPortNamesItsHolder()
    {
        QSerialPort holder(station->devicePath());
        QVERIFY(holder.open(QIODevice::ReadWrite));
        const Run run = quarmelctl({"station", "version"}, station->devicePath());
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.contains(QStringLiteral("is in use by another program")), qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("process %1").arg(QCoreApplication::applicationPid())),
                 qPrintable(run.err));
        QCOMPARE(station->requestCount(), 0);
        holder.close();
        QCOMPARE(quarmelctl({"station", "version"}, station->devicePath()).code, 0);
    }

    void silentStationTimesOut()
    {
        station->faults.drop = {1, -1};
        const Run run = quarmelctl({"station", "last-number"}, station->devicePath());
        QCOMPARE(run.code, 3);
        QCOMPARE(run.err.trimmed(), QStringLiteral("Timeout Error, Quarmel not connected?"));
        QCOMPARE(station->requestCount(), 6);
    }

    // A station busy on every request answers each one late; the answer a run gave up on must not be taken
    // by the next run, started at once, for its own.
    void lateAnswerStaysInItsRun_data()
    {
        QTest::addColumn<QStringList>("first");
        QTest::newRow("after version") << QStringList{"version"};
        QTest::newRow("after an inventory") << QStringList{"inventory", "1"};
    }

    void lateAnswerStaysInItsRun()
    {
        QFETCH(QStringList, first);
        station->faults.late = {1, -1};
        station->faults.lateMs = 700;
        const Run before = quarmelctl(QStringList{"station"} + first, station->devicePath());
        QCOMPARE(before.code, 0);
        const Run number = quarmelctl({"station", "last-number"}, station->devicePath());
        QCOMPARE(number.code, 0);
        QCOMPARE(number.out, QStringLiteral("1\n"));
        const Run inventory = quarmelctl({"station", "inventory", "1"}, station->devicePath());
        QCOMPARE(inventory.code, 0);
        QCOMPARE(inventory.out, QStringLiteral("1234567890123;812\n8591000000005;640\n"));
    }

    void writeDatabase_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("readsBackDifferent");
        QTest::newRow("csv") << "csv" << false;
        QTest::newRow("catalogue document") << "xml" << false;
        QTest::newRow("station keeps something else") << "csv" << true;
    }

    // Every write is read back; a station that holds something else than was sent fails it.
    void writeDatabase()
    {
        QFETCH(QString, format);
        QFETCH(bool, readsBackDifferent);
        if (readsBackDifferent) {
            connect(station.get(), &StationSimulator::requestReceived, this,
                    [this](int command, int address) {
                        if (command == 0x71 && address == 0)
                            station->setMemory(40, QByteArray("\x01", 1));
                    });
        }
        station->setCatalogue(QList<Bottle>() << twoBottles() << twoBottles() << twoBottles());
        QList<Bottle> bottles = twoBottles();
        bottles[0].ean = QStringLiteral("8590000000017");
        bottles.append(bottles.first());
        bottles.last().ean = QStringLiteral("8590000000024");
        const QString path = format == QLatin1String("csv")
                                 ? writeFile("new.csv", csv(bottles))
                                 : writeFile("new.xml", Database::toDocument(bottles));
        QVERIFY(!path.isEmpty());
        const Run run = quarmelctl({"station", "write-db", path}, station->devicePath());
        if (readsBackDifferent) {
            QCOMPARE(run.code, 4);
            QVERIFY2(run.err.contains("Write failed"), qPrintable(run.err));
            return;
        }
        QCOMPARE(run.code, 0);
        QVERIFY2(run.err.contains("3 bottles written and read back."), qPrintable(run.err));
        const QList<Bottle> stored = station->catalogue();
        QCOMPARE(stored.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(stored.at(i).ean, bottles.at(i).ean);
            QCOMPARE(stored.at(i).fullWeight, bottles.at(i).fullWeight);
        }
    }

    void writeDatabaseFailures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("missingFile");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("told");
        QList<Bottle> list;
        for (int i = 0; i < 1501; ++i) {
            Bottle b = twoBottles().first();
            b.ean = QStringLiteral("85910%1").arg(i, 8, 10, QLatin1Char('0'));
            list.append(b);
        }
        QTest::newRow("more than 1500 bottles") << csv(list) << false << 4 << "at most 1500";
        QTest::newRow("file missing") << QByteArray() << true << 1 << "missing.csv";
        // Writing what such files parse to, nothing, would wipe the station's database.
        QTest::newRow("weighings instead of a catalogue")
            << QByteArray("8591000000005;640\r\n8597786239585;1020\r\n") << false << 1 << "line 1";
        QTest::newRow("XML document of another kind")
            << QByteArray("<?xml version=\"1.0\"?>\n<table><row>1</row></table>\n") << false << 1
            << "root element <table>";
        // Written, the header line would be a bottle with EAN 0 and end the station's list there.
        QTest::newRow("header line") << "ean;fullName;displayName;volume;fullWeight;emptyWeight\n" +
                                            csv(twoBottles())
                                     << false << 4
                                     << "row 1, EAN \"ean\": the EAN holds something other than digits";
        // Read as 0, such a weight would be written as it stands; the CSV file and the document agree.
        QList<Bottle> heavy = twoBottles();
        heavy[1].fullWeight = 70000;
        QTest::newRow("weight beyond the station, CSV") << csv(heavy) << false << 1
                                                        << "line 2: full weight 70000";
        QTest::newRow("weight beyond the station, document")
            << Database::toDocument(heavy) << false << 1 << "<vahaPlneLahve>70000 lies outside 0 to 65535";
        QList<Bottle> typo = twoBottles();
        typo[1].ean = QStringLiteral("abc12");
        typo[0].ean = QStringLiteral("00001234");
        QTest::newRow("two bad rows")
            << csv(typo) << false << 4
            << "  row 1, EAN \"00001234\": the EAN must have 5 to 14 digits after its leading zeros, and all "
               "but its last four digits must not exceed 4294967295\n"
               "  row 2, EAN \"abc12\": the EAN holds something other than digits";
    }

    void writeDatabaseFailures()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, missingFile);
        QFETCH(int, code);
        QFETCH(QString, told);
        const QString path = missingFile ? dir.filePath("missing.csv") : writeFile("input.csv", content);
        const QByteArray before = station->memory();
        const Run run = quarmelctl({"station", "write-db", path}, station->devicePath());
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.contains(told), qPrintable(run.err));
        QCOMPARE(station->requestCount(), 0);
        QCOMPARE(station->memory(), before);
    }

    // The simulator as a program: the terminal's path on its first line, the samples loaded, the image
    // written on exit.
    void simulatorProgram()
    {
        const QString image = dir.filePath("image.bin");
        QProcess sim;
        sim.start(QStringLiteral(STATION_SIM_PATH),
                  {"--catalogue", SAMPLES_DIR "/catalogue.csv", "--inventory0", SAMPLES_DIR "/inventory0.txt",
                   "--inventory2", SAMPLES_DIR "/inventory2.txt", "--save-image", image});
        QSignalSpy output(&sim, &QProcess::readyReadStandardOutput);
        QTRY_VERIFY(sim.canReadLine());
        const QString port = QString::fromLocal8Bit(sim.readLine()).trimmed();
        QVERIFY(QFileInfo::exists(port));

        const Run last = quarmelctl({"station", "last-number"}, port);
        QCOMPARE(last.out, QStringLiteral("2\n"));
        const Run inventory = quarmelctl({"station", "inventory", "2"}, port);
        QCOMPARE(inventory.code, 0);

        QFile sample(SAMPLES_DIR "/inventory2.txt");
        QVERIFY(sample.open(QIODevice::ReadOnly));
        const QStringList expected = QString::fromUtf8(sample.readAll()).split('\n', Qt::SkipEmptyParts);
        const QStringList lines = inventory.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), expected.size());
        QVERIFY(lines.size() >= 10);
        for (int i = 0; i < lines.size(); ++i) {
            // The station keeps EANs as numbers, so a leading zero does not come back.
            QString want = expected.at(i);
            while (want.startsWith('0'))
                want.remove(0, 1);
            QCOMPARE(lines.at(i), want);
        }

        const Run write = quarmelctl({"station", "write-db", SAMPLES_DIR "/catalogue.csv"}, port);
        QCOMPARE(write.code, 0);
        QSignalSpy finished(&sim, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
        sim.terminate();
        QVERIFY(finished.wait(5000));
        QCOMPARE(sim.exitCode(), 0);
        QFile saved(image);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.size(), qint64(StationSimulator::MemorySize));
        StationSimulator check;
        check.setMemory(0, saved.readAll());
        QCOMPARE(check.catalogue().size(), 40);
        QCOMPARE(check.lastInventoryNumber(), 3);
    }

    void simulatorRejectsBadInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing catalogue")
            << QStringList{"--catalogue", "/nonexistent.csv"} << "nonexistent.csv";
        QTest::newRow("bad fault range") << QStringList{"--drop", "x"} << "--drop";
        QTest::newRow("fault rate above 1") << QStringList{"--random", "1.5"} << "--random";
        QTest::newRow("XML of another kind as catalogue") << QStringList{"--catalogue", "OTHER"} << "<table>";
        QTest::newRow("bad firmware time") << QStringList{"--firmware", "yesterday"} << "--firmware";
        QTest::newRow("weight not a number") << QStringList{"--inventory1", "BAD"} << "bad.txt:2";
    }

    void simulatorRejectsBadInput()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        args.replaceInStrings(QStringLiteral("BAD"),
                              writeFile("bad.txt", "8591000000005;640\n8591000000005;heavy\n"));
        args.replaceInStrings(QStringLiteral("OTHER"), writeFile("other.xml", "<table><row/></table>\n"));
        QProcess sim;
        QSignalSpy finished(&sim, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
        sim.start(QStringLiteral(STATION_SIM_PATH), args);
        QVERIFY(finished.wait(5000));
        QCOMPARE(sim.exitCode(), 1);
        QVERIFY(sim.readAllStandardOutput().isEmpty());
        QVERIFY(QString::fromUtf8(sim.readAllStandardError()).contains(message));
    }
};

QTEST_GUILESS_MAIN(tst_StationCommands)
#include "tst_stationcommands.moc"
