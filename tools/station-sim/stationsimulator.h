#pragma once

#include "bottle.h"
#include "inventorybottle.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class QRandomGenerator;
class QSocketNotifier;
class QTimer;
class PacedWriter;

// A weighing station behind a pseudo-terminal: answers the read block, write block and read version
// requests from a 64 KiB memory image, optionally at the pace of a 57600-baud line and with injected faults.
// Runs on the caller's event loop, so tests can drive it in-process next to the link.
class StationSimulator : public QObject
{
    Q_OBJECT

public:
    // Answers number `first` to `first + count - 1` (counted from 1 over all requests received);
    // first 0 means never, count below 0 means every answer from `first` on.
    struct FaultRange
    {
        int first = 0;
        int count = 1;
        bool hits(int answer) const;
    };

    enum class Fault { None, Drop, CorruptChecksum, BreakEscape, CutShort, ShortData, Noise, Doubled, Late };

    struct Faults
    {
        FaultRange drop;            // send nothing
        FaultRange corruptChecksum; // a wrong checksum
        FaultRange breakEscape;     // an escape byte followed by a byte no escape sequence allows
        FaultRange cutShort;        // a frame too short to hold header and checksum
        FaultRange shortData;       // a frame with a good checksum but only half of the answer's data
        FaultRange noise;           // a burst of line noise (start byte, a byte, end byte, junk) first
        FaultRange doubled;         // the same answer twice
        // Busy `lateMs` on the request before answering; requests that come meanwhile wait their turn
        // and are answered in order right after it, as a station on a serial line does.
        FaultRange late;
        int lateMs = 0;
        // With this probability (0 to 1) a request gets one fault of the kinds above, picked by a generator
        // seeded with `seed`. Random late answers come after `lateMs`, or 700 ms when that is 0.
        double randomRate = 0;
        quint32 seed = 1;
        bool byteByByte = false; // every byte in its own write, one per millisecond
        int silentAfter = 0;     // answer this many requests, then none (0: never silent)
        int vanishAfter = 0;     // after this many requests vanish (0: never)
    };

    static constexpr int MemorySize = 65536;
    // Where the image keeps the 128 bytes that the version request answers with: the build date text at
    // offset 0 ("Mmm dd yyyy", 11 bytes) and the build time at offset 16 ("hh:mm:ss").
    static constexpr int FirmwareAddress = 65408;
    static constexpr int InventorySlots = 3;
    static constexpr int InventoryCapacity = 500;

    explicit StationSimulator(QObject *parent = nullptr);
    ~StationSimulator() override;

    // Opens the pseudo-terminal. The link opens devicePath().
    bool open(QString *error = nullptr);
    bool isOpen() const;
    QString devicePath() const;
    // Ends the line for good, as a station pulled from its socket: no more answers, and the terminal can
    // no longer be opened.
    void vanish();

    // Fills the database area: records from address 0, the all-zero record after the last (at most 1500).
    void setCatalogue(const QList<Bottle> &bottles);
    QList<Bottle> catalogue() const;
    void setInventory(int slot, const QList<InventoryBottle> &bottles);
    QList<InventoryBottle> inventory(int slot) const;
    void setLastInventoryNumber(int number);
    int lastInventoryNumber() const;
    // "Mmm dd yyyy" and "hh:mm:ss", as the firmware's compiler writes them.
    void setFirmwareTime(const QString &date, const QString &time);

    QByteArray memory() const { return image; }
    void setMemory(int address, const QByteArray &bytes);
    bool saveImage(const QString &path, QString *error = nullptr) const;

    // Catalogue from a CSV import file or a catalogue document, told apart by what the file holds.
    static bool readCatalogueFile(const QString &path, QList<Bottle> *bottles, QString *error);
    // Weighings from a file of "ean;weight" lines; empty lines and lines starting with '#' are skipped.
    static bool readInventoryFile(const QString &path, QList<InventoryBottle> *bottles, QString *error);

    // Paces the answers as a 57600-baud line would carry them (8N1, ten bits a byte).
    void setPaced(bool paced);
    Faults faults;

    int requestCount() const { return requests; }
    // Faults put into answers so far, by kind (Fault::None counts the clean answers).
    int injected(Fault kind) const { return injectedCounts.value(int(kind)); }
    int injectedTotal() const;
    qint64 bytesReceived() const { return received; }
    qint64 bytesSent() const { return sent; }

signals:
    void requestReceived(int command, int address);
    void vanished();

private:
    void onReadable();
    void handleRequest(const QByteArray &body, int rawSize);
    void serveQueue();
    Fault faultFor(int answer);
    void answer(const QByteArray &body, int rawSize, Fault fault);
    static QByteArray answerFrame(const QByteArray &body, Fault fault);
    void deliver(const QByteArray &frame, int rawRequestSize);
    void writeOut(const QByteArray &bytes);
    void trickle();

    QByteArray image = QByteArray(MemorySize, 0);
    int master = -1;
    int slave = -1;
    int lockedMaster = -1;
    QString path;
    QSocketNotifier *notifier = nullptr;
    QTimer *trickleTimer = nullptr;
    QByteArray trickleQueue;
    std::unique_ptr<PacedWriter> pacer;
    bool pacedRequested = false;
    QByteArray rxBuffer;
    bool frameOpen = false;
    int requests = 0;
    struct Request
    {
        QByteArray body;
        int rawSize = 0;
        int number = 0;
    };
    QList<Request> queue;
    bool busy = false;
    std::unique_ptr<QRandomGenerator> random;
    QHash<int, int> injectedCounts;
    qint64 received = 0;
    qint64 sent = 0;
};
