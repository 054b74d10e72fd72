#pragma once

#include <QByteArray>
#include <QStringList>

namespace Store {
struct BarCounts;
}

// Exit codes shared by every command of the companion.
enum ExitCode {
    ExitOk = 0,
    ExitFailure = 1,   // bad input file, failed write, ...
    ExitNoStation = 2,
    ExitTimeout = 3,
    ExitWriteRefused = 4,
    ExitUnreachable = 5, // the shared store could not be reached or went away
    ExitRefused = 6,     // the store refused the login or what it tried
    ExitConflict = 7,    // rows changed here and in the store differently; nothing of them was taken
    ExitUsage = 64,
    ExitBusy = 75, // the data folder is held by another program (sysexits' "temporary failure")
};

// Each takes the arguments after its group word ("station", "catalogue", ...) and returns an exit code.
int runStationCommand(const QStringList &args);
int runCatalogueCommand(const QStringList &args);
int runInventoryCommand(const QString &command, const QStringList &args); // "overview" or "takings"
int runHistoryCommand(const QStringList &args);
int runSyncCommand(const QStringList &args);
// The counts of every bar the store's login may read, as history --all-bars prints them.
int runChainHistory(const QString &dataFolder);

// Usage lines of each group, printed by the dispatcher.
QString stationUsage();
QString catalogueUsage();
QString inventoryUsage();
QString historyUsage();
QString syncUsage();

// Takes the lock of the data folder `folder` for the rest of the run; false, with the one-line reason on
// standard error, when another program holds it. A folder that cannot be locked at all (not writable) is
// left to the write itself to report.
bool holdDataFolder(const QString &command, const QString &folder);
// The same for the program's own data folder, when `path` (a file about to be written) lies in it.
bool holdDataFolderFor(const QString &command, const QString &path);

// The whole file; false with "path: reason" in `error` when it cannot be read.
bool readFile(const QString &path, QByteArray *bytes, QString *error);

// "Bar;Table;From;To;Alcohol Sales;Other Items Sales;Total" and a line per counted count of each bar.
QByteArray chainCsv(const QList<Store::BarCounts> &bars);
