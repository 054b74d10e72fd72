#pragma once

#include "settings.h"

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
    bool damaged = false;    // not a table file, or unreadable; listed so that it is seen, never summed
    bool unreadable = false; // the file is there but cannot be read (its permissions, a folder)
    QString problem;         // why it is damaged: the system's reason for a file that cannot be read
    quint32 counter = 0;
    int currency = -1;      // Settings::Currency; -1 for a table saved before the currency was kept
    // The currency the count is shown and summed in: that of the interface for a table that kept none, as the
    // sales page opens it, so that its amounts join the same currency's total rather than one of their own.
    int shownCurrency() const { return currency < 0 ? Settings::currency() : currency; }
    bool opening = false;   // the first count of a bar: it sets the stock and is no sales period
    quint32 replaces = 0;   // the number of the table this one corrects
    quint32 replacedBy = 0; // the number of a later table that corrects this one: listed, never summed
    bool replaced() const { return replacedBy != 0; }
    QDateTime from;
    QDateTime to;
    double alcohol = 0; // alcohol sales, as saved
    double items = 0;   // appended item sales, as saved
    QHash<QString, qint64> sold;    // ml per EAN
    QHash<QString, QString> names;  // per EAN
    // The till's view of the period: what the sales came to against what the till took. Only a count saved
    // with till figures has one; for any other the variance is unknown, which is not the same as none.
    struct Variance
    {
        double money = 0; // expected - till, in the count's currency
        double units = 0; // in sell units (portions of a bottle, pieces of an item); positive: more left
                          // the shelf than was rung up
    };
    bool hasTill = false;
    Variance till;                      // of the whole count: money of every line, units of every matched row
    QHash<QString, Variance> tillByEan; // per matched bottle

    double total() const { return alcohol + items; }
    // Whether its sales belong in totals and charts: a readable sales period that no later table corrects.
    bool counted() const { return !damaged && !opening && !replaced(); }
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

// The file of the user's corrections of the till matching in `dataFolder` (see TillMatches).
QString tillMatchesPath(const QString &dataFolder);

// Reads a table document; false when it is not one (then `count` says only its path, as damaged). Its till
// variance is found with the matching a till export gets without any kept correction.
bool read(const QByteArray &document, Count *count);

// Keeps a copy of a saved table document in the history of `dataFolder`. Nothing there is ever replaced:
// a name that is taken gets a further number, and a copy already kept with the same bytes is not kept twice.
// `keptPath` (optional) names the file written, empty when none was.
bool keep(const QString &dataFolder, const QByteArray &document, QString *reason = nullptr,
          QString *keptPath = nullptr);

// The highest table number in the history of `dataFolder`, read from the names alone; 0 for none.
quint32 highestNumber(const QString &dataFolder);
// The history copy of table `counter`, or empty when there is none.
QString copyOf(const QString &dataFolder, quint32 counter);

// Every count in the history of `dataFolder`, in count order; damaged files are listed as damaged. The till
// variance of each count compares the till figures it saved with the matches kept in `dataFolder` now, as
// the sales page does when the count is opened.
QList<Count> list(const QString &dataFolder);

// Takes the table files ("*.inv") of `sourceFolder` into the history; files that are not table files are
// skipped and named in the result. `reason` says why a copy could not be written (the import stops there).
Imported importFolder(const QString &dataFolder, const QString &sourceFolder, QString *reason = nullptr);

// The list of the counts whose sales are counted (see Count::counted) as CSV: table number, period from and
// to, alcohol sales, other items, total, currency, till variance in money and in sell units; money with two
// decimals, the variance empty for a count saved without till figures.
QByteArray csv(const QList<Count> &counts);

// A period bound as the history shows it.
QString shownTime(const QDateTime &time);

// Every EAN sold in any of the counts with its latest name, sorted by name.
QList<QPair<QString, QString>> bottles(const QList<Count> &counts);

} // namespace History
