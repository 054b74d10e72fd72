#pragma once

#include <QString>

class Database;

// The catalogue in the local data folder, as the program opens it at start-up.
namespace LocalCatalogue {

struct Opened
{
    enum Result { Loaded, Missing, Damaged };
    Result result = Missing;
    QString damage;   // where and why the document is damaged
    QString keptCopy; // the copy of a damaged file, empty when none could be made
};

// Loads `path` into `database`. A damaged file keeps the records before the fault and is copied aside first:
// the next save would otherwise replace it with only those records.
Opened open(Database &database, const QString &path);

} // namespace LocalCatalogue
