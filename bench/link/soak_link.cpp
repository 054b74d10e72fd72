// A long run against a station on a bad line: a seeded random fault on a share of all requests, over full
// inventory slots, the window's chain, catalogue reads and writes, and back-to-back runs that each open the
// port afresh, as quarmelctl runs started one after the other do. Every transfer must end with the
// exact result or a clear failure (timeout or write error); a wrong result is one that reports success.
// Not part of the tests or of bench/run: it runs for minutes. Usage: build/soak/soak_link [--faults N]
// [--seed S] [--rate P] [--paced]
#include "communication.h"
#include "stationprotocol.h"

#include "stationsimulator.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTimer>

#include <cstdio>
#include <functional>

using namespace StationProtocol;

namespace {
enum Outcome { Exact, ClearFailure, Wrong };

struct Tally
{
    int transfers = 0;
    int exact = 0;
    int clearFailures = 0;
    int wrong = 0;
};

QList<InventoryBottle> fullSlot(int slot)
{
    QList<InventoryBottle> list;
    for (int i = 0; i < StationSimulator::InventoryCapacity; ++i)
        list.append({quint64(100 + (i * 37 + slot * 11) % 1500),
                     QStringLiteral("859%1").arg(1000000000 + slot * 10000 + i, 10, 10, QLatin1Char('0'))});
    return list;
}

QList<Bottle> randomCatalogue(QRandomGenerator &random)
{
    static const QStringList names = {QStringLiteral("Slivovice"), QStringLiteral("Meruňkovice Jižní"),
                                      QStringLiteral("Žitná"), QStringLiteral("Rum"),
                                      QStringLiteral("Vodka Stříbrná")};
    QList<Bottle> list;
    const int count = random.bounded(120);
    for (int i = 0; i < count; ++i) {
        Bottle b;
        b.ean = QStringLiteral("0859%1").arg(random.bounded(1000000000), 9, 10, QLatin1Char('0'));
        b.displayName = names.at(random.bounded(names.size()));
        b.volume = quint64(random.bounded(2000));
        b.emptyWeight = quint64(300 + random.bounded(500));
        b.fullWeight = b.emptyWeight + quint64(random.bounded(1200));
        b.weightCorrection = random.bounded(-20, 20);
        list.append(b);
    }
    return list;
}

// The station holds exactly the records that were written.
bool stationHolds(const StationSimulator &station, const QList<Bottle> &bottles)
{
    const QByteArray memory = station.memory();
    for (int i = 0; i < bottles.size(); ++i) {
        if (memory.mid(BottleRecordSize * i, 27) != encodeBottle(bottles.at(i)).left(27))
            return false;
    }
    return bottles.size() == MaxBottles ||
           memory.mid(BottleRecordSize * bottles.size(), 4) == QByteArray(4, 0);
}

bool sameBottles(const QList<Bottle> &a, const QList<Bottle> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (encodeBottle(a.at(i)).left(27) != encodeBottle(b.at(i)).left(27))
            return false;
    }
    return true;
}

