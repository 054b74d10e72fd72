#pragma once

#include <QList>
#include <QString>

struct InventoryBottle;

// The one reader of weighings given as files: an overview file written by the program, or "ean;weight"
// lines as the station simulator's samples hold them. Whatever the source, a weighing must be one the station
// could have sent, so a corrupt file is refused instead of turning into a plausible residue.
namespace WeighingsFile {

// The station reports whole grams in 16 bits.
inline constexpr quint64 maxWeight = 0xFFFF;

// An EAN the station can carry: one to fourteen decimal digits.
bool isStationEan(const QString &ean);

// Reads `path`, recognised by its content (an XML document or lines). False with `error` naming the file
// and, for lines, the line; `weighings` then holds nothing.
bool read(const QString &path, QList<InventoryBottle> *weighings, QString *error);

} // namespace WeighingsFile
