#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QHash>
#include <QList>
#include <QString>

class Inventory;
class ItemInventory;

// One movement of the bar's store: bottles (pieces) that arrived from a supplier, or that went from the
// store to the bar. A negative issue is a bottle sent back from the bar to the store.
struct StoreEntry
{
    enum Kind { Delivery, Issue };

    QDate date;
    QTime time; // none: taken at midday (see moment)
    Kind kind = Issue;
    QString key; // the EAN of a bottle kind, or the name of an appended item
    double quantity = 0; // bottles (pieces)
    bool hasCost = false;
    double cost = 0; // of the whole delivery
    QString supplier;

    // When it happened. Without a time, midday: after a count made the night before or in the small hours,
    // and before a count made that evening.
    QDateTime moment() const;
};

// The store's record of deliveries and issues, kept in the data folder as "date;kind;EAN;quantity;cost;supplier"
// lines (the date as 2026-12-09, or with the time as 2026-12-09T14:30), one a movement, so that the next count's From Stock need not be typed again from paper.
class StoreLedger
{
    Q_DECLARE_TR_FUNCTIONS(StoreLedger)

public:
    static QString fileName(); // in the data folder

    // What the store holds of one kind: delivered less issued, in bottles (pieces).
    struct Stock
    {
        QString key;
        double delivered = 0;
        double issued = 0;
        double cost = 0; // of what was delivered
        double onHand() const { return delivered - issued; }
    };

    // A missing file is an empty record; a file that cannot be read or holds a bad line is refused whole.
    bool load(const QString &path, QString *reason);
    bool save(const QString &path, QString *reason) const;

    // All or nothing: a bad line is refused naming its number and why, and the record is left as it was.
    // A header line, blank lines and lines starting with # are passed over; decimals with a comma or point.
    bool parse(const QByteArray &bytes, QString *reason);
    QByteArray toCsv() const;

    // Kept by date, a new entry after those of its day. False with the reason for an entry that cannot be
    // kept (no date, no kind, a delivery of nothing).
    bool add(const StoreEntry &entry, QString *reason);

    // By kind, in the order their first movement was recorded.
    QList<Stock> stock() const;
    // The bottles (pieces) issued to the bar per kind after `after` up to `upTo` (a count's period: after the
    // end of the count before it, up to its own end), by their moments.
    QHash<QString, double> issuedBetween(const QDateTime &after, const QDateTime &upTo) const;

    QList<StoreEntry> entries;
};

// The From Stock column of a count filled from the issues of its period.
struct StockFill
{
    Q_DECLARE_TR_FUNCTIONS(StockFill)

public:
    int filled = 0;      // rows that now hold the issues
    int kept = 0;        // rows left with the value the user typed
    QStringList noRow;   // kinds issued with no row in the table
    QStringList noVolume; // rows whose bottles cannot be made millilitres

    // Sets From Stock of each row (bottles by their volume into millilitres; appended items by their name,
    // in pieces) from `issued`. A row is filled only while it holds nothing or what an earlier fill put there
    // (`earlier`, by key, updated): a number the user typed is never overwritten. A row filled earlier whose
    // kind has no issue now is emptied again.
    static StockFill apply(Inventory &inventory, ItemInventory &items, const QHash<QString, double> &issued,
                           QHash<QString, double> *earlier);

    // "Rows of From Stock filled from the store's issues: 3." and what was left, for the status line; the kinds without
    // a row by their `names` (per EAN) where known.
    QString text(const QHash<QString, QString> &names = {}) const;
};
