#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>

// One kind of bottle in the catalogue.
struct Bottle
{
    // The station keeps volumes and weights in 16 bits, so no real bottle lies beyond these bounds, and
    // within them no residue, sum or station record can overflow. The catalogue never holds values outside.
    static constexpr quint64 maxQuantity = 65535;     // ml or g
    static constexpr qint32 maxCorrection = 65535;    // g, either sign


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
