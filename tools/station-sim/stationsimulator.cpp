#include "stationsimulator.h"

#include "stationprotocol.h"

#include "cataloguereader.h"
#include "savefile.h"
#include "weighingsfile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

using namespace StationProtocol;
using Clock = std::chrono::steady_clock;

namespace {
// Ten bits a byte (start, eight data, stop) at 57600 baud.
constexpr std::chrono::nanoseconds ByteTime(1000000000LL * 10 / 57600);
constexpr int TrickleIntervalMs = 1;
constexpr int BytesPerWake = 6;

// Writes all of `bytes` to the non-blocking terminal, waiting while the line discipline is full.
bool writeAll(int fd, const char *bytes, int size)
{
    int done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, bytes + done, size_t(size - done));
        if (n > 0) {
            done += int(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else {
            return false;
        }
    }
    return true;
}

QByteArray imageBytes(const QByteArray &image, int address, int size)
{
    QByteArray bytes;
    bytes.reserve(size);
    for (int i = 0; i < size; ++i)
        bytes.append(image.at((address + i) % StationSimulator::MemorySize));
    return bytes;
}
} // namespace

// Sends answers byte by byte at the moments a 57600-baud line would deliver them. A thread of its own,
// because the event loop's millisecond timers are far coarser than one byte (0.17 ms) on the wire.
class PacedWriter
{
public:
    explicit PacedWriter(int fd) : fd(fd), thread([this] { run(); }) {}

    ~PacedWriter()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
        }
        wake.notify_all();
        thread.join();
    }

    void send(const QByteArray &bytes, Clock::time_point notBefore)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            jobs.push_back({bytes, notBefore});
        }
        wake.notify_all();
    }

private:
    struct Job
    {
        QByteArray bytes;
        Clock::time_point notBefore;
    };

    void run()
    {
        Clock::time_point lineFree = Clock::now();
        for (;;) {
            Job job;
            {
                std::unique_lock<std::mutex> lock(mutex);
                wake.wait(lock, [this] { return stopping || !jobs.empty(); });
                if (stopping)
                    return;
                job = jobs.front();
                jobs.pop_front();
            }
            const Clock::time_point start = std::max(job.notBefore, lineFree);
            const int n = job.bytes.size();
            int written = 0;
            while (written < n) {
                const Clock::time_point now = Clock::now();
                int due = int((now - start) / ByteTime);
                due = std::min(std::max(due, 0), n);
                if (due > written) {
                    writeAll(fd, job.bytes.constData() + written, due - written);
                    written = due;
                    continue;
                }
                // Bytes go out in groups of about a millisecond; waking for each single byte would cost
                // more than the line's pace is worth. The last byte still leaves at its own moment.
                const int next = std::min(written + BytesPerWake, n);
                std::unique_lock<std::mutex> lock(mutex);
                if (wake.wait_until(lock, start + ByteTime * next, [this] { return stopping; }))
                    return;
            }
            lineFree = start + ByteTime * n;
        }
    }

    int fd;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Job> jobs;
    bool stopping = false;
    std::thread thread;
};

bool StationSimulator::FaultRange::hits(int answer) const
{
    if (first <= 0 || answer < first)
        return false;
    return count < 0 || answer < first + count;
}

StationSimulator::StationSimulator(QObject *parent) : QObject(parent)
{
    setFirmwareTime(QStringLiteral("Mar 14 2024"), QStringLiteral("09:26:53"));
}

StationSimulator::~StationSimulator()
{
    pacer.reset();
    if (notifier)
        notifier->setEnabled(false);
    if (master >= 0)
        ::close(master);
    if (slave >= 0)
        ::close(slave);
    if (lockedMaster >= 0)
        ::close(lockedMaster);
}

