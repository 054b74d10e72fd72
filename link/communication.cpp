#include "communication.h"

#include "stationprotocol.h"

#include "bottle.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QSerialPort>
#include <QSerialPortInfo>

Q_LOGGING_CATEGORY(lcCommunication, "communication")

using namespace StationProtocol;

namespace {
constexpr int AnswerTimeoutMs = 500;
constexpr int PollIntervalMs = 1;
// Failed exchanges in a row (time-outs and unusable answers) after which a transfer is given up.
constexpr int MaxRetries = 5;
// Quiet time on the line after which no more answer to an earlier request is on its way. A station that
// works through queued requests sends their answers back to back; 150 ms is three answers on the wire.
constexpr int GuardMs = 150;
// A line that never goes quiet (a device that keeps talking) must not hold a transfer for good.
constexpr int MaxGuardMs = 2000;
// How long a quiet wait keeps waiting for answers a late station still owes; a station that dropped a
// request owes nothing, so the wait must end.
constexpr int LateAnswerBoundMs = 1000;
// Bytes of a bottle record that the station keeps as written; the rest is the station's own text.
constexpr int WrittenRecordBytes = 27;
constexpr quint16 VersionEndAddress = 40;
constexpr char stationLink[] = "/dev/quarmel-station";

// The station builds its date text like a C compiler does, so a day below 10 may come padded with a
// blank ("May  7 2013") instead of a zero.
QDateTime parseFirmwareTime(const QString &date, const QString &time)
{
    const QLocale c = QLocale::c();
    QDateTime moment = c.toDateTime(date + QLatin1Char(' ') + time, QStringLiteral("MMM dd yyyy hh:mm:ss"));
    if (!moment.isValid()) {
        moment =
            c.toDateTime(date.simplified() + QLatin1Char(' ') + time, QStringLiteral("MMM d yyyy hh:mm:ss"));
    }
    return moment;
}

QString textField(const QByteArray &frame, int offset, int size)
{
    const char *p = frame.constData() + offset;
    int length = 0;
    while (length < size && p[length] != 0)
        ++length;
    return QString::fromLatin1(p, length);
}
} // namespace

Communication::Communication(QObject *parent) : QObject(parent)
{
    requestHeader = QByteArray("\x01\x80\x00\x00\x00\x00\x00\x00", HeaderSize);
    pollTimer.setObjectName(QStringLiteral("pollTimer"));
    readTimer.setObjectName(QStringLiteral("readTimer"));
    writeTimer.setObjectName(QStringLiteral("writeTimer"));
    pollTimer.setTimerType(Qt::PreciseTimer);
    readTimer.setSingleShot(true);
    writeTimer.setSingleShot(true);
    guardTimer.setObjectName(QStringLiteral("guardTimer"));
    guardTimer.setSingleShot(true);
    connect(&guardTimer, &QTimer::timeout, this, &Communication::guardEnded);
    connect(&pollTimer, &QTimer::timeout, this, &Communication::checkDataAvaliable);
    connect(&readTimer, &QTimer::timeout, this, &Communication::readTimeout);
    connect(&writeTimer, &QTimer::timeout, this, &Communication::writeTimeout);
}

Communication::~Communication()
{
    closePort();
}

void Communication::readDatabase(QList<Bottle> *bottles)
{
    targetBottles = bottles;
    if (targetBottles)
        targetBottles->clear();
    start(ReadingDatabase, DatabaseAddress, DatabaseLastAddress);
}

void Communication::writeDatabase(const QList<Bottle> *bottles)
{
    // More than the database area holds would run on into the stored inventories, and a row the station
    // cannot hold exactly would be stored as something else (an EAN stored as 0 ends the station's list).
    if (!bottles || bottles->size() > MaxBottles || !checkCatalogue(*bottles).isEmpty()) {
        if (bottles && bottles->size() <= MaxBottles)
            qCWarning(lcCommunication, "database not written: rows the station cannot hold");
        emit writeError();
        return;
    }
    // A copy: the catalogue may be edited while the write runs, and the station must get one whole list.
    sourceBottles = *bottles;
    const int n = bottles->size();
    const quint16 size = quint16(BottleRecordSize * n);
    quint16 end = quint16(size + 31 + (quint16(size + 32) % BlockSize));
    // A list ending on a block boundary would leave the station's old records after it; one more block
    // carries the all-zero record that ends the list.
    if (n > 0 && n % 4 == 0 && n < MaxBottles)
        end = quint16(end + BlockSize);
    writeBlocks = 1;
    for (int address = BlockSize; address < int(end) - 126; address += BlockSize)
        ++writeBlocks;
    start(WritingDatabase, DatabaseAddress, end);
}

