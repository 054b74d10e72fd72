// Station transfers against the in-process simulator: paced at 57600 baud, the elapsed time against the
// time the bytes need on the wire (budget: within 5 %); unpaced, the median time of one exchange
// (budget: 2 ms).
#include "communication.h"
#include "stationprotocol.h"

#include "stationsimulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
struct Figures
{
    double elapsedMs = 0;
    double wireMs = 0;
    double medianExchangeMs = 0;
    int exchanges = 0;
    bool ok = false;
};

// `fault`: none, "late" (the tenth answer 700 ms late) or "noise" (a noise burst before the tenth answer).
Figures measure(bool paced, bool database, const char *fault = nullptr)
{
    StationSimulator station;
    QList<Bottle> bottles;
    for (int i = 0; i < StationProtocol::MaxBottles; ++i) {
        Bottle b;
        b.ean = QStringLiteral("859%1").arg(1000000000 + i, 10, 10, QLatin1Char('0'));
        b.displayName = QStringLiteral("Bottle %1").arg(i);
        b.volume = 700;
        b.emptyWeight = 500;
        b.fullWeight = 1160;
        bottles.append(b);
    }
    station.setCatalogue(bottles);
    QList<InventoryBottle> weighings;
    for (int i = 0; i < StationSimulator::InventoryCapacity; ++i)
        weighings.append({quint64(600 + i), bottles.at(i).ean});
    station.setInventory(0, weighings);
    station.setPaced(paced);
    if (fault && QByteArray(fault) == "late") {
        station.faults.late = {10, 1};
        station.faults.lateMs = 700;
    } else if (fault) {
        station.faults.noise = {10, 1};
    }
    if (!station.open())
        return {};
    qputenv("QUARMEL_PORT", station.devicePath().toLocal8Bit());

    Communication link;
    QEventLoop loop;
    QElapsedTimer clock;
    std::vector<qint64> requestTimes;
    QObject::connect(&station, &StationSimulator::requestReceived, &loop,
                     [&] { requestTimes.push_back(clock.nsecsElapsed()); });
    bool ok = true;
    QObject::connect(&link, &Communication::databaseReadFinished, &loop, [&] { loop.quit(); });
    QObject::connect(&link, &Communication::inventoryReadFinished, &loop, [&] { loop.quit(); });
    QObject::connect(&link, &Communication::timeout, &loop, [&] {
        ok = false;
        loop.quit();
    });
    QObject::connect(&link, &Communication::portNotOpened, &loop, [&] {
        ok = false;
        loop.quit();
    });

    QList<Bottle> read;
    clock.start();
    QTimer::singleShot(0, &link, [&] {
        clock.restart();
        if (database)
            link.readDatabase(&read);
        else
            link.readInventory(0);
    });
    loop.exec();

    Figures f;
    const qint64 end = clock.nsecsElapsed();
    // Opening the port is not part of the line's work; timing starts when the first request has arrived,
    // to which the time that request needs on the wire is added.
    const double firstRequestMs = 13 * 10 * 1000.0 / 57600;
    f.elapsedMs = requestTimes.empty() ? 0 : (end - requestTimes.front()) / 1e6 + firstRequestMs;
    f.wireMs = double(station.bytesReceived() + station.bytesSent()) * 10 * 1000 / 57600;
    f.exchanges = int(requestTimes.size());
    std::vector<qint64> intervals;
    for (size_t i = 1; i < requestTimes.size(); ++i)
        intervals.push_back(requestTimes[i] - requestTimes[i - 1]);
    if (!intervals.empty()) {
        std::nth_element(intervals.begin(), intervals.begin() + intervals.size() / 2, intervals.end());
        f.medianExchangeMs = intervals[intervals.size() / 2] / 1e6;
    }
    f.ok = ok && (database ? read.size() == StationProtocol::MaxBottles : link.inventory.size() == 496);
    return f;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    int status = 0;
    for (const bool database : {true, false}) {
        const char *what = database ? "database read, 1500 bottles" : "inventory read, 496 weighings";
        const Figures paced = measure(true, database);
        const double ratio = paced.elapsedMs / paced.wireMs;
        std::printf("%-32s paced:   %4d exchanges, %8.1f ms elapsed, %8.1f ms on the wire, ratio %.3f "
                    "(budget 1.050) %s\n",
                    what, paced.exchanges, paced.elapsedMs, paced.wireMs, ratio,
                    paced.ok && ratio <= 1.05 ? "ok" : "OVER");
        const Figures free = measure(false, database);
        std::printf("%-32s unpaced: %4d exchanges, %8.1f ms elapsed, median %.3f ms per exchange "
                    "(budget 2.000) %s\n",
                    what, free.exchanges, free.elapsedMs, free.medianExchangeMs,
                    free.ok && free.medianExchangeMs <= 2.0 ? "ok" : "OVER");
        if (!paced.ok || !free.ok || ratio > 1.05 || free.medianExchangeMs > 2.0)
            status = 1;
    }
    // What one fault costs a paced inventory read: the extra time against the clean read.
    const Figures clean = measure(true, false);
    for (const char *fault : {"late", "noise"}) {
        const Figures hit = measure(true, false, fault);
        std::printf("inventory read, one %-5s answer  paced:   %4d exchanges, %8.1f ms elapsed, %+8.1f ms "
                    "against the clean read %s\n",
                    fault, hit.exchanges, hit.elapsedMs, hit.elapsedMs - clean.elapsedMs,
                    hit.ok ? "exact" : "WRONG");
        if (!hit.ok)
            status = 1;
    }
    return status;
}