bool StationSimulator::open(QString *error)
{
    if (master >= 0)
        return true;
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128] = {};
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0) {
        if (error)
            *error = QStringLiteral("cannot create a pseudo-terminal: %1")
                         .arg(QString::fromLocal8Bit(strerror(errno)));
        if (master >= 0)
            ::close(master);
        master = -1;
        return false;
    }
    // Holding the terminal's other end open keeps the line up while the link closes and reopens it.
    slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (slave < 0 || ::tcgetattr(slave, &raw) != 0) {
        if (error)
            *error = QStringLiteral("cannot open %1").arg(QString::fromLocal8Bit(name));
        ::close(master);
        master = -1;
        return false;
    }
    ::cfmakeraw(&raw);
    ::cfsetispeed(&raw, B57600);
    ::cfsetospeed(&raw, B57600);
    ::tcsetattr(slave, TCSANOW, &raw);
    path = QString::fromLocal8Bit(name);

    notifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &StationSimulator::onReadable);
    trickleTimer = new QTimer(this);
    trickleTimer->setTimerType(Qt::PreciseTimer);
    trickleTimer->setInterval(TrickleIntervalMs);
    connect(trickleTimer, &QTimer::timeout, this, &StationSimulator::trickle);
    if (pacedRequested)
        pacer = std::make_unique<PacedWriter>(master);
    return true;
}

bool StationSimulator::isOpen() const
{
    return master >= 0;
}

QString StationSimulator::devicePath() const
{
    return path;
}

void StationSimulator::vanish()
{
    if (master < 0)
        return;
    pacer.reset();
    if (notifier) {
        notifier->setEnabled(false);
        notifier->deleteLater();
        notifier = nullptr;
    }
    if (trickleTimer)
        trickleTimer->stop();
    trickleQueue.clear();
    // Locked against new openings, the terminal cannot be opened again by anyone, root included. Its
    // number stays taken until the simulator ends, so no other terminal (another test's, say) turns up
    // under the same path for the link to reopen.
    int lock = 1;
    ::ioctl(master, TIOCSPTLCK, &lock);
    ::close(slave);
    slave = -1;
    lockedMaster = master;
    master = -1;
    emit vanished();
}

void StationSimulator::setPaced(bool paced)
{
    pacedRequested = paced;
    if (!paced)
        pacer.reset();
    else if (master >= 0 && !pacer)
        pacer = std::make_unique<PacedWriter>(master);
}

void StationSimulator::setMemory(int address, const QByteArray &bytes)
{
    for (int i = 0; i < bytes.size(); ++i)
        image[(address + i) % MemorySize] = bytes.at(i);
}

void StationSimulator::setCatalogue(const QList<Bottle> &bottles)
{
    setMemory(DatabaseAddress, QByteArray(DatabaseLastAddress + 1, 0));
    const int n = qMin(bottles.size(), MaxBottles);
    for (int i = 0; i < n; ++i)
        setMemory(DatabaseAddress + BottleRecordSize * i, encodeBottle(bottles.at(i)));
}

QList<Bottle> StationSimulator::catalogue() const
{
    QList<Bottle> bottles;
    for (int i = 0; i < MaxBottles; ++i) {
        Bottle bottle;
        if (!decodeBottle(image.constData() + DatabaseAddress + BottleRecordSize * i, &bottle))
            break;
        bottles.append(bottle);
    }
    return bottles;
}

void StationSimulator::setInventory(int slot, const QList<InventoryBottle> &bottles)
{
    if (slot < 0 || slot >= InventorySlots)
        return;
    const int base = InventoryAddress + InventorySlotSize * slot;
    setMemory(base, QByteArray(InventorySlotSize, 0));
    const int n = qMin(bottles.size(), InventoryCapacity);
    for (int i = 0; i < n; ++i)
        setMemory(base + InventoryRecordSize * i, encodeInventoryRecord(bottles.at(i)));
}

