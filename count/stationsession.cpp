#include "stationsession.h"

#include <QCoreApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcStationSession, "stationsession")

StationSession::StationSession(Communication *link, QObject *parent) : QObject(parent), link(link)
{
    connect(link, &Communication::versionReadFinished, this, [this] {
        if (current != Step::Version)
            return;
        emit firmwareRead();
        current = Step::LastNumber;
        this->link->readLastInventoryNumber();
    });
    connect(link, &Communication::lastInventoryNumber, this, [this](int number) {
        if (current == Step::LastNumber)
            numberRead(number);
    });
    connect(link, &Communication::inventoryRead, this, [this](int percent) {
        if (current == Step::Inventory)
            emit progress(percent);
    });
    connect(link, &Communication::inventoryReadFinished, this, [this] {
        if (current == Step::Inventory)
            inventoryRead();
    });
    connect(link, &Communication::portNotOpened, this, [this](Communication::State state) {
        if (running())
            fail(portText(*this->link, state));
    });
    connect(link, &Communication::timeout, this, [this] {
        if (running())
            fail(timeoutText());
    });
}

quint64 StationSession::firmwareVersion() const
{
    return link->firmwareVersion;
}

void StationSession::readLast()
{
    three = false;
    single = false;
    current = Step::Version;
    link->readVersion();
}

void StationSession::readLastThree()
{
    three = true;
    single = false;
    current = Step::LastNumber;
    link->readLastInventoryNumber();
}

bool StationSession::readSlot(int slot)
{
    if (slot < 0 || slot > 2)
        return false;
    three = false;
    single = true;
    reading = slot;
    current = Step::Inventory;
    emit slotStarted(slot);
    link->readInventory(slot);
    return true;
}

void StationSession::numberRead(int number)
{
    // Only slots 0 to 2 hold inventories; a station that has never taken one reports -1. Reading another
    // number would take the catalogue area for weighings or index past the three lists.
    if (number < 0 || number > 2) {
        qCWarning(lcStationSession) << "No stored inventory, last inventory number" << number;
        fail(noInventoryText(number));
        return;
    }
    newest = number;
    reading = three ? 0 : number;
    current = Step::Inventory;
    emit slotStarted(reading);
    link->readInventory(reading);
}

void StationSession::inventoryRead()
{
    weighings[reading] = link->inventory;
    if (three && reading < 2) {
        ++reading;
        emit slotStarted(reading);
        link->readInventory(reading);
        return;
    }
    current = Step::Idle;
    if (three)
        emit threeRead();
    else if (single)
        emit slotRead(reading);
    else
        emit lastRead(reading);
}

void StationSession::fail(const QString &message)
{
    current = Step::Idle;
    emit failed(message);
}

QString StationSession::notConnectedText(Communication::State state)
{
    switch (state) {
    case Communication::ReadingDatabase:
        return tr("Quarmel must be connected to download database.");
    case Communication::WritingDatabase:
        return tr("Quarmel must be connected to write database.");
    case Communication::ReadingInventory:
    case Communication::ReadingInventoryNumber:
    case Communication::ReadingVersion:
        return tr("Quarmel must be connected to download inventory.");
    case Communication::Idle:
        break;
    }
    return QString();
}

QString StationSession::timeoutText()
{
    return tr("Timeout Error, Quarmel not connected?");
}

QString StationSession::noInventoryText(int number)
{
    return tr("Quarmel holds no stored inventory yet (it reports number %1). Take an inventory on Quarmel "
              "first.")
        .arg(number);
}

QString StationSession::portText(const Communication &link, Communication::State state)
{
    if (!link.deniedPort.isEmpty()) {
        return tr("The station is connected at %1, but this user may not open it. Unplug the station and "
                  "plug it in again, so that the device rule installed with Quarmel Inventory gives you "
                  "access. If that does not help, ask the administrator to add you to the group "
                  "\"dialout\", then log out and in again.")
            .arg(link.deniedPort);
    }
    if (!link.busyPort.isEmpty() && !link.staleLock.isEmpty()) {
        return tr("The station at %1 is locked by a program that has ended, and this user may not remove "
                  "its lock file %2. Unplug the station and plug it in again, or ask the administrator to "
                  "delete the file.")
            .arg(link.busyPort, link.staleLock);
    }
    if (!link.busyPort.isEmpty() && !link.portHolder.isEmpty()) {
        return tr("The station at %1 is in use by another program (%2). Wait until it is done, or close "
                  "it, and try again.")
            .arg(link.busyPort, link.portHolder);
    }
    if (!link.busyPort.isEmpty()) {
        return tr("The station at %1 is in use by another program. Wait until it is done, or close it, and "
                  "try again.")
            .arg(link.busyPort);
    }
    return notConnectedText(state);
}