void Communication::readInventory(int slot)
{
    inventory.clear();
    // Taken modulo 65536 like every station address; unsigned, so no slot number can overflow.
    const quint16 from = quint16(InventoryAddress + InventorySlotSize * quint32(slot));
    start(ReadingInventory, from, quint16(from + InventorySlotSize - 1));
}

void Communication::readLastInventoryNumber()
{
    start(ReadingInventoryNumber, InventoryNumberAddress, InventoryNumberAddress);
}

void Communication::readVersion()
{
    start(ReadingVersion, VersionAddress, VersionEndAddress);
}

void Communication::start(State newState, quint16 from, quint16 to)
{
    // A transfer still under way is abandoned without a signal; its answer timers must not count
    // against the new one.
    readTimer.stop();
    writeTimer.stop();
    guardTimer.stop();
    guarding = false;
    verifying = false;
    retryCount = 0;
    state = newState;
    currentAddress = from;
    endAddress = to;
    transferRunning = true;
    request(false, false);
}

void Communication::request(bool repeat, bool afterQuiet)
{
    repeated = repeat;
    quietBefore = afterQuiet;
    sendRequest();
}

void Communication::dropPendingInput()
{
    rxBuffer.clear();
    frameOpen = false;
    if (!port)
        return;
    port->readAll();
    port->clear(QSerialPort::Input);
}

void Communication::openPort()
{
    deniedPort.clear();
    busyPort.clear();
    portHolder.clear();
    staleLock.clear();
    QString name = qEnvironmentVariable("QUARMEL_PORT");
    // The link that the package's device rule makes for the station, whatever ttyUSB number it got.
    if (name.isEmpty() && QFileInfo::exists(QLatin1String(stationLink)))
        name = QLatin1String(stationLink);
    if (name.isEmpty())
        name = stationPortName(QSerialPortInfo::availablePorts());
    if (name.isEmpty())
        return;

    auto *candidate = new QSerialPort(name, this);
    candidate->setFlowControl(QSerialPort::NoFlowControl);
    candidate->setBaudRate(QSerialPort::Baud57600);
    candidate->setParity(QSerialPort::NoParity);
    candidate->setDataBits(QSerialPort::Data8);
    candidate->setStopBits(QSerialPort::OneStop);
    if (!candidate->open(QIODevice::ReadWrite)) {
        qCWarning(lcCommunication, "Error opening port");
        // Another program holding the port fails the same way as a device we may not read and write; only
        // the device's own rights tell the two apart.
        const QFileInfo device(name);
        const bool usable = device.isReadable() && device.isWritable();
        const bool refused = candidate->error() == QSerialPort::PermissionError;
        if (refused && !usable)
            deniedPort = name;
        // The lock of a program that has ended, once removed, no longer stands in the way.
        if (!refused || !usable || !findPortHolder(name) || !candidate->open(QIODevice::ReadWrite)) {
            delete candidate;
            return;
        }
        busyPort.clear();
    }
    // Pseudo-terminals and some bridges have no modem lines; the station does not need them to answer.
    candidate->setDataTerminalReady(true);
    candidate->setRequestToSend(true);
    // Whatever waits in the line's buffer before our first request (the late answer of an earlier session,
    // say) answers nothing; taken for the answer it would hand the wrong block to the transfer.
    candidate->clear(QSerialPort::Input);
    candidate->clearError();
    // The poll alone would add up to a millisecond to every exchange; reacting to arriving bytes keeps a
    // transfer at the pace of the line.
    connect(candidate, &QSerialPort::readyRead, this, &Communication::checkDataAvaliable);
    port = candidate;
}

QString Communication::stationPortName(const QList<QSerialPortInfo> &ports)
{
    QList<PortFacts> facts;
    for (const QSerialPortInfo &info : ports) {
        PortFacts port;
        port.location = info.systemLocation();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            port.vendor = info.vendorIdentifier();
            port.product = info.productIdentifier();
        }
        port.text = info.description() + QLatin1Char(' ') + info.manufacturer();
        facts.append(port);
    }
    return stationPortName(facts);
}