QList<InventoryBottle> StationSimulator::inventory(int slot) const
{
    QList<InventoryBottle> bottles;
    if (slot < 0 || slot >= InventorySlots)
        return bottles;
    const int base = InventoryAddress + InventorySlotSize * slot;
    for (int i = 0; i < InventoryCapacity; ++i) {
        InventoryBottle bottle;
        if (!decodeInventoryRecord(image.constData() + base + InventoryRecordSize * i, &bottle))
            break;
        bottles.append(bottle);
    }
    return bottles;
}

void StationSimulator::setLastInventoryNumber(int number)
{
    image[InventoryNumberAddress] = char(number);
}

int StationSimulator::lastInventoryNumber() const
{
    return qint8(image.at(InventoryNumberAddress));
}

void StationSimulator::setFirmwareTime(const QString &date, const QString &time)
{
    QByteArray block(BlockSize, 0);
    const QByteArray d = date.toLatin1().left(11);
    const QByteArray t = time.toLatin1().left(8);
    block.replace(0, d.size(), d);
    block.replace(16, t.size(), t);
    setMemory(FirmwareAddress, block);
}

bool StationSimulator::saveImage(const QString &fileName, QString *error) const
{
    return writeFileWhole(fileName, image, error);
}

bool StationSimulator::readCatalogueFile(const QString &fileName, QList<Bottle> *bottles, QString *error)
{
    return CatalogueReader::readFile(fileName, bottles, error);
}

bool StationSimulator::readInventoryFile(const QString &fileName, QList<InventoryBottle> *bottles,
                                         QString *error)
{
    QString reason;
    if (WeighingsFile::read(fileName, bottles, &reason))
        return true;
    if (error)
        *error = reason;
    return false;
}

void StationSimulator::onReadable()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            return;
        received += n;
        for (ssize_t i = 0; i < n && master >= 0; ++i) {
            const char byte = buffer[i];
            if (byte == FrameStart) {
                rxBuffer.clear();
                frameOpen = true;
            } else if (byte != FrameEnd) {
                rxBuffer.append(byte);
            } else if (frameOpen) {
                frameOpen = false;
                QByteArray body;
                if (checkFrame(rxBuffer, &body) == FrameOutcome::Good)
                    handleRequest(body, rxBuffer.size() + 2);
                rxBuffer.clear();
            }
        }
        if (master < 0)
            return;
    }
}

void StationSimulator::handleRequest(const QByteArray &body, int rawSize)
{
    if (body.size() < HeaderSize)
        return;
    const int number = ++requests;
    const char command = body.at(2);
    const int address = quint8(body.at(5)) << 8 | quint8(body.at(6));
    emit requestReceived(quint8(command), address);
    if (faults.vanishAfter > 0 && number > faults.vanishAfter) {
        vanish();
        return;
    }
    if (faults.silentAfter > 0 && number > faults.silentAfter)
        return;
    queue.append({body, rawSize, number});
    serveQueue();
}

int StationSimulator::injectedTotal() const
{
    int total = 0;
    for (auto it = injectedCounts.cbegin(); it != injectedCounts.cend(); ++it)
        total += it.key() == int(Fault::None) ? 0 : it.value();
    return total;
}

StationSimulator::Fault StationSimulator::faultFor(int answer)
{
    const struct
    {
        const FaultRange &range;
        Fault fault;
    } ranges[] = {{faults.drop, Fault::Drop},
                  {faults.cutShort, Fault::CutShort},
                  {faults.corruptChecksum, Fault::CorruptChecksum},
                  {faults.breakEscape, Fault::BreakEscape},
                  {faults.shortData, Fault::ShortData},
                  {faults.noise, Fault::Noise},
                  {faults.doubled, Fault::Doubled}};
    for (const auto &entry : ranges) {
        if (entry.range.hits(answer))
            return entry.fault;
    }
    if (faults.randomRate <= 0)
        return Fault::None;
    if (!random)
        random = std::make_unique<QRandomGenerator>(faults.seed);
    if (random->generateDouble() >= faults.randomRate)
        return Fault::None;
    return Fault(1 + random->bounded(int(Fault::Late)));
}

