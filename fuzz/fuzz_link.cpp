// The link's receive path: Communication reads the fuzzer's bytes from a real serial port during a
// transfer. One pseudo-terminal serves the whole process: QUARMEL_PORT names its slave side, and each input
// is written to the master side as the station's answers.
#include "fuzzcheck.h"

#include "communication.h"
#include "inventorybottle.h"
#include "stationprotocol.h"

#include <QCoreApplication>
#include <QSerialPort>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {
int master = -1;
int slave = -1; // held open, so the line never hangs up between two transfers

// True when the link sent anything.
bool drainRequests()
{
    char buffer[4096];
    bool any = false;
    while (read(master, buffer, sizeof buffer) > 0)
        any = true;
    return any;
}

int pendingOnSlave(QSerialPort *port)
{
    int pending = 0;
    if (port && ioctl(int(port->handle()), FIONREAD, &pending) != 0)
        pending = 0;
    return pending;
}

QList<Bottle> sampleBottles()
{
    QList<Bottle> list;
    for (int i = 0; i < 5; ++i) {
        Bottle b;
        b.ean = QString::number(8590000000001ll + i);
        b.displayName = QStringLiteral("Bottle %1").arg(i);
        b.volume = 700;
        b.emptyWeight = 500;
        b.fullWeight = 1160;
        list.append(b);
    }
    return list;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        std::abort();
    termios mode{};
    tcgetattr(slave, &mode);
    cfmakeraw(&mode);
    tcsetattr(slave, TCSANOW, &mode);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    qputenv("QUARMEL_PORT", ptsname(master));
    qputenv("QT_LOGGING_RULES", "*=false");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int transfer = data[0] % 5;
    const QByteArray answers(reinterpret_cast<const char *>(data + 1), int(size - 1));

    Communication link;
    bool ended = false;
    QObject::connect(&link, &Communication::timeout, &link, [&ended] { ended = true; });
    QObject::connect(&link, &Communication::databaseReadFinished, &link, [&ended] { ended = true; });
    QObject::connect(&link, &Communication::databaseWriteFinished, &link, [&ended] { ended = true; });
    QObject::connect(&link, &Communication::inventoryReadFinished, &link, [&ended] { ended = true; });
    QObject::connect(&link, &Communication::versionReadFinished, &link, [&ended] { ended = true; });
    QObject::connect(&link, &Communication::lastInventoryNumber, &link, [&ended](int) { ended = true; });
    QObject::connect(&link, &Communication::portNotOpened, &link,
                     [](Communication::State) { std::abort(); });

    QList<Bottle> bottles;
    const QList<Bottle> toWrite = sampleBottles();
    switch (transfer) {
    case 0: link.readDatabase(&bottles); break;
    case 1: link.readInventory(data[0] / 5 % 3); break;
    case 2: link.readLastInventoryNumber(); break;
    case 3: link.readVersion(); break;
    default: link.writeDatabase(&toWrite); break;
    }
    QSerialPort *port = link.findChild<QSerialPort *>();
    FUZZ_CHECK(port);

    // A port just opened waits for a quiet line before its first request, and drops what came before it;
    // the answers go out once the request has.
    bool asked = false;
    for (int wait = 0; wait < 5000 && !asked && !ended; ++wait) {
        QCoreApplication::processEvents();
        asked = drainRequests();
        if (!asked) {
            pollfd request{master, POLLIN, 0};
            poll(&request, 1, 1);
        }
    }
    int written = 0;
    for (int idle = 0; idle < 3 && !ended;) {
        drainRequests();
        if (written < answers.size()) {
            const ssize_t n = write(master, answers.constData() + written, size_t(answers.size() - written));
            if (n > 0)
                written += int(n);
        }
        QCoreApplication::processEvents();
        // The link closes and deletes its port when a transfer ends, which may happen in the events above.
        port = link.findChild<QSerialPort *>();
        if (!port)
            break;
        // Bytes on their way through the terminal layer arrive within a moment; a line quiet for three
        // such moments with nothing left to send has delivered everything.
        if (written == answers.size() && pendingOnSlave(port) == 0 && port->bytesAvailable() == 0) {
            pollfd readable{int(port->handle()), POLLIN, 0};
            idle = poll(&readable, 1, 1) > 0 ? 0 : idle + 1;
        }
    }
    drainRequests();

    // What the link delivers stays within what the station can hold and send.
    FUZZ_CHECK(bottles.size() <= StationProtocol::MaxBottles);
    for (const Bottle &b : qAsConst(bottles))
        FUZZ_CHECK(Fuzz::withinBounds(b));
    const int slotRecords = StationProtocol::InventorySlotSize / StationProtocol::InventoryRecordSize;
    FUZZ_CHECK(link.inventory.size() <= slotRecords);
    for (const InventoryBottle &b : qAsConst(link.inventory)) {
        FUZZ_CHECK(b.weight <= 65535);
        // Only an EAN whose text gives back its two numbers can go out again as it came (the station never
        // sends a last part of five digits).
        quint32 leading = 0;
        quint16 last = 0;
        StationProtocol::splitEan(b.ean, &leading, &last);
        if (leading == 0 || StationProtocol::eanText(leading, last) != b.ean)
            continue;
        InventoryBottle again;
        FUZZ_CHECK(StationProtocol::decodeInventoryRecord(
            StationProtocol::encodeInventoryRecord(b).constData(), &again));
        FUZZ_CHECK(again.weight == b.weight && again.ean == b.ean);
    }
    return 0;
}