QString Communication::stationPortName(const QList<PortFacts> &ports)
{
    // Many adapters share the station's bridge id; a port that says more about itself (its product text)
    // and names the station wins over one that only has the id. A port with nothing but "USB" in its name
    // may be any device, and requests sent there reach whatever it is.
    QString byId;
    QString byText;
    for (const PortFacts &port : ports) {
        if (port.vendor != 0x0403 || port.product != 0x6015)
            continue;
        if (port.text.contains(QLatin1String("Quarmel"), Qt::CaseInsensitive)) {
            if (byText.isEmpty())
                byText = port.location;
        } else if (byId.isEmpty()) {
            byId = port.location;
        }
    }
    return byText.isEmpty() ? byId : byText;
}

bool Communication::findPortHolder(const QString &device)
{
    busyPort = device;
    const QString deviceName = QFileInfo(QFileInfo(device).canonicalFilePath()).fileName();
    const QString systemName = QFileInfo(device).fileName();
    // Qt's serial port locks the device with a lock file "LCK..name" in the first usable lock folder; a
    // pseudo-terminal /dev/pts/N is locked as "LCK..pts_N".
    QStringList names{QStringLiteral("LCK..") + deviceName, QStringLiteral("LCK..") + systemName};
    if (device.startsWith(QLatin1String("/dev/")))
        names.append(QStringLiteral("LCK..") + device.mid(5).replace(QLatin1Char('/'), QLatin1Char('_')));
    const QStringList folders{QStringLiteral("/var/lock"), QStringLiteral("/run/lock"),
                              QStringLiteral("/tmp"), QStringLiteral("/var/tmp")};
    for (const QString &folder : folders) {
        for (const QString &name : qAsConst(names)) {
            const QString path = folder + QLatin1Char('/') + name;
            QFile lock(path);
            if (!lock.open(QIODevice::ReadOnly))
                continue;
            // The lock file's first line is the holder's process id, then the program's name.
            const QList<QByteArray> lines = lock.read(4096).split('\n');
            bool ok = false;
            const qint64 pid = QString::fromLatin1(lines.value(0).trimmed()).toLongLong(&ok);
            if (!ok || pid <= 0)
                continue;
            QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
            if (comm.open(QIODevice::ReadOnly)) {
                const QString program = QString::fromLocal8Bit(comm.readAll().trimmed());
                portHolder =
                    QCoreApplication::translate("Communication", "%1, process %2").arg(program).arg(pid);
                return false;
            }
            const bool procShown = QFileInfo::exists(QStringLiteral("/proc/self"));
            if (procShown && !QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid))) {
                // Left by a program that has ended. Qt takes such a lock over by itself when it may remove
                // it and the lock names this host; one written under another host name is removed here, and
                // one this user may not remove (the lock folder is sticky) is named for the message.
                if (QFile::remove(path)) {
                    qCWarning(lcCommunication) << "removed the lock file of an ended process" << path;
                    return true;
                }
                staleLock = path;
                return false;
            }
        }
    }
    return false;
}

void Communication::closePort()
{
    if (!port)
        return;
    port->close();
    delete port;
    port = nullptr;
}

void Communication::sendRequest()
{
    if (!transferRunning)
        return;
    if (!port) {
        openPort();
        // A port just opened may carry the answers of someone else's requests (a run before this one that
        // gave up on a late station): the first request waits for a quiet line.
        if (port) {
            startGuard(FirstRequest);
            return;
        }
    }
    if (!port) {
        const State failed = state;
        abandon();
        emit portNotOpened(failed);
        return;
    }
    switch (state) {
    case ReadingDatabase:
    case ReadingInventory:
    case ReadingInventoryNumber:
        sendReadRequest(currentAddress, BlockSize);
        break;
    case WritingDatabase:
        if (verifying)
            sendReadRequest(currentAddress, BlockSize);
        else
            sendWriteRequest(currentAddress, BlockSize);
        break;
    case ReadingVersion:
        sendVersionRequest(currentAddress, BlockSize);
        break;
    case Idle:
        return;
    }
    pollTimer.start(PollIntervalMs);
}

