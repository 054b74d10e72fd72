#pragma once

#include "inventorybottle.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class QSerialPort;
class QSerialPortInfo;
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

    // What the system tells of one serial port, as far as choosing the station's port needs it.
    struct PortFacts
    {
        QString location;
        quint16 vendor = 0; // 0 when the port reports no USB ids
        quint16 product = 0;
        QString text;       // product description and manufacturer
    };

    // The station's port among `ports` when neither QUARMEL_PORT nor the station's device link names it:
    // a port of the station's USB bridge, one whose product text names the station first.
    static QString stationPortName(const QList<QSerialPortInfo> &ports);
    static QString stationPortName(const QList<PortFacts> &ports);

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
    void request(bool repeat, bool afterQuiet);
    void dropPendingInput();
    bool usable(const QByteArray &frame) const;
    bool readsData() const;
    void exchangeFailed(bool waitForQuiet);
    enum AfterGuard { RepeatRequest, NextStep, FirstRequest };
    void startGuard(AfterGuard then);
    // Names the holder of a busy port; true when it was the lock of an ended process, now removed.
    bool findPortHolder(const QString &device);
    void guardEnded();
    void proceed();
    void abandon();
    void finish();
    bool moreBlocks() const;
    QByteArray writeBlock(quint16 address) const;
    bool verifyBlock(const QByteArray &frame);

    QSerialPort *port = nullptr;
    int retryCount = 0;
    quint16 currentAddress = 0;
    quint16 endAddress = 0;
    // Children by name, so a test can see whether the poll still runs.
    QTimer pollTimer{this};
    QTimer readTimer{this};
    QTimer writeTimer{this};
    QByteArray rxBuffer;
    QByteArray txBuffer;
    QList<Bottle> *targetBottles = nullptr;
    // What the running database write sends: a copy taken when it started.
    QList<Bottle> sourceBottles;
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
    // The station's device when the last attempt to open it failed because another process holds it; then
    // `portHolder` names that process ("quarmelctl, process 4711") when its lock file tells, and `staleLock`
    // is the lock file of a process that has ended which this user may not remove. Empty otherwise.
    QString busyPort;
    QString portHolder;
    QString staleLock;

private:
    // True from the start of a transfer until it finishes or is abandoned; bytes that arrive outside a
    // transfer answer nothing and are thrown away.
    bool transferRunning = false;
    // A start byte has been seen since the last completed frame; an end byte without one completes nothing.
    bool frameOpen = false;

    // The station's answers carry nothing that ties them to a request, so the link makes sure by timing
    // alone that no answer is taken for another request: after any doubt it lets the line go quiet before
    // it asks again, and it never takes bytes that were on the line before a request for its answer.
    QTimer guardTimer{this};
    bool guarding = false;
    // What follows the quiet line: the same request again, the next one (or the end of the transfer), or the
    // first request on a port just opened.
    AfterGuard afterGuard = NextStep;
    QElapsedTimer guardClock;
    // Requests sent whose answer has not come (a late station still owes them): a quiet wait lasts until
    // they came, within a bound, so that no late answer is taken for a later request.
    int answersDue = 0;
    // The request now waiting for its answer was sent after a failed exchange.
    bool repeated = false;
    // ... and after the line had been quiet for a guard time.
    bool quietBefore = false;
    // The last answer taken, across transfers: a read answer equal to it may be a doubled answer.
    QByteArray lastAnswer;
    // Counts requests sent, so the bytes of a read that were received before a request are not taken for
    // its answer.
    quint32 requestsSent = 0;
    // A database write reads its blocks back and compares them before it reports success.
    bool verifying = false;
    int writeBlocks = 1;
};
