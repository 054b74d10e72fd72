#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>

// One kind of bottle in the catalogue.
struct Bottle
{
    quint64 volume = 0;         // ml
    quint64 fullWeight = 0;     // g
    quint64 emptyWeight = 0;    // g
    quint64 contentWeight = 0;  // g; carried through files, never computed with
    qint32 weightCorrection = 0; // g of a pourer or dispenser; may be negative
    QDateTime modified = QDateTime::currentDateTime(); // when the full weight last changed
    QDateTime inserted = QDateTime::currentDateTime();
    QString ean;
    QString displayName;
    QString fullName;
    QString stationText;        // the station's own text; never stored in files
    bool useInInventory = false;
};

Q_DECLARE_METATYPE(Bottle)
