#include "communication.h"
#include "stationprotocol.h"

#include "stationsimulator.h"

#include "bottle.h"

#include <QSocketNotifier>
#include <QtTest>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

Q_DECLARE_METATYPE(Communication::PortFacts)

using namespace StationProtocol;

namespace {
QList<Bottle> makeBottles(int count)
{
    QList<Bottle> bottles;
    for (int i = 0; i < count; ++i) {
        Bottle b;
        b.ean = QStringLiteral("859%1").arg(1000000000 + i * 7, 10, 10, QLatin1Char('0'));
        b.displayName = QStringLiteral("Bottle %1").arg(i);
        b.volume = 700;
        b.emptyWeight = quint64(400 + i % 200);
        b.fullWeight = b.emptyWeight + 660;
        bottles.append(b);
    }
    return bottles;
}

QList<InventoryBottle> makeWeighings(int count)
{
    QList<InventoryBottle> weighings;
    for (int i = 0; i < count; ++i)
        weighings.append(
            {quint64(500 + i), QStringLiteral("859%1").arg(2000000000 + i, 10, 10, QLatin1Char('0'))});
    return weighings;
}

QList<int> percents(const QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &arguments : spy)
        values.append(arguments.at(0).toInt());
    return values;
}

// The other end of a pseudo-terminal, driven by hand where a test needs bytes the simulator never sends.
class RawTerminal
{
public:
    RawTerminal()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::grantpt(master);
        ::unlockpt(master);
        char name[128] = {};
        ::ptsname_r(master, name, sizeof name);
        path = QString::fromLocal8Bit(name);
        slave = ::open(name, O_RDWR | O_NOCTTY);
        termios raw{};
        ::tcgetattr(slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
        notifier = std::make_unique<QSocketNotifier>(master, QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(), [this] {
            char buffer[512];
            ssize_t n;
            while ((n = ::read(master, buffer, sizeof buffer)) > 0)
                received.append(buffer, int(n));
        });
    }
    ~RawTerminal()
    {
        notifier.reset();
        ::close(master);
        ::close(slave);
    }
    void send(const QByteArray &bytes)
    {
        QCOMPARE(::write(master, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    }

    int master = -1;
    int slave = -1;
    QString path;
    QByteArray received;
    std::unique_ptr<QSocketNotifier> notifier;
};

QByteArray inventoryAnswer(quint16 address, const QList<InventoryBottle> &bottles)
{
    QByteArray body = requestHeader(ReadBlockCommand, address);
    for (const InventoryBottle &b : bottles)
        body.append(encodeInventoryRecord(b));
    body.append(QByteArray(HeaderSize + BlockSize - body.size(), 0));
    return buildFrame(body);
}
} // namespace

class tst_Communication : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<StationSimulator> station;
    std::unique_ptr<Communication> link;

    // Starts the transfer named `operation` ("version", "last-number", "inventory", "read-db", "write-db").
    void startTransfer(const QString &operation, QList<Bottle> *bottles)
    {
        if (operation == QLatin1String("version"))
            link->readVersion();
        else if (operation == QLatin1String("last-number"))
            link->readLastInventoryNumber();
        else if (operation == QLatin1String("inventory"))
            link->readInventory(1);
        else if (operation == QLatin1String("read-db"))
            link->readDatabase(bottles);
        else
            link->writeDatabase(bottles);
    }

    bool pollRunning() const { return link->findChild<QTimer *>(QStringLiteral("pollTimer"))->isActive(); }

private slots:
    void initTestCase() { qRegisterMetaType<Communication::State>(); }

    void init()
    {
        station = std::make_unique<StationSimulator>();
        QVERIFY(station->open());
        qputenv("QUARMEL_PORT", station->devicePath().toLocal8Bit());
        link = std::make_unique<Communication>();
    }

    void cleanup()
    {
        link.reset();
        station.reset();
    }

