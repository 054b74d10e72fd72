#include "communication.h"

#include "stationprotocol.h"

#include "bottle.h"

#include <QDateTime>
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
    // More than the database area holds would run on into the stored inventories.
    if (!bottles || bottles->size() > MaxBottles) {
        emit writeError();
        return;
    }
    sourceBottles = bottles;
    const int n = bottles->size();
    const quint16 size = quint16(BottleRecordSize * n);
    quint16 end = quint16(size + 31 + (quint16(size + 32) % BlockSize));
    // A list ending on a block boundary would leave the station's old records after it; one more block
    // carries the all-zero record that ends the list.
    if (n > 0 && n % 4 == 0 && n < MaxBottles)
        end = quint16(end + BlockSize);
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
    retryCount = 0;
    state = newState;
    currentAddress = from;
    endAddress = to;
    transferRunning = true;
    sendRequest();
}

void Communication::openPort()
{
    deniedPort.clear();
    QString name = qEnvironmentVariable("QUARMEL_PORT");
    // The link that the package's device rule makes for the station, whatever ttyUSB number it got.
    if (name.isEmpty() && QFileInfo::exists(QLatin1String(stationLink)))
        name = QLatin1String(stationLink);
    if (name.isEmpty()) {
        const auto ports = QSerialPortInfo::availablePorts();
        for (const QSerialPortInfo &info : ports) {
            const bool ftdi = info.hasVendorIdentifier() && info.vendorIdentifier() == 0x0403 &&
                              info.hasProductIdentifier() && info.productIdentifier() == 0x6015;
            if (ftdi || info.portName().contains(QLatin1String("USB")))
                name = info.systemLocation();
        }
    }
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
        // Another program holding the port is reported the same way; only a device we may not read and
        // write is a matter of access rights.
        const QFileInfo device(name);
        const bool usable = device.isReadable() && device.isWritable();
        if (candidate->error() == QSerialPort::PermissionError && !usable)
            deniedPort = name;
        delete candidate;
        return;
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
    if (!port)
        openPort();
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

void Communication::escapeData(const char *data, quint8 count)
{
    appendEscaped(txBuffer, data, count);
}

void Communication::sendFrame(const QByteArray &payload)
{
    txBuffer.clear();
    crc = 0xFFFF;
    for (const char byte : requestHeader)
        crc = crcStep(crc, quint8(byte));
    for (const char byte : payload)
        crc = crcStep(crc, quint8(byte));
    txBuffer.append(FrameStart);
    escapeData(requestHeader.constData(), HeaderSize);
    escapeData(payload.constData(), quint8(payload.size()));
    crc = quint16(~crc);
    const char checksumBytes[2] = {char(crc >> 8), char(crc & 0xFF)};
    escapeData(checksumBytes, 2);
    txBuffer.append(FrameEnd);
    port->write(txBuffer);
}

void Communication::setRequestHeader(quint8 command, quint16 address, quint8 length)
{
    requestHeader[2] = char(command);
    requestHeader[5] = char(address >> 8);
    requestHeader[6] = char(address & 0xFF);
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
    QByteArray payload;
    payload.reserve(BlockSize);
    const int first = address / BottleRecordSize;
    for (int index = first; index < first + BlockSize / BottleRecordSize; ++index) {
        if (sourceBottles && index < sourceBottles->size())
            payload.append(encodeBottle(sourceBottles->at(index)));
        else
            payload.append(QByteArray(BottleRecordSize, 0));
    }
    sendFrame(payload);
    writeTimer.start(AnswerTimeoutMs);
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
            if (transferRunning)
                frameCompleted();
            rxBuffer.clear();
        }
    }
}

void Communication::frameCompleted()
{
    if (rxBuffer.size() < MinRawFrameSize) {
        qCDebug(lcCommunication, "broken message");
        exchangeFailed();
        return;
    }
    QByteArray frame;
    filterData(rxBuffer, frame);
    const int dataSize = frame.size() - 2;
    crc = dataSize >= 0 ? checksum(frame.constData(), dataSize) : 0;
    if (dataSize < 0 || crc != quint16(quint8(frame.at(dataSize)) << 8 | quint8(frame.at(dataSize + 1)))) {
        qCWarning(lcCommunication, "CRC error");
        pollTimer.stop();
        exchangeFailed();
        return;
    }
    frame.chop(2);

    pollTimer.stop();
    readTimer.stop();
    writeTimer.stop();
    bool used = true;
    switch (state) {
    case ReadingDatabase:
    case WritingDatabase:
    case ReadingInventoryNumber:
        used = processRawData(frame);
        break;
    case ReadingInventory:
        used = processRawDataInventory(frame);
        break;
    case ReadingVersion:
        used = processVersion(frame);
        break;
    case Idle:
        break;
    }
    if (!used) {
        exchangeFailed();
        return;
    }
    retryCount = 0;
    if (moreBlocks())
        sendRequest();
    else
        finish();
}

void Communication::filterData(const QByteArray &input, QByteArray &output)
{
    const int broken = unstuff(input, output);
    for (int i = 0; i < broken; ++i)
        qCWarning(lcCommunication, "broken message ?");
}

bool Communication::moreBlocks() const
{
    return int(currentAddress) < int(endAddress) - 126;
}

void Communication::exchangeFailed()
{
    if (!transferRunning)
        return;
    // Every failed exchange counts, so a line that keeps corrupting answers ends like a silent one
    // instead of looping; a single-block transfer repeats rather than finishing on a value it never got.
    if (++retryCount > MaxRetries) {
        abandon();
        emit timeout();
        return;
    }
    sendRequest();
}

void Communication::abandon()
{
    state = Idle;
    transferRunning = false;
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
}

void Communication::readTimeout()
{
    qCWarning(lcCommunication, "read timeout ERROR");
    closePort();
    openPort();
    exchangeFailed();
}

void Communication::writeTimeout()
{
    qCWarning(lcCommunication, "write timeout ERROR");
    closePort();
    openPort();
    exchangeFailed();
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
        // An empty list is one block of a 64-byte transfer, which the formula would report as 200 %.
        const int percent = qMin(100, (currentAddress * 100 + BlockSize * 100) / (endAddress + 1));
        qCDebug(lcCommunication, "write OK, %d %%", percent);
        emit databaseWriten(percent);
        currentAddress = quint16(currentAddress + BlockSize);
        return true;
    }
    case ReadingInventoryNumber:
        if (frame.size() < HeaderSize + 1) {
            qCWarning(lcCommunication, "ReadInventoryNumber: broken packet, no data");
            return false;
        }
        lastInventory = qint8(frame.at(HeaderSize));
        currentAddress = quint16(currentAddress + BlockSize);
        return true;
    default:
        return true;
    }
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
