#pragma once

#include <QByteArray>
#include <QStringList>

// Exit codes shared by every command of the companion.
enum ExitCode {
    ExitOk = 0,
    ExitFailure = 1,   // bad input file, failed write, ...
    ExitNoStation = 2,
    ExitTimeout = 3,
    ExitWriteRefused = 4,
    ExitUsage = 64,
};

// Each takes the arguments after its group word ("station", "catalogue", ...) and returns an exit code.
int runStationCommand(const QStringList &args);
int runCatalogueCommand(const QStringList &args);
int runInventoryCommand(const QString &command, const QStringList &args); // "overview" or "takings"
int runHistoryCommand(const QStringList &args);

// Usage lines of each group, printed by the dispatcher.
QString stationUsage();
QString catalogueUsage();
QString inventoryUsage();
QString historyUsage();

// The whole file; false with "path: reason" in `error` when it cannot be read.
bool readFile(const QString &path, QByteArray *bytes, QString *error);
