#pragma once

#include "inventorybottle.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class QSerialPort;
struct Bottle;

// The one connection to the weighing station: finds and opens its serial port, runs one transfer at a
// time as a chain of request/answer exchanges of 128-byte blocks, repeats failed exchanges and reports
// progress, results and failures through signals. Never shows anything itself.
class Communication : public QObject
{
    Q_OBJECT

public:
    enum State {
        Idle = 0,
        ReadingDatabase = 1,
        WritingDatabase = 2,
        ReadingInventory = 3,
        ReadingInventoryNumber = 4,
        ReadingVersion = 5,
    };
    Q_ENUM(State)

    explicit Communication(QObject *parent = nullptr);
    ~Communication() override;

    void readVersion();

public slots:
    void readDatabase(QList<Bottle> *bottles);
    void writeDatabase(const QList<Bottle> *bottles);
    void readInventory(int slot);
    void readLastInventoryNumber();
    void onDataAvailable();
    void sendRequest();
    void readTimeout();
    void writeTimeout();
    void checkDataAvaliable();

signals:
    void timeout();
    void databaseRead(int percent);
    void databaseWriten(int percent);
    void inventoryRead(int percent);
    void databaseReadFinished();
    void databaseWriteFinished();
    void inventoryReadFinished();
    void versionReadFinished();
    void lastInventoryNumber(int number);
    void portNotOpened(Communication::State state);
    void writeError();

private:
    void openPort();
    void closePort();
    void escapeData(const char *data, quint8 count);
    void filterData(const QByteArray &input, QByteArray &output);
    void sendFrame(const QByteArray &payload);
    void frameCompleted();
    void setRequestHeader(quint8 command, quint16 address, quint8 length);
    void sendReadRequest(quint16 address, quint8 length);
    void sendWriteRequest(quint16 address, quint8 length);
    void sendVersionRequest(quint16 address, quint8 length);
    bool processRawData(const QByteArray &frame);
    bool processRawDataInventory(const QByteArray &frame);
    bool processVersion(const QByteArray &frame);
    void start(State newState, quint16 from, quint16 to);
    void exchangeFailed();
    void abandon();
    void finish();
    bool moreBlocks() const;

    QSerialPort *port = nullptr;
    int retryCount = 0;
    quint16 currentAddress = 0;
    quint16 endAddress = 0;
    quint16 crc = 0xFFFF;
    // Children by name, so a test can see whether the poll still runs.
    QTimer pollTimer{this};
    QTimer readTimer{this};
    QTimer writeTimer{this};
    QByteArray rxBuffer;
    QByteArray txBuffer;
    QList<Bottle> *targetBottles = nullptr;
    const QList<Bottle> *sourceBottles = nullptr;
    int lastInventory = 0;
    QByteArray requestHeader;
    State state = Idle;

public:
    // Bottles of the last inventory read, in the station's order.
    QList<InventoryBottle> inventory;
    // Firmware build time in seconds since 1970-01-01 00:00 UTC; 4294967295 when the text was unreadable.
    quint64 firmwareVersion = 0;
    // The station's device when the last attempt to open it failed because this user may not use it (no
    // access rule, not in the device's group); empty otherwise. Lets the window say what to do about it.
    QString deniedPort;

private:
    // True from the start of a transfer until it finishes or is abandoned; bytes that arrive outside a
    // transfer answer nothing and are thrown away.
    bool transferRunning = false;
    // A start byte has been seen since the last completed frame; an end byte without one completes nothing.
    bool frameOpen = false;
};