void Communication::sendFrame(const QByteArray &payload)
{
    QByteArray body;
    body.reserve(HeaderSize + payload.size());
    body.append(requestHeader).append(payload);
    txBuffer = buildFrame(body);
    // The station answers only what it has received, so nothing that is on the line before this request
    // (a doubled or late answer, noise) can be its answer.
    dropPendingInput();
    ++requestsSent;
    ++answersDue;
    port->write(txBuffer);
}

void Communication::setRequestHeader(quint8 command, quint16 address, quint8 length)
{
    requestHeader = StationProtocol::requestHeader(char(command), address);
    requestHeader[7] = char(length);
}

void Communication::sendReadRequest(quint16 address, quint8 length)
{
    setRequestHeader(ReadBlockCommand, address, length);
    sendFrame(QByteArray());
    readTimer.start(AnswerTimeoutMs);
}

void Communication::sendWriteRequest(quint16 address, quint8 length)
{
    setRequestHeader(WriteBlockCommand, address, length);
    sendFrame(writeBlock(address));
    writeTimer.start(AnswerTimeoutMs);
}

QByteArray Communication::writeBlock(quint16 address) const
{
    QByteArray payload;
    payload.reserve(BlockSize);
    const int first = address / BottleRecordSize;
    for (int index = first; index < first + BlockSize / BottleRecordSize; ++index) {
        if (index < sourceBottles.size())
            payload.append(encodeBottle(sourceBottles.at(index)));
        else
            payload.append(QByteArray(BottleRecordSize, 0));
    }
    return payload;
}

void Communication::sendVersionRequest(quint16 address, quint8 length)
{
    setRequestHeader(ReadVersionCommand, address, length);
    sendFrame(QByteArray());
    readTimer.start(AnswerTimeoutMs);
}

void Communication::checkDataAvaliable()
{
    if (port && port->bytesAvailable() > 0)
        onDataAvailable();
}

void Communication::onDataAvailable()
{
    if (!port)
        return;
    const QByteArray data = port->read(port->bytesAvailable());
    if (guarding) {
        // Whatever comes while the line is to go quiet answers nothing; the line is quiet from now on.
        answersDue = qMax(0, answersDue - int(data.count(FrameEnd)));
        rxBuffer.clear();
        frameOpen = false;
        if (guardClock.elapsed() < MaxGuardMs)
            guardTimer.start(GuardMs);
        return;
    }
    for (const char byte : data) {
        if (byte == FrameStart) {
            rxBuffer.clear();
            frameOpen = true;
        } else if (byte != FrameEnd) {
            // Bytes outside a frame are noise, and a frame can only grow so long: a device that never
            // delimits its output must not grow the buffer for as long as the program runs.
            if (frameOpen && rxBuffer.size() < MaxRawFrameSize) {
                rxBuffer.append(byte);
            } else {
                rxBuffer.clear();
                frameOpen = false;
            }
        } else if (!frameOpen) {
            // An end byte that follows no start byte is line noise; taking it for a frame would deliver
            // the last answer twice or count a failure that did not happen.
            rxBuffer.clear();
        } else {
            frameOpen = false;
            answersDue = qMax(0, answersDue - 1);
            const quint32 sentBefore = requestsSent;
            if (transferRunning)
                frameCompleted();
            rxBuffer.clear();
            // Bytes read before a request was sent cannot answer it, and bytes that came with the last
            // answer of a transfer answer nothing; the next transfer drops what is still on the line.
            if (guarding)
                return;
            if (requestsSent != sentBefore || !transferRunning)
                return;
        }
    }
}

void Communication::frameCompleted()
{
    // A broken frame is no answer, not even a failed one: the answer may still come, and only the answer
    // timer decides that it will not.
    if (rxBuffer.size() < MinRawFrameSize) {
        qCDebug(lcCommunication, "broken message");
        return;
    }
    QByteArray frame;
    int brokenEscapes = 0;
    const FrameOutcome outcome = checkFrame(rxBuffer, &frame, &brokenEscapes);
    for (int i = 0; i < brokenEscapes; ++i)
        qCWarning(lcCommunication, "broken message ?");
    if (outcome != FrameOutcome::Good) {
        qCWarning(lcCommunication, "CRC error");
        return;
    }

    // The station may send one answer twice; the copy would be taken for the answer to the next request.
    // Two equal blocks can exist, so an equal answer is believed when it answers a request that was sent
    // on a quiet line.
    if (readsData() && !quietBefore && frame == lastAnswer) {
        qCWarning(lcCommunication, "answer equal to the previous one, asking again");
        exchangeFailed(true);
        return;
    }
    if (!usable(frame)) {
        exchangeFailed(true);
        return;
    }
    readTimer.stop();
    writeTimer.stop();
    lastAnswer = frame;
    switch (state) {
    case ReadingDatabase:
    case WritingDatabase:
    case ReadingInventoryNumber:
        if (!processRawData(frame))
            return;
        break;
    case ReadingInventory:
        processRawDataInventory(frame);
        break;
    case ReadingVersion:
        processVersion(frame);
        break;
    case Idle:
        break;
    }
    retryCount = 0;
    // A repeated request may be answered twice (the late answer and the repeat's); the second must not be
    // taken for the next request, nor for the first request of the next transfer.
    if (repeated)
        startGuard(NextStep);
    else
        proceed();
}