    void requestsOnTheWire_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("last number") << "last-number" << QByteArray::fromHex("C00180710000EA6080DE7D5DC1");
        QTest::newRow("version") << "version" << QByteArray::fromHex("C0018021000000108014 03C1");
        QTest::newRow("database") << "read-db" << QByteArray::fromHex("C001807100000000807DE1F3C1");
        const QList<Bottle> two = makeBottles(2);
        QTest::newRow("write, two bottles and the end record")
            << "write-db"
            << buildFrame(requestHeader(WriteBlockCommand, 0) + encodeBottle(two.at(0)) +
                          encodeBottle(two.at(1)) + QByteArray(2 * BottleRecordSize, 0));
    }

    void requestsOnTheWire()
    {
        QFETCH(QString, operation);
        QFETCH(QByteArray, wire);
        RawTerminal terminal;
        qputenv("QUARMEL_PORT", terminal.path.toLocal8Bit());
        QList<Bottle> bottles = makeBottles(2);
        startTransfer(operation, &bottles);
        QTRY_COMPARE(terminal.received.toHex(' '), wire.toHex(' '));
    }

    // The terminal's settings are shared by every opening, so the link's configuration shows on the
    // terminal's other descriptor: whatever the line was set to before, the station's line results.
    void portConfiguration()
    {
        RawTerminal terminal;
        termios before{};
        QCOMPARE(::tcgetattr(terminal.slave, &before), 0);
        ::cfsetispeed(&before, B9600);
        ::cfsetospeed(&before, B9600);
        before.c_cflag = (before.c_cflag & ~tcflag_t(CSIZE)) | CS7 | PARENB | CSTOPB | CRTSCTS;
        before.c_iflag |= IXON | IXOFF;
        QCOMPARE(::tcsetattr(terminal.slave, TCSANOW, &before), 0);
        qputenv("QUARMEL_PORT", terminal.path.toLocal8Bit());
        link->readLastInventoryNumber();
        QTRY_VERIFY(!terminal.received.isEmpty());

        termios after{};
        QCOMPARE(::tcgetattr(terminal.slave, &after), 0);
        QCOMPARE(::cfgetospeed(&after), speed_t(B57600));
        QCOMPARE(::cfgetispeed(&after), speed_t(B57600));
        QCOMPARE(after.c_cflag & CSIZE, tcflag_t(CS8));
        QCOMPARE(after.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
        QCOMPARE(after.c_iflag & (IXON | IXOFF), tcflag_t(0));
    }

    // Bytes that wait on the line before the port is opened answer no request of ours.
    void bytesWaitingBeforeTheFirstRequestAreNoAnswer()
    {
        RawTerminal terminal;
        qputenv("QUARMEL_PORT", terminal.path.toLocal8Bit());
        const QByteArray header = requestHeader(ReadBlockCommand, InventoryNumberAddress);
        QByteArray stale(BlockSize, 0);
        stale[0] = 9;
        terminal.send(buildFrame(header + stale));
        QSignalSpy number(link.get(), &Communication::lastInventoryNumber);
        link->readLastInventoryNumber();
        QTRY_COMPARE(terminal.received, buildFrame(header));

        QByteArray answer(BlockSize, 0);
        answer[0] = 3;
        terminal.send(buildFrame(header + answer));
        QVERIFY(number.wait());
        QCOMPARE(number.count(), 1);
        QCOMPARE(number.at(0).at(0).toInt(), 2);
    }

    void version_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<quint64>("expected");
        const auto local = [](int y, int m, int d, int h, int min, int s) {
            return quint64(QDateTime(QDate(y, m, d), QTime(h, min, s), Qt::LocalTime).toSecsSinceEpoch());
        };
        QTest::newRow("two-digit day") << "Mar 14 2024"
                                       << "09:26:53" << local(2024, 3, 14, 9, 26, 53);
        QTest::newRow("zero-padded day") << "May 07 2013"
                                         << "17:02:00" << local(2013, 5, 7, 17, 2, 0);
        QTest::newRow("blank-padded day") << "May  7 2013"
                                          << "17:02:00" << local(2013, 5, 7, 17, 2, 0);
        QTest::newRow("unreadable") << "Foo 99 2013"
                                    << "17:02:00" << quint64(4294967295u);
    }

    void version()
    {
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(quint64, expected);
        station->setFirmwareTime(date, time);
        QSignalSpy finished(link.get(), &Communication::versionReadFinished);
        QVERIFY(finished.isValid());
        link->readVersion();
        QVERIFY(finished.wait());
        QCOMPARE(link->firmwareVersion, expected);
        QCOMPARE(station->requestCount(), 1);
    }

    void lastNumber_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("reported");
        QTest::newRow("three") << 3 << 2;
        QTest::newRow("none taken") << 0 << -1;
        QTest::newRow("high bit is a sign") << 0x80 << -129;
    }

    void lastNumber()
    {
        QFETCH(int, stored);
        QFETCH(int, reported);
        station->setLastInventoryNumber(stored);
        QSignalSpy number(link.get(), &Communication::lastInventoryNumber);
        QVERIFY(number.isValid());
        link->readLastInventoryNumber();
        QVERIFY(number.wait());
        QCOMPARE(number.at(0).at(0).toInt(), reported);
        QCOMPARE(station->requestCount(), 1);
        QVERIFY(!pollRunning());
    }

    void readInventory_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("empty slot") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("one full block") << 16;
        QTest::newRow("twenty") << 20;
        QTest::newRow("all 496, no end record") << 496;
    }

    void readInventory()
    {
        QFETCH(int, count);
        const QList<InventoryBottle> weighings = makeWeighings(count);
        station->setInventory(1, weighings);
        station->setInventory(2, makeWeighings(3));
        QSignalSpy progress(link.get(), &Communication::inventoryRead);
        QSignalSpy finished(link.get(), &Communication::inventoryReadFinished);
        QVERIFY(progress.isValid() && finished.isValid());
        link->inventory = makeWeighings(2);
        link->readInventory(1);
        QVERIFY(finished.wait());

        QCOMPARE(link->inventory.size(), count);
        for (int i = 0; i < count; ++i) {
            QCOMPARE(link->inventory.at(i).ean, weighings.at(i).ean);
            QCOMPARE(link->inventory.at(i).weight, weighings.at(i).weight);
        }
        QList<int> expected;
        for (int i = 0; i < count; ++i)
            expected.append((i / 16 * BlockSize * 100 + 12800) / 4000);
        QCOMPARE(percents(progress), expected);
        if (count == 496)
            QCOMPARE(expected.last(), 99);
        QCOMPARE(station->requestCount(), qMin(count / 16 + 1, 31));
        QCOMPARE(finished.count(), 1);
    }

    void readDatabase_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("empty") << 0;
        QTest::newRow("three") << 3;
        QTest::newRow("four") << 4;
        QTest::newRow("full, 1500") << 1500;
    }

    void readDatabase()
    {
        QFETCH(int, count);
        const QList<Bottle> stored = makeBottles(count);
        station->setCatalogue(stored);
        QSignalSpy progress(link.get(), &Communication::databaseRead);
        QSignalSpy finished(link.get(), &Communication::databaseReadFinished);
        QVERIFY(progress.isValid() && finished.isValid());
        QList<Bottle> bottles = makeBottles(2);
        link->readDatabase(&bottles);
        QVERIFY(finished.wait(20000));

        QCOMPARE(bottles.size(), count);
        for (int i = 0; i < count; ++i) {
            QCOMPARE(bottles.at(i).ean, stored.at(i).ean);
            QCOMPARE(bottles.at(i).displayName, stored.at(i).displayName);
            QCOMPARE(bottles.at(i).emptyWeight, stored.at(i).emptyWeight);
            QCOMPARE(bottles.at(i).fullWeight, stored.at(i).fullWeight);
            QCOMPARE(bottles.at(i).volume, stored.at(i).volume);
        }
        QList<int> expected;
        for (int i = 0; i < count; ++i)
            expected.append((i / 4 * BlockSize + BlockSize) * 100 / 48000);
        QCOMPARE(percents(progress), expected);
        QCOMPARE(station->requestCount(), qMin(count / 4 + 1, 375));
    }

    // Every write shorter than the area ends with the all-zero record, so a shorter list written over a
    // longer one does not read back with the old bottles after it.
    void writeThenReadBack_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("empty") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("three") << 3;
        QTest::newRow("four") << 4;
        QTest::newRow("five") << 5;
        QTest::newRow("eight") << 8;
        QTest::newRow("full, 1500") << 1500;
    }

    void writeThenReadBack()
    {
        QFETCH(int, count);
        station->setCatalogue(makeBottles(40));
        QList<Bottle> bottles = makeBottles(count);
        if (count > 0)
            bottles[0].weightCorrection = 5;
        QSignalSpy progress(link.get(), &Communication::databaseWriten);
        QSignalSpy finished(link.get(), &Communication::databaseWriteFinished);
        QVERIFY(progress.isValid() && finished.isValid());
        link->writeDatabase(&bottles);
        QVERIFY(finished.wait(20000));

        // Each block is written, then all are read back; progress is honest about both halves.
        const int blocks = count < 1500 ? count / 4 + 1 : 375;
        QCOMPARE(station->requestCount(), 2 * blocks);
        QCOMPARE(progress.count(), 2 * blocks);
        QCOMPARE(percents(progress).at(blocks - 1), 50);
        QCOMPARE(percents(progress).last(), 100);

        const QList<Bottle> stored = station->catalogue();
        QCOMPARE(stored.size(), count);
        for (int i = 0; i < count; ++i) {
            QCOMPARE(stored.at(i).ean, bottles.at(i).ean);
            QCOMPARE(stored.at(i).displayName, bottles.at(i).displayName);
            QCOMPARE(stored.at(i).fullWeight, bottles.at(i).fullWeight + (i == 0 ? 5 : 0));
        }

        // And back through the link itself.
        QSignalSpy read(link.get(), &Communication::databaseReadFinished);
        QList<Bottle> back;
        link->readDatabase(&back);
        QVERIFY(read.wait(20000));
        QCOMPARE(back.size(), count);
        if (count > 0) {
            QCOMPARE(back.at(0).emptyWeight, bottles.at(0).emptyWeight + 5);
            QCOMPARE(back.at(0).weightCorrection, 0);
        }
    }

    // The catalogue may be edited while the write runs; the station gets the list as it was at the start.
    void writeSendsTheListAsItWasAtTheStart()
    {
        station->setCatalogue(makeBottles(2));
        QList<Bottle> bottles = makeBottles(12);
        const QList<Bottle> snapshot = bottles;
        connect(station.get(), &StationSimulator::requestReceived, this, [&bottles](int command, int) {
            if (command == WriteBlockCommand && bottles.size() == 12) {
                bottles.removeAt(9);
                bottles[0].fullWeight = 999;
            }
        });
        QSignalSpy finished(link.get(), &Communication::databaseWriteFinished);
        QSignalSpy failed(link.get(), &Communication::writeError);
        QVERIFY(finished.isValid() && failed.isValid());
        link->writeDatabase(&bottles);
        QVERIFY(finished.wait(20000));
        QCOMPARE(failed.count(), 0);
        QCOMPARE(bottles.size(), 11);
        const QList<Bottle> stored = station->catalogue();
        QCOMPARE(stored.size(), snapshot.size());
        for (int i = 0; i < snapshot.size(); ++i) {
            QCOMPARE(stored.at(i).ean, snapshot.at(i).ean);
            QCOMPARE(stored.at(i).fullWeight, snapshot.at(i).fullWeight);
        }
    }

    // Between transfers the port is free for another program; during one, a second link is told who holds
    // it.
    void portIsFreeBetweenTransfers()
    {
        station->setLastInventoryNumber(2);
        Communication other;
        QSignalSpy otherRead(&other, &Communication::lastInventoryNumber);
        QSignalSpy otherRefused(&other, &Communication::portNotOpened);
        QSignalSpy read(link.get(), &Communication::lastInventoryNumber);
        QVERIFY(otherRead.isValid() && otherRefused.isValid() && read.isValid());

        station->faults.late = {1, 1};
        station->faults.lateMs = 300;
        link->readLastInventoryNumber();
        QTRY_COMPARE(station->requestCount(), 1);
        other.readLastInventoryNumber();
        QCOMPARE(otherRefused.count(), 1);
        QCOMPARE(other.busyPort, station->devicePath());
        QVERIFY2(
            other.portHolder.endsWith(QStringLiteral("process %1").arg(QCoreApplication::applicationPid())),
            qPrintable(other.portHolder));
        QVERIFY(read.wait(5000));
        QCOMPARE(read.first().first().toInt(), 1);

        other.readLastInventoryNumber();
        QVERIFY(otherRead.wait(5000));
        QCOMPARE(otherRead.first().first().toInt(), 1);
        QVERIFY(other.busyPort.isEmpty());
    }

    void stationPortIsChosen_data()
    {
        using Port = Communication::PortFacts;
        QTest::addColumn<QList<Port>>("ports");
        QTest::addColumn<QString>("chosen");
        const Port bridge{QStringLiteral("/dev/ttyUSB1"), 0x0403, 0x6015, QStringLiteral("FT230X Basic UART")};
        const Port station{QStringLiteral("/dev/ttyUSB2"), 0x0403, 0x6015, QStringLiteral("Quarmel Station")};
        const Port other{QStringLiteral("/dev/ttyUSB0"), 0x067b, 0x2303, QStringLiteral("USB-Serial")};
        const Port noIds{QStringLiteral("/dev/ttyUSB3"), 0, 0, QStringLiteral("USB")};
        QTest::newRow("only other devices named USB") << QList<Port>{other, noIds} << QString();
        QTest::newRow("the bridge among others") << QList<Port>{other, bridge, noIds} << bridge.location;
        QTest::newRow("the station's product text wins")
            << QList<Port>{bridge, station, other} << station.location;
    }

    void stationPortIsChosen()
    {
        QFETCH(QList<Communication::PortFacts>, ports);
        QFETCH(QString, chosen);
        QCOMPARE(Communication::stationPortName(ports), chosen);
    }

    // A lock file left by a program that ended (on a computer of another name, which Qt will not take over
    // by itself) would keep the station from every user until someone removed it by hand.
    void lockOfEndedProgramIsCleared()
    {
        const QString device = QFileInfo(station->devicePath()).canonicalFilePath();
        if (!device.startsWith(QLatin1String("/dev/pts/")) ||
            !QFileInfo(QStringLiteral("/run/lock")).isWritable())
            QSKIP("Needs a pseudo-terminal and a writable /run/lock");
        const QString lock = QStringLiteral("/run/lock/LCK..") + device.mid(5).replace(QLatin1Char('/'), QLatin1Char('_'));
        QFile pidMax(QStringLiteral("/proc/sys/kernel/pid_max"));
        QVERIFY(pidMax.open(QIODevice::ReadOnly));
        const qint64 gone = pidMax.readAll().trimmed().toLongLong() + 1;
        {
            QFile file(lock);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::number(gone) + "\nquarmel\nanother-computer\n");
        }
        station->setLastInventoryNumber(2);
        QSignalSpy read(link.get(), &Communication::lastInventoryNumber);
        QVERIFY(read.isValid());
        link->readLastInventoryNumber();
        const bool answered = read.wait(5000);
        QFile::remove(lock);
        QVERIFY(answered);
        QCOMPARE(read.first().first().toInt(), 1);
    }

    // Nothing is sent for a list the station cannot hold exactly.
    void writeIsRefused_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("badEan");
        QTest::newRow("more than the area holds") << MaxBottles + 1 << QString();
        QTest::newRow("a header line") << 5 << "ean";
        QTest::newRow("leading part 0") << 5 << "00001234";
    }

    void writeIsRefused()
    {
        QFETCH(int, count);
        QFETCH(QString, badEan);
        station->setCatalogue(makeBottles(7));
        const QByteArray before = station->memory();
        QList<Bottle> bottles = makeBottles(count);
        if (!badEan.isEmpty()) {
            bottles[3].ean = badEan;
            QTest::ignoreMessage(QtWarningMsg, "database not written: rows the station cannot hold");
        }
        QSignalSpy refused(link.get(), &Communication::writeError);
        QSignalSpy finished(link.get(), &Communication::databaseWriteFinished);
        QSignalSpy noPort(link.get(), &Communication::portNotOpened);
        link->writeDatabase(&bottles);
        QCOMPARE(refused.count(), 1);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(noPort.count(), 0);
        QCOMPARE(station->requestCount(), 0);
        QCOMPARE(station->memory(), before);
    }

    // A station that holds something else than was written fails the write, even though every block was
    // acknowledged.
    void writeThatDoesNotReadBackFails()
    {
        QList<Bottle> bottles = makeBottles(9);
        connect(station.get(), &StationSimulator::requestReceived, this, [this](int command, int address) {
            if (command == ReadBlockCommand && address == BlockSize)
                station->setMemory(BlockSize + 6, QByteArray("X"));
        });
        QSignalSpy failed(link.get(), &Communication::writeError);
        QSignalSpy finished(link.get(), &Communication::databaseWriteFinished);
        QTest::ignoreMessage(QtWarningMsg, "write verify ERROR, record 4 differs");
        link->writeDatabase(&bottles);
        QVERIFY(failed.wait());
        QCOMPARE(finished.count(), 0);
        QCOMPARE(station->requestCount(), 3 + 2);
    }

    // Every fault of a bad line, at the first, a middle and the last exchange of each transfer, gives the
    // exact result; so does the transfer that follows, which must not take a late or doubled answer.
    void faultsGiveExactResults_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("request");
        const char *faults[] = {"drop",       "checksum", "escape",  "cut",
                                "short-data", "noise",    "doubled", "late"};
        const struct
        {
            const char *operation;
            QList<int> requests;
        } transfers[] = {{"inventory", {1, 2, 3}},
                         {"read-db", {1, 2, 3}},
                         // Three blocks written, then read back.
                         {"write-db", {1, 2, 3, 6}},
                         {"last-number", {1}},
                         {"version", {1}}};
        for (const auto &transfer : transfers) {
            for (const char *fault : faults) {
                for (const int request : transfer.requests) {
                    QTest::addRow("%s, %s, request %d", transfer.operation, fault, request)
                        << transfer.operation << fault << request;
                }
            }
        }
    }

    void faultsGiveExactResults()
    {
        QFETCH(QString, operation);
        QFETCH(QString, fault);
        QFETCH(int, request);
        QLoggingCategory::setFilterRules(QStringLiteral("communication.warning=false"));
        const QList<InventoryBottle> weighings = makeWeighings(40);
        const QList<Bottle> stored = makeBottles(10);
        station->setInventory(1, weighings);
        station->setCatalogue(stored);
        station->setLastInventoryNumber(3);
        StationSimulator::Faults &faults = station->faults;
        const StationSimulator::FaultRange once{request, 1};
        const QHash<QString, StationSimulator::FaultRange *> ranges{{"drop", &faults.drop},
                                                                    {"checksum", &faults.corruptChecksum},
                                                                    {"escape", &faults.breakEscape},
                                                                    {"cut", &faults.cutShort},
                                                                    {"short-data", &faults.shortData},
                                                                    {"noise", &faults.noise},
                                                                    {"doubled", &faults.doubled},
                                                                    {"late", &faults.late}};
        *ranges.value(fault) = once;
        faults.lateMs = 700;

        QSignalSpy timeout(link.get(), &Communication::timeout);
        QSignalSpy failed(link.get(), &Communication::writeError);
        Communication *c = link.get();
        const auto ended = operation == QLatin1String("inventory")
                               ? std::make_unique<QSignalSpy>(c, &Communication::inventoryReadFinished)
                           : operation == QLatin1String("read-db")
                               ? std::make_unique<QSignalSpy>(c, &Communication::databaseReadFinished)
                           : operation == QLatin1String("write-db")
                               ? std::make_unique<QSignalSpy>(c, &Communication::databaseWriteFinished)
                           : operation == QLatin1String("version")
                               ? std::make_unique<QSignalSpy>(c, &Communication::versionReadFinished)
                               : std::make_unique<QSignalSpy>(c, &Communication::lastInventoryNumber);
        QSignalSpy number(link.get(), &Communication::lastInventoryNumber);
        QList<Bottle> bottles = operation == QLatin1String("write-db") ? makeBottles(9) : QList<Bottle>();
        startTransfer(operation, &bottles);
        QVERIFY(ended->wait(5000));

        if (operation == QLatin1String("inventory")) {
            QCOMPARE(link->inventory.size(), weighings.size());
            for (int i = 0; i < weighings.size(); ++i)
                QCOMPARE(link->inventory.at(i).ean, weighings.at(i).ean);
        } else if (operation == QLatin1String("read-db")) {
            QCOMPARE(bottles.size(), stored.size());
            for (int i = 0; i < stored.size(); ++i)
                QCOMPARE(bottles.at(i).ean, stored.at(i).ean);
        } else if (operation == QLatin1String("write-db")) {
            const QList<Bottle> held = station->catalogue();
            QCOMPARE(held.size(), bottles.size());
            for (int i = 0; i < bottles.size(); ++i)
                QCOMPARE(held.at(i).ean, bottles.at(i).ean);
        } else if (operation == QLatin1String("version")) {
            QCOMPARE(QDateTime::fromSecsSinceEpoch(qint64(link->firmwareVersion)),
                     QDateTime(QDate(2024, 3, 14), QTime(9, 26, 53)));
        } else {
            QCOMPARE(number.at(0).at(0).toInt(), 2);
        }
        QCOMPARE(ended->count(), 1);
        QCOMPARE(station->injectedTotal(), 1);

        // The next transfer starts from the finishing signal, as the window's chain does.
        number.clear();
        link->readLastInventoryNumber();
        QVERIFY(number.wait(5000));
        QCOMPARE(number.at(0).at(0).toInt(), 2);
        QCOMPARE(timeout.count() + failed.count(), 0);
        QLoggingCategory::setFilterRules(QString());
    }

    void slowAndSplitAnswers_data()
    {
        QTest::addColumn<bool>("byteByByte");
        QTest::addColumn<int>("lateMs");
        QTest::addColumn<bool>("paced");
        QTest::newRow("byte by byte") << true << 0 << false;
        QTest::newRow("late, within the answer time") << false << 150 << false;
        QTest::newRow("paced at 57600 baud") << false << 0 << true;
        QTest::newRow("paced and late") << false << 300 << true;
    }

    void slowAndSplitAnswers()
    {
        QFETCH(bool, byteByByte);
        QFETCH(int, lateMs);
        QFETCH(bool, paced);
        station->setPaced(paced);
        station->setInventory(1, makeWeighings(20));
        station->faults.byteByByte = byteByByte;
        station->faults.lateMs = lateMs;
        station->faults.late = {1, -1};
        QSignalSpy finished(link.get(), &Communication::inventoryReadFinished);
        link->readInventory(1);
        QVERIFY(finished.wait(5000));
        QCOMPARE(link->inventory.size(), 20);
        QCOMPARE(station->requestCount(), 2);
    }

    // Six failed exchanges in a row end the transfer, whether the answers are lost or keep arriving broken.
    void sixFailuresEndTheTransfer_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("timeoutMs");
        QTest::newRow("silent station") << "silent" << 6000;
        QTest::newRow("every checksum wrong") << "checksum" << 6000;
        QTest::newRow("every answer cut short") << "short" << 6000;
    }

    void sixFailuresEndTheTransfer()
    {
        QFETCH(QString, fault);
        QFETCH(int, timeoutMs);
        station->setInventory(1, makeWeighings(40));
        const StationSimulator::FaultRange every{2, -1};
        if (fault == QLatin1String("silent"))
            station->faults.silentAfter = 1;
        else if (fault == QLatin1String("checksum"))
            station->faults.corruptChecksum = every;
        else
            station->faults.cutShort = every;
        // The first block arrives; its successor fails six times.
        QSignalSpy timeout(link.get(), &Communication::timeout);
        QSignalSpy finished(link.get(), &Communication::inventoryReadFinished);
        QSignalSpy progress(link.get(), &Communication::inventoryRead);
        // A broken answer is no answer: only the answer timer ends each of the six exchanges.
        for (int i = 0; i < 6; ++i) {
            QTest::ignoreMessage(QtWarningMsg, "read timeout ERROR");
            if (fault == QLatin1String("checksum"))
                QTest::ignoreMessage(QtWarningMsg, "CRC error");
        }
        link->readInventory(1);
        QVERIFY(timeout.wait(timeoutMs));
        QCOMPARE(timeout.count(), 1);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(station->requestCount(), 1 + 6);
        QCOMPARE(link->inventory.size(), 16);
        QCOMPARE(progress.count(), 16);
        QVERIFY(!pollRunning());
        QVERIFY(!link->findChild<QTimer *>(QStringLiteral("readTimer"))->isActive());

        // The link is idle again and takes the next transfer.
        station->faults = StationSimulator::Faults();
        QSignalSpy number(link.get(), &Communication::lastInventoryNumber);
        link->readLastInventoryNumber();
        QVERIFY(number.wait());
        QCOMPARE(timeout.count(), 1);
    }

    // Locked: the terminal stays but refuses to open, as a device node that is still there. Closed: the
    // terminal's other end is gone altogether, as when the station's program ends.
    void vanishedStation_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::newRow("locked") << true;
        QTest::newRow("closed") << false;
    }

    void vanishedStation()
    {
        QFETCH(bool, locked);
        station->setInventory(1, makeWeighings(40));
        if (locked) {
            station->faults.vanishAfter = 1;
        } else {
            station->faults.silentAfter = 1;
            connect(station.get(), &StationSimulator::requestReceived, this, [this] {
                if (station->requestCount() == 2)
                    QTimer::singleShot(0, this, [this] { station.reset(); });
            });
        }
        QSignalSpy noPort(link.get(), &Communication::portNotOpened);
        QSignalSpy finished(link.get(), &Communication::inventoryReadFinished);
        QTest::ignoreMessage(QtWarningMsg, "read timeout ERROR");
        QTest::ignoreMessage(QtWarningMsg, "Error opening port");
        QTest::ignoreMessage(QtWarningMsg, "Error opening port");
        link->readInventory(1);
        QVERIFY(noPort.wait(3000));
        QCOMPARE(noPort.at(0).at(0).value<Communication::State>(), Communication::ReadingInventory);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(link->inventory.size(), 16);
        QVERIFY(!pollRunning());
    }

    void noStation_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<Communication::State>("state");
        QTest::newRow("version") << "version" << Communication::ReadingVersion;
        QTest::newRow("last number") << "last-number" << Communication::ReadingInventoryNumber;
        QTest::newRow("inventory") << "inventory" << Communication::ReadingInventory;
        QTest::newRow("read database") << "read-db" << Communication::ReadingDatabase;
        QTest::newRow("write database") << "write-db" << Communication::WritingDatabase;
    }

    void noStation()
    {
        QFETCH(QString, operation);
        QFETCH(Communication::State, state);
        qputenv("QUARMEL_PORT", "/nonexistent/quarmel-station");
        QSignalSpy noPort(link.get(), &Communication::portNotOpened);
        QTest::ignoreMessage(QtWarningMsg, "Error opening port");
        QList<Bottle> bottles = makeBottles(2);
        startTransfer(operation, &bottles);
        QCOMPARE(noPort.count(), 1);
        QCOMPARE(noPort.at(0).at(0).value<Communication::State>(), state);
        QVERIFY(!pollRunning());
    }

    // Two answers in one read: the second was on the line before the next request was sent, so it cannot
    // be that request's answer, whatever it holds.
    void twoFramesInOneRead()
    {
        RawTerminal terminal;
        qputenv("QUARMEL_PORT", terminal.path.toLocal8Bit());
        const QList<InventoryBottle> weighings = makeWeighings(16);
        QSignalSpy finished(link.get(), &Communication::inventoryReadFinished);
        link->readInventory(0);
        const QByteArray firstRequest = buildFrame(requestHeader(ReadBlockCommand, 48000));
        QTRY_COMPARE(terminal.received, firstRequest);
        terminal.send(inventoryAnswer(48000, weighings) + inventoryAnswer(48128, {}));
        const QByteArray secondRequest = buildFrame(requestHeader(ReadBlockCommand, 48128));
        QTRY_COMPARE(terminal.received, firstRequest + secondRequest);
        QCOMPARE(finished.count(), 0);
        terminal.send(inventoryAnswer(48128, makeWeighings(3)));
        QVERIFY(finished.wait());
        QCOMPARE(link->inventory.size(), 16 + 3);
    }

    // Noise around an answer must neither deliver it twice nor lose it.
    void lineNoiseAroundAnAnswer_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("stray end byte after") << QByteArray() << QByteArray("\xC1", 1);
        QTest::newRow("end byte with no start") << QByteArray("\x01\x02\xC1", 3) << QByteArray();
        QTest::newRow("aborted frame before") << QByteArray("\xC0\x01\x02\x03", 4) << QByteArray();
    }

    void lineNoiseAroundAnAnswer()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        RawTerminal terminal;
        qputenv("QUARMEL_PORT", terminal.path.toLocal8Bit());
        QSignalSpy finished(link.get(), &Communication::inventoryReadFinished);
        link->readInventory(0);
        const QByteArray first = buildFrame(requestHeader(ReadBlockCommand, 48000));
        const QByteArray second = buildFrame(requestHeader(ReadBlockCommand, 48128));
        QTRY_COMPARE(terminal.received, first);
        terminal.send(before + inventoryAnswer(48000, makeWeighings(16)) + after);
        QTRY_COMPARE(terminal.received, first + second);
        terminal.send(inventoryAnswer(48128, makeWeighings(2)));
        QVERIFY(finished.wait());
        QCOMPARE(link->inventory.size(), 18);
        QCOMPARE(terminal.received, first + second);
    }

    // A run of bytes longer than any answer is dropped rather than kept and judged: its end byte completes
    // nothing, so no repeat is sent for it, and the next answer is taken as it comes.
    void overlongFrameIsNoise()
    {
        RawTerminal terminal;
        qputenv("QUARMEL_PORT", terminal.path.toLocal8Bit());
        QSignalSpy finished(link.get(), &Communication::inventoryReadFinished);
        link->readInventory(0);
        const QByteArray first = buildFrame(requestHeader(ReadBlockCommand, 48000));
        const QByteArray second = buildFrame(requestHeader(ReadBlockCommand, 48128));
        QTRY_COMPARE(terminal.received, first);
        const auto queued = [&terminal] {
            int bytes = -1;
            ::ioctl(terminal.slave, FIONREAD, &bytes);
            return bytes;
        };
        // Two writes, as the terminal's buffer holds less than the whole run.
        terminal.send(QByteArray(1, FrameStart) + QByteArray(MaxRawFrameSize / 2 + 1000, 0x55));
        QTRY_COMPARE(queued(), 0);
        terminal.send(QByteArray(MaxRawFrameSize / 2, 0x55) + QByteArray(1, FrameEnd) +
                      inventoryAnswer(48000, makeWeighings(16)));
        QTRY_COMPARE(terminal.received, first + second);
        terminal.send(inventoryAnswer(48128, {}));
        QVERIFY(finished.wait());
        QCOMPARE(link->inventory.size(), 16);
    }

    // A good frame without the data a single-block transfer needs is no answer either: ask again.
    void answerWithoutDataIsRepeated_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("shortData");
        QTest::newRow("number, header only") << "last-number" << 0x71 << 60000 << 0;
        QTest::newRow("version, 23 data bytes") << "version" << 0x21 << 16 << 23;
    }

    void answerWithoutDataIsRepeated()
    {
        QFETCH(QString, operation);
        QFETCH(int, command);
        QFETCH(int, address);
        QFETCH(int, shortData);
        RawTerminal terminal;
        qputenv("QUARMEL_PORT", terminal.path.toLocal8Bit());
        QSignalSpy number(link.get(), &Communication::lastInventoryNumber);
        QSignalSpy version(link.get(), &Communication::versionReadFinished);
        if (operation == QLatin1String("last-number"))
            QTest::ignoreMessage(QtWarningMsg, "ReadInventoryNumber: broken packet, no data");
        startTransfer(operation, nullptr);
        const QByteArray header = requestHeader(char(command), quint16(address));
        const QByteArray request = buildFrame(header);
        QTRY_COMPARE(terminal.received, request);
        terminal.send(buildFrame(header + QByteArray(shortData, 'x')));
        QTRY_COMPARE(terminal.received, request + request);
        QCOMPARE(number.count() + version.count(), 0);

        QByteArray data(BlockSize, 0);
        if (operation == QLatin1String("last-number")) {
            data[0] = 5;
        } else {
            data.replace(0, 11, "Jan 02 2020");
            data.replace(16, 8, "10:00:00");
        }
        terminal.send(buildFrame(header + data));
        QTRY_COMPARE(number.count() + version.count(), 1);
        if (operation == QLatin1String("last-number"))
            QCOMPARE(number.at(0).at(0).toInt(), 4);
        else
            QCOMPARE(QDateTime::fromSecsSinceEpoch(qint64(link->firmwareVersion)),
                     QDateTime(QDate(2020, 1, 2), QTime(10, 0)));
    }

    // A slot past the station's memory wraps its addresses below its start; a lost answer must still be
    // asked for again instead of leaving the transfer hanging.
    void wrappedSlotRecoversFromLostAnswer()
    {
        station->faults.drop = {1, 1};
        QTest::ignoreMessage(QtWarningMsg, "read timeout ERROR");
        QSignalSpy finished(link.get(), &Communication::inventoryReadFinished);
        link->readInventory(4);
        QVERIFY(finished.wait(3000));
        QCOMPARE(station->requestCount(), 2);
        QVERIFY(link->inventory.isEmpty());
    }

    void logTexts()
    {
        static QStringList messages;
        static QLoggingCategory::CategoryFilter previousFilter = nullptr;
        messages.clear();
        previousFilter = QLoggingCategory::installFilter([](QLoggingCategory *category) {
            if (previousFilter)
                previousFilter(category);
            if (QByteArray(category->categoryName()) == "communication")
                category->setEnabled(QtDebugMsg, true);
        });
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &context, const QString &text) {
                if (QByteArray(context.category) == "communication")
                    messages.append(text);
            });
        station->setInventory(1, {{812, QStringLiteral("1234567890123")}});
        QSignalSpy finished(link.get(), &Communication::inventoryReadFinished);
        link->readInventory(1);
        QVERIFY(finished.wait());
        QList<Bottle> bottles = makeBottles(1);
        QSignalSpy written(link.get(), &Communication::databaseWriteFinished);
        link->writeDatabase(&bottles);
        QVERIFY(written.wait());
        qInstallMessageHandler(previous);
        QLoggingCategory::installFilter(previousFilter);

        QCOMPARE(messages,
                 QStringList({QStringLiteral("bottle address: 52000, EAN: 1234567890123, weight: 812"),
                              QStringLiteral("no more inventory items"), QStringLiteral("finished"),
                              QStringLiteral("write OK, 50 %"), QStringLiteral("finished")}));
    }
};

QTEST_GUILESS_MAIN(tst_Communication)
#include "tst_communication.moc"
