#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The counts of a bar over time: a copy of every saved table in the "history" folder of the local data
// folder, named so that the order of the names is the order of the counts.
namespace History {

// One saved table as the history lists it.
struct Count
{
    QString path;
    bool damaged = false; // not a table file; listed so that it is seen, never summed
    quint32 counter = 0;
    QDateTime from;
    QDateTime to;
    double alcohol = 0; // alcohol sales, as saved
    double items = 0;   // appended item sales, as saved
    QHash<QString, qint64> sold;    // ml per EAN
    QHash<QString, QString> names;  // per EAN

    double total() const { return alcohol + items; }
};

// What an import of a folder of table files did.
struct Imported
{
    QStringList added;   // file names taken into the history
    QStringList damaged; // file names skipped because they are not table files
};

QString folder(const QString &dataFolder);

// The history's name of the table that ends its period at `end` with number `counter`: the period end in
// UTC, then the number, both with fixed widths so that name order is count order.
QString fileName(const QDateTime &end, quint32 counter);

// Reads a table document; false when it is not one (then `count` says only its path, as damaged).
bool read(const QByteArray &document, Count *count);

// Keeps a copy of a saved table document in the history of `dataFolder`.
bool keep(const QString &dataFolder, const QByteArray &document, QString *reason = nullptr);

// Every count in the history of `dataFolder`, in count order; damaged files are listed as damaged.
QList<Count> list(const QString &dataFolder);

// Takes the table files ("*.inv") of `sourceFolder` into the history; files that are not table files are
// skipped and named in the result. `reason` says why a copy could not be written (the import stops there).
Imported importFolder(const QString &dataFolder, const QString &sourceFolder, QString *reason = nullptr);

// The list of the counts that are not damaged as CSV: table number, period from and to, alcohol sales, other
// items, total; money with two decimals.
QByteArray csv(const QList<Count> &counts);

// A period bound as the history shows it.
QString shownTime(const QDateTime &time);

// The sold quantity of `ean` in each count (0 where the count has no such row), in count order.
QList<qint64> soldPerCount(const QList<Count> &counts, const QString &ean);

// Every EAN sold in any of the counts with its latest name, sorted by name.
QList<QPair<QString, QString>> bottles(const QList<Count> &counts);

} // namespace History
