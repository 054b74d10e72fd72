#pragma once

#include <QObject>
#include <QString>

// The organisation and application name the user settings and the data folder are kept under.
inline constexpr char organisationName[] = "Quarmel";
inline constexpr char applicationName[] = "Quarmel";

// The files the program keeps in its local data folder.
namespace DataFile {
inline constexpr char catalogue[] = "database70.xml";
inline constexpr char lastTable[] = "lastInventory.inv";
inline constexpr char history[] = "history"; // a folder: a copy of every saved table
inline constexpr char tillMatches[] = "tillMatches.txt"; // the user's corrections of the till matching
// The last table number issued, and whether the save that took it is still under way.
inline constexpr char tableNumber[] = "tablenumber.txt";
// The shared store: which bar the folder belongs to and its machine id; the rows as they were at the last
// sync; the block of table numbers reserved for this folder ("FIRST LAST"), which saves number within.
inline constexpr char storeIdentity[] = "store.txt";
inline constexpr char storeState[] = "storestate.json";
inline constexpr char reservedNumbers[] = "reservednumbers.txt";
} // namespace DataFile

// Absolute path of `name` in the program's local data folder; creates the folder when it is missing.
QString localFilePath(const QString &name);

// Keys of the folders that the file flows remember between runs.
namespace RememberedFolder {
inline constexpr char inventoryPath[] = "inventoryPath";
inline constexpr char csvPath[] = "csvPath";
inline constexpr char csvOverviewPath[] = "csvOverviewPath";
inline constexpr char xmlOverviewPath[] = "xmlOverviewPath";
inline constexpr char tillPath[] = "tillPath"; // the till's sales exports
inline constexpr char printPath[] = "printPath"; // printouts made into files
} // namespace RememberedFolder

// The folder stored under `key` in the user's settings, or the documents folder while none is stored.
QString rememberedFolder(const QString &key);
void setRememberedFolder(const QString &key, const QString &folder);

// Grams a weighing may lie above the full bottle before it is pointed out as doubtful; kept in the user's
// settings, 15 g (the spread of repeated weighings of one bottle) while none is stored.
int fullWeightTolerance();
void setFullWeightTolerance(int grams);

// The currency prices and sales are shown in. It lasts only while the process runs: every start is CZK.
class Settings : public QObject
{
    Q_OBJECT

public:
    enum Currency { CZK = 0, EUR = 1 };

    using QObject::QObject;

    static int currency();
    static void setCurrency(int currency);
    // "CZK", "EUR", or empty for an unknown value.
    static QString currencyName();
    // The suffix of column headers that hold money: "\n[CZK]", "\n[EUR]", or empty.
    static QString currencyUnit();
    // The same for a given currency, such as the one an old count was saved in; a negative value stands for
    // the current choice.
    static QString currencyName(int currency);
    static QString currencyUnit(int currency);
    // "CZK" or "EUR" as table files keep it, untranslated; empty for an unknown value.
    static QString currencyCode(int currency);
    // The currency of a code as currencyCode gives it; -1 for anything else.
    static int currencyOfCode(const QString &code);
};