bool Communication::readsData() const
{
    return state != WritingDatabase || verifying;
}

bool Communication::usable(const QByteArray &frame) const
{
    switch (state) {
    case ReadingDatabase:
    case ReadingInventory:
        break;
    case WritingDatabase:
        if (!verifying)
            return true;
        break;
    case ReadingInventoryNumber:
        if (frame.size() < HeaderSize + 1) {
            qCWarning(lcCommunication, "ReadInventoryNumber: broken packet, no data");
            return false;
        }
        return true;
    case ReadingVersion:
        return frame.size() > 31;
    case Idle:
        return true;
    }
    // A block answer that lacks records would silently shorten the list.
    if (frame.size() < HeaderSize + BlockSize) {
        qCWarning(lcCommunication, "block answer of %d bytes, asking again", int(frame.size()));
        return false;
    }
    return true;
}

void Communication::proceed()
{
    if (moreBlocks()) {
        request(false, false);
        return;
    }
    if (state == WritingDatabase && !verifying) {
        // Only what the station gives back proves what it holds.
        verifying = true;
        currentAddress = DatabaseAddress;
        request(false, false);
        return;
    }
    finish();
}

bool Communication::moreBlocks() const
{
    return int(currentAddress) < int(endAddress) - 126;
}

void Communication::exchangeFailed(bool waitForQuiet)
{
    if (!transferRunning)
        return;
    readTimer.stop();
    writeTimer.stop();
    dropPendingInput();
    // Every failed exchange counts, so a line that keeps corrupting answers ends like a silent one
    // instead of looping; a single-block transfer repeats rather than finishing on a value it never got.
    if (++retryCount > MaxRetries) {
        abandon();
        emit timeout();
        return;
    }
    if (waitForQuiet)
        startGuard(RepeatRequest);
    else
        request(true, false);
}

void Communication::startGuard(AfterGuard then)
{
    readTimer.stop();
    writeTimer.stop();
    guarding = true;
    afterGuard = then;
    guardClock.start();
    rxBuffer.clear();
    frameOpen = false;
    pollTimer.start(PollIntervalMs);
    guardTimer.start(GuardMs);
}

void Communication::guardEnded()
{
    if (!guarding)
        return;
    if (answersDue > 0 && guardClock.elapsed() < LateAnswerBoundMs) {
        guardTimer.start(GuardMs);
        return;
    }
    // Answers still owed after the bound were lost; later waits need not wait for them again.
    answersDue = 0;
    guarding = false;
    if (!transferRunning)
        return;
    switch (afterGuard) {
    case RepeatRequest:
        request(true, true);
        break;
    case NextStep:
        proceed();
        break;
    case FirstRequest:
        request(repeated, true);
        break;
    }
}

void Communication::abandon()
{
    // The port is free for other programs between transfers.
    closePort();
    state = Idle;
    transferRunning = false;
    guarding = false;
    verifying = false;
    guardTimer.stop();
    pollTimer.stop();
    readTimer.stop();
    writeTimer.stop();
}

void Communication::finish()
{
    qCDebug(lcCommunication, "finished");
    transferRunning = false;
    pollTimer.stop();
    switch (state) {
    case ReadingDatabase:
        emit databaseReadFinished();
        break;
    case WritingDatabase:
        emit databaseWriteFinished();
        break;
    case ReadingInventory:
        emit inventoryReadFinished();
        break;
    case ReadingInventoryNumber:
        emit lastInventoryNumber(lastInventory - 1);
        break;
    case ReadingVersion:
        emit versionReadFinished();
        break;
    case Idle:
        break;
    }
    // A transfer started from the signal (the next step of a chain) keeps the port; otherwise it is free
    // for other programs and users until the next transfer.
    if (!transferRunning)
        closePort();
}

