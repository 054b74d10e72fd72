#pragma once

#include "communication.h"
#include "inventorybottle.h"

#include <QList>
#include <QObject>
#include <QString>

// The station's download chains, the same for the window and quarmelctl: the last inventory (version, last
// number, that inventory) and the last three (last number, slots 0 to 2). Free of widgets; it says what went
// wrong in words ready to show and leaves showing them to its caller.
class StationSession : public QObject
{
    Q_OBJECT

public:
    enum class Step { Idle, Version, LastNumber, Inventory };
    Q_ENUM(Step)

    explicit StationSession(Communication *link, QObject *parent = nullptr);

    // Version, last number, that inventory; ends in `lastRead` or `failed`.
    void readLast();
    // Last number, then slots 0, 1 and 2; ends in `threeRead` or `failed`.
    void readLastThree();
    // One stored inventory, 0 to 2; ends in `slotRead` or `failed`. False, and nothing started, for another
    // slot: it would read the catalogue or the inventory number as weighings.
    bool readSlot(int slot);

    Step step() const { return current; }
    bool running() const { return current != Step::Idle; }
    // The slot of the newest inventory, as the last number said.
    int lastSlot() const { return newest; }
    // The weighings read: `weighings[s]` holds station slot s once read; `readLast` and `readSlot` fill the
    // one slot they read.
    QList<InventoryBottle> weighings[3];
    quint64 firmwareVersion() const;

    // The texts of the chain's failures, one place for the window and quarmelctl.
    static QString notConnectedText(Communication::State state);
    static QString timeoutText();
    static QString noInventoryText(int number);
    // Why `link` could not open the station's port, for `state`: busy, not allowed, or not connected.
    static QString portText(const Communication &link, Communication::State state);

signals:
    void progress(int percent);
    void firmwareRead();
    void slotStarted(int slot);
    void lastRead(int slot);
    void threeRead();
    void slotRead(int slot);
    void failed(const QString &message);

private:
    void numberRead(int number);
    void inventoryRead();
    void fail(const QString &message);

    Communication *link = nullptr;
    Step current = Step::Idle;
    bool three = false;
    bool single = false;
    int reading = -1;
    int newest = 0;
};