bool sameWeighings(const QList<InventoryBottle> &a, const QList<InventoryBottle> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a.at(i).ean != b.at(i).ean || a.at(i).weight != b.at(i).weight)
            return false;
    }
    return true;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // A run stopped from outside still leaves every line it printed.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QLoggingCategory::setFilterRules(QStringLiteral("communication=false"));
    int targetFaults = 1000;
    quint32 seed = 1;
    double rate = 0.25;
    bool paced = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--faults") && i + 1 < args.size())
            targetFaults = args.at(++i).toInt();
        else if (args.at(i) == QLatin1String("--seed") && i + 1 < args.size())
            seed = args.at(++i).toUInt();
        else if (args.at(i) == QLatin1String("--rate") && i + 1 < args.size())
            rate = args.at(++i).toDouble();
        else if (args.at(i) == QLatin1String("--paced"))
            paced = true;
    }

    StationSimulator station;
    for (int slot = 0; slot < StationSimulator::InventorySlots; ++slot)
        station.setInventory(slot, fullSlot(slot));
    station.setLastInventoryNumber(2);
    station.setPaced(paced);
    station.faults.randomRate = rate;
    station.faults.seed = seed;
    if (!station.open())
        return 2;
    qputenv("QUARMEL_PORT", station.devicePath().toLocal8Bit());
    QRandomGenerator random(seed);

    Communication link;
    QEventLoop loop;
    bool failed = false;
    const auto done = [&loop] { loop.quit(); };
    QObject::connect(&link, &Communication::timeout, &loop, [&] {
        failed = true;
        loop.quit();
    });
    QObject::connect(&link, &Communication::writeError, &loop, [&] {
        failed = true;
        loop.quit();
    });
    QObject::connect(&link, &Communication::portNotOpened, &loop, [&] {
        failed = true;
        loop.quit();
    });
    QObject::connect(&link, &Communication::databaseReadFinished, &loop, done);
    QObject::connect(&link, &Communication::databaseWriteFinished, &loop, done);
    QObject::connect(&link, &Communication::inventoryReadFinished, &loop, done);
    // The window's chain: version, then the last number, then that inventory, each from the last signal.
    bool chain = false;
    QObject::connect(&link, &Communication::versionReadFinished, &loop, [&] {
        if (chain)
            link.readLastInventoryNumber();
        else
            loop.quit();
    });
    int number = -100;
    QObject::connect(&link, &Communication::lastInventoryNumber, &loop, [&](int n) {
        number = n;
        if (chain)
            link.readInventory(n);
        else
            loop.quit();
    });
    // No transfer here may take a minute; one that does is hung, which is as bad as a wrong result.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    bool hung = false;
    QObject::connect(&watchdog, &QTimer::timeout, &loop, [&] {
        QStringList active;
        for (const char *name : {"pollTimer", "readTimer", "writeTimer", "guardTimer"}) {
            if (link.findChild<QTimer *>(QLatin1String(name))->isActive())
                active.append(QLatin1String(name));
        }
        std::printf("HUNG after %d requests; running: %s\n", station.requestCount(),
                    qPrintable(active.join(QLatin1Char(' '))));
        hung = true;
        loop.quit();
    });
    const auto run = [&](const std::function<void()> &start) {
        failed = false;
        QTimer::singleShot(0, &link, start);
        watchdog.start(60000);
        loop.exec();
        watchdog.stop();
        return !failed;
    };

    // A run of its own, as one quarmelctl call: a new link, the port opened afresh, one transfer.
    const auto freshRun = [&](const std::function<void(Communication &)> &start,
                              const std::function<bool(Communication &, int)> &exact) {
        Communication own;
        bool ownFailed = false;
        int ownNumber = -100;
        const auto fail = [&] {
            ownFailed = true;
            loop.quit();
        };
        QObject::connect(&own, &Communication::timeout, &loop, fail);
        QObject::connect(&own, &Communication::portNotOpened, &loop, fail);
        QObject::connect(&own, &Communication::versionReadFinished, &loop, done);
        QObject::connect(&own, &Communication::inventoryReadFinished, &loop, done);
        QObject::connect(&own, &Communication::lastInventoryNumber, &loop, [&](int n) {
            ownNumber = n;
            loop.quit();
        });
        QTimer::singleShot(0, &own, [&] { start(own); });
        watchdog.start(60000);
        loop.exec();
        watchdog.stop();
        if (ownFailed)
            return ClearFailure;
        return exact(own, ownNumber) ? Exact : Wrong;
    };
    const quint64 firmware =
        quint64(QDateTime(QDate(2024, 3, 14), QTime(9, 26, 53), Qt::LocalTime).toSecsSinceEpoch());

    Tally tally;
    QList<Bottle> written;
    QElapsedTimer clock;
    clock.start();
    for (int round = 0; station.injectedTotal() < targetFaults; ++round) {
        Outcome outcome = Exact;
        QList<Outcome> earlier;
        switch (round % 6) {
        case 0:
        case 1: {
            const int slot = round % 3;
            if (!run([&] { link.readInventory(slot); }))
                outcome = ClearFailure;
            else if (!sameWeighings(link.inventory, fullSlot(slot).mid(0, 496)))
                outcome = Wrong;
            break;
        }
        case 2: {
            chain = true;
            number = -100;
            const bool ok = run([&] { link.readVersion(); });
            chain = false;
            if (!ok)
                outcome = ClearFailure;
            else if (number != 1 || !sameWeighings(link.inventory, fullSlot(1).mid(0, 496)))
                outcome = Wrong;
            break;
        }
        case 3: {
            written = randomCatalogue(random);
            if (!run([&] { link.writeDatabase(&written); }))
                outcome = ClearFailure;
            else if (!stationHolds(station, written))
                outcome = Wrong;
            break;
        }
        case 4: {
            QList<Bottle> read;
            const QList<Bottle> held = station.catalogue();
            if (!run([&] { link.readDatabase(&read); }))
                outcome = ClearFailure;
            else if (!sameBottles(read, held))
                outcome = Wrong;
            break;
        }
        case 5: {
            const int slot = round % 3;
            earlier.append(
                freshRun([](Communication &own) { own.readVersion(); },
                         [&](Communication &own, int) { return own.firmwareVersion == firmware; }));
            earlier.append(freshRun([](Communication &own) { own.readLastInventoryNumber(); },
                                    [](Communication &, int n) { return n == 1; }));
            outcome = freshRun([slot](Communication &own) { own.readInventory(slot); },
                               [slot](Communication &own, int) {
                                   return sameWeighings(own.inventory, fullSlot(slot).mid(0, 496));
                               });
            break;
        }
        }
        for (const Outcome before : qAsConst(earlier)) {
            ++tally.transfers;
            if (before == Exact)
                ++tally.exact;
            else if (before == ClearFailure)
                ++tally.clearFailures;
            else
                ++tally.wrong;
            if (before == Wrong)
                std::printf("WRONG result in round %d (back-to-back run)\n", round);
        }
        ++tally.transfers;
        if (outcome == Exact)
            ++tally.exact;
        else if (outcome == ClearFailure)
            ++tally.clearFailures;
        else
            ++tally.wrong;
        if (outcome == Wrong)
            std::printf("WRONG result in round %d (kind %d)\n", round, round % 6);
        if (hung) {
            ++tally.wrong;
            break;
        }
        if (round % 20 == 0) {
            std::fprintf(stderr, "round %d: %d exchanges, %d faults, %.0f s\n", round, station.requestCount(),
                         station.injectedTotal(), clock.elapsed() / 1000.0);
        }
    }

    using Fault = StationSimulator::Fault;
    std::printf("seed %u, fault rate %.2f%s, %.0f s\n", seed, rate, paced ? ", paced" : "",
                clock.elapsed() / 1000.0);
    std::printf("exchanges %d, faults %d (drop %d, checksum %d, escape %d, cut %d, short data %d, noise %d, "
                "doubled %d, late %d)\n",
                station.requestCount(), station.injectedTotal(), station.injected(Fault::Drop),
                station.injected(Fault::CorruptChecksum), station.injected(Fault::BreakEscape),
                station.injected(Fault::CutShort), station.injected(Fault::ShortData),
                station.injected(Fault::Noise), station.injected(Fault::Doubled),
                station.injected(Fault::Late));
    std::printf("transfers %d: exact %d, clear failures %d, wrong results %d\n", tally.transfers, tally.exact,
                tally.clearFailures, tally.wrong);
    return tally.wrong == 0 ? 0 : 1;
}