void Communication::readTimeout()
{
    qCWarning(lcCommunication, "read timeout ERROR");
    closePort();
    openPort();
    exchangeFailed(false);
}

void Communication::writeTimeout()
{
    qCWarning(lcCommunication, "write timeout ERROR");
    closePort();
    openPort();
    exchangeFailed(false);
}

bool Communication::processRawData(const QByteArray &frame)
{
    switch (state) {
    case ReadingDatabase:
        for (int offset = HeaderSize;
             offset + BottleRecordSize <= frame.size() && offset < HeaderSize + BlockSize;
             offset += BottleRecordSize) {
            Bottle bottle;
            if (!decodeBottle(frame.constData() + offset, &bottle)) {
                qCDebug(lcCommunication, "no more database items");
                currentAddress = endAddress;
                return true;
            }
            if (targetBottles)
                targetBottles->append(bottle);
            emit databaseRead((currentAddress + BlockSize) * 100 / (DatabaseLastAddress + 1));
        }
        currentAddress = quint16(currentAddress + BlockSize);
        return true;
    case WritingDatabase: {
        // Writing is the first half of the work, reading back the second.
        const int done = currentAddress / BlockSize + 1 + (verifying ? writeBlocks : 0);
        const int percent = qMin(100, done * 100 / (2 * writeBlocks));
        if (verifying) {
            if (!verifyBlock(frame))
                return false;
        } else {
            qCDebug(lcCommunication, "write OK, %d %%", percent);
        }
        emit databaseWriten(percent);
        currentAddress = quint16(currentAddress + BlockSize);
        return true;
    }
    case ReadingInventoryNumber:
        lastInventory = qint8(frame.at(HeaderSize));
        currentAddress = quint16(currentAddress + BlockSize);
        return true;
    default:
        return true;
    }
}

bool Communication::verifyBlock(const QByteArray &frame)
{
    const QByteArray sent = writeBlock(currentAddress);
    const int count = sourceBottles.size();
    for (int i = 0; i < BlockSize / BottleRecordSize; ++i) {
        const int index = currentAddress / BottleRecordSize + i;
        const int offset = BottleRecordSize * i;
        // Records past the end of the list were written as zeros; only the first of them matters, as the
        // end of the station's list.
        const int compared = index < count ? WrittenRecordBytes : index == count ? 4 : 0;
        if (frame.mid(HeaderSize + offset, compared) != sent.mid(offset, compared)) {
            qCWarning(lcCommunication, "write verify ERROR, record %d differs", index);
            abandon();
            emit writeError();
            return false;
        }
    }
    return true;
}

bool Communication::processRawDataInventory(const QByteArray &frame)
{
    const quint16 start = quint16(endAddress - (InventorySlotSize - 1));
    // A longer answer than one block would repeat records of the next block; they are read with it.
    const int end = qMin(frame.size(), HeaderSize + BlockSize);
    for (int offset = HeaderSize; offset + InventoryRecordSize <= end; offset += InventoryRecordSize) {
        InventoryBottle bottle;
        if (!decodeInventoryRecord(frame.constData() + offset, &bottle)) {
            qCDebug(lcCommunication, "no more inventory items");
            currentAddress = endAddress;
            return true;
        }
        qCDebug(lcCommunication, "bottle address: %d, EAN: %s, weight: %d", int(currentAddress),
                qPrintable(bottle.ean), int(bottle.weight));
        inventory.append(bottle);
        emit inventoryRead((quint16(currentAddress - start) * 100 + BlockSize * 100) / InventorySlotSize);
    }
    currentAddress = quint16(currentAddress + BlockSize);
    return true;
}

bool Communication::processVersion(const QByteArray &frame)
{
    if (currentAddress != VersionAddress)
        return true;
    if (frame.size() <= 31)
        return false;
    const QDateTime moment = parseFirmwareTime(textField(frame, 8, 11), textField(frame, 24, 8));
    firmwareVersion = moment.isValid() ? quint64(quint32(moment.toSecsSinceEpoch())) : quint64(4294967295u);
    return true;
}