void StationSimulator::serveQueue()
{
    while (!busy && !queue.isEmpty() && master >= 0) {
        const Request next = queue.takeFirst();
        Fault fault = faultFor(next.number);
        const bool randomLate = fault == Fault::Late;
        if (fault == Fault::None && faults.late.hits(next.number))
            fault = Fault::Late;
        const bool late = fault == Fault::Late || faults.late.hits(next.number);
        if (!late) {
            answer(next.body, next.rawSize, fault);
            continue;
        }
        // The station works on this request for the whole delay; what arrives meanwhile waits.
        busy = true;
        const int delay = randomLate && faults.lateMs == 0 ? 700 : faults.lateMs;
        QTimer::singleShot(delay, this, [this, next, fault] {
            busy = false;
            answer(next.body, 0, fault);
            serveQueue();
        });
        return;
    }
}

void StationSimulator::answer(const QByteArray &body, int rawSize, Fault fault)
{
    ++injectedCounts[int(fault)];
    const char command = body.at(2);
    const int address = quint8(body.at(5)) << 8 | quint8(body.at(6));
    QByteArray reply = body.left(HeaderSize);
    reply[0] = char(0x80);
    reply[1] = 0x01;
    switch (command) {
    case ReadBlockCommand:
        reply.append(imageBytes(image, address, BlockSize));
        break;
    case WriteBlockCommand:
        if (body.size() != HeaderSize + BlockSize)
            return;
        setMemory(address, body.mid(HeaderSize));
        break;
    case ReadVersionCommand:
        reply.append(imageBytes(image, FirmwareAddress, BlockSize));
        break;
    default:
        return;
    }
    if (fault == Fault::Drop)
        return;
    QByteArray frame = answerFrame(reply, fault);
    if (fault == Fault::Noise)
        frame.prepend(QByteArray::fromHex("C001C155AA7D0013"));
    else if (fault == Fault::Doubled)
        frame += frame;
    deliver(frame, rawSize);
}

QByteArray StationSimulator::answerFrame(const QByteArray &body, Fault fault)
{
    switch (fault) {
    case Fault::CutShort: {
        QByteArray frame(1, FrameStart);
        appendEscaped(frame, body.constData(), 4);
        return frame.append(FrameEnd);
    }
    case Fault::ShortData:
        return buildFrame(body.left(body.size() > HeaderSize ? HeaderSize + (body.size() - HeaderSize) / 2
                                                             : HeaderSize / 2));
    case Fault::CorruptChecksum: {
        const quint16 wrong = quint16(checksum(body.constData(), body.size()) ^ 0x0101);
        const char crcBytes[2] = {char(wrong >> 8), char(wrong & 0xFF)};
        QByteArray frame(1, FrameStart);
        appendEscaped(frame, body.constData(), body.size());
        appendEscaped(frame, crcBytes, 2);
        return frame.append(FrameEnd);
    }
    case Fault::BreakEscape:
        return buildFrame(body).insert(1, QByteArray("\x7D\x41", 2));
    default:
        return buildFrame(body);
    }
}

void StationSimulator::deliver(const QByteArray &frame, int rawRequestSize)
{
    if (pacer) {
        // The request itself needed its time on the wire before the station could start answering.
        sent += frame.size();
        pacer->send(frame, Clock::now() + ByteTime * rawRequestSize);
        return;
    }
    writeOut(frame);
}

void StationSimulator::writeOut(const QByteArray &bytes)
{
    if (master < 0)
        return;
    sent += bytes.size();
    if (faults.byteByByte) {
        trickleQueue.append(bytes);
        if (!trickleTimer->isActive())
            trickleTimer->start();
        return;
    }
    writeAll(master, bytes.constData(), bytes.size());
}

void StationSimulator::trickle()
{
    if (master < 0 || trickleQueue.isEmpty()) {
        trickleTimer->stop();
        return;
    }
    writeAll(master, trickleQueue.constData(), 1);
    trickleQueue.remove(0, 1);
}
