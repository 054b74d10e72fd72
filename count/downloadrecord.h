#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

struct InventoryBottle;

// When each count was first downloaded on this computer. The station's inventory records hold only EANs and
// weights, so the time a count was taken cannot be read from it; a count the program has seen before is
// known by a fingerprint of its weighings, and the time of that first download is the nearest true time
// there is. Two counts with exactly the same weighings in the same order are taken for one. The record also
// keeps the table number a count was saved as.
namespace DownloadRecord {

// Name of the record in the local data folder.
inline constexpr char fileName[] = "downloads.txt";
// Counts remembered; the oldest are forgotten first.
inline constexpr int kept = 50;

// Looks `inventory` up and, when it is new, records it as downloaded at `now`. Returns the earlier first
// download, or an invalid time when there was none (the count is new to this computer, or empty: an empty
// slot is no count and is never recorded). False in `written` (optional) when the record could not be
// written; `reason` then says why.
QDateTime remember(const QString &path, const QList<InventoryBottle> &inventory, const QDateTime &now,
                   bool *written = nullptr, QString *reason = nullptr);

// The fingerprint a count is known by: its weighings in the station's order.
QString fingerprint(const QList<InventoryBottle> &inventory);

// The number of the table the count of `fingerprint` was last saved as, or 0 when it was never saved.
quint32 savedAs(const QString &path, const QString &fingerprint);

// Records that the count of `fingerprint` was saved as table `table`, so that counting it up again says so.
// False, with `reason`, when the record could not be written.
bool markSaved(const QString &path, const QString &fingerprint, quint32 table, const QDateTime &now,
               QString *reason = nullptr);

} // namespace DownloadRecord
