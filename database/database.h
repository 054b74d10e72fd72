#pragma once

#include "bottle.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QStringList>


// Where and why a catalogue document could not be read to its end. The records read before the fault are
// kept, so a caller that learns of the damage can warn and keep the damaged file instead of saving over it.
struct DocumentDamage
{
    bool damaged = false;
    qint64 line = 0;
    qint64 column = 0;
    QString reason;

    QString toString() const; // "line L, column C: reason", empty when undamaged
};

// The bottle catalogue as an editable table: one row per kind of bottle.
class Database : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        EanColumn,
        DisplayNameColumn,
        FullNameColumn,
        VolumeColumn,
        FullWeightColumn,
        EmptyWeightColumn,
        CorrectionColumn,
        UseInInventoryColumn,
        ColumnCount
    };

    explicit Database(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // A new record with the given EAN at `row` (clamped to the table).
    bool insertBottle(int row, const QString &ean);
    bool removeBottle(int row);
    // Appends a copy of `bottle` as the new last row.
    void appendBottle(const Bottle &bottle);
    // Replaces the whole list as one model reset. Code that fills `bottles` from elsewhere goes through
    // this, so views and the EAN index follow.
    void setBottles(const QList<Bottle> &list);
    // Tells views and the EAN index that fields of row `row` were changed directly in `bottles`.
    void bottleChanged(int row);
    // Takes the full and empty weight and both dates of an update's record into row `row`, which keeps its
    // EAN, names and the rest. False for a row outside the table.
    bool takeUpdate(int row, const Bottle &update);

    // The first record whose EAN equals `ean` exactly, or null. Valid until the list changes its structure.
    Bottle *findByEan(const QString &ean);
    const Bottle *findByEan(const QString &ean) const;
    // Row of that record, or -1.
    int rowOfEan(const QString &ean) const;

    // Reads a catalogue document (decrypting it first when asked) and replaces the list. False only when
    // the file cannot be opened; `damage` (optional) learns whether the document could be read to its end.
    bool loadFromFile(const QString &path, bool decrypt = false, DocumentDamage *damage = nullptr);
    // Writes the list as a catalogue document, encrypted when asked. The previous file stays whole unless
    // the new one was written completely; returns whether it was, and `reason` (optional) learns why not.
    bool saveToFile(const QString &path, bool encrypt = false, QString *reason = nullptr) const;
    // Clears `list` and fills it from a catalogue document. Always returns true; a malformed document
    // yields the records read before the fault, reported through `damage`.
    static bool parse(const QByteArray &bytes, QList<Bottle> &list, DocumentDamage *damage = nullptr);
    // The catalogue document of `list`, as written by saveToFile.
    static QByteArray toDocument(const QList<Bottle> &list);

    // The records of CSV import bytes. A volume or weight outside what the station can hold reads as 0;
    // `outOfRange` (optional) learns each such line ("line 3: full weight 70000").
    static QList<Bottle> parseCsv(const QByteArray &bytes, QStringList *outOfRange = nullptr);

    // The EAN as the station gives it back: it keeps all but the last four digits as one number, so the
    // leading zeros of an EAN are lost ("0012000637681", the EAN-13 form of the UPC-A "012000637681",
    // is held as "12000637681" like it). An EAN that is not all digits is given as it is.
    static QString stationEan(const QString &ean);
    // One line per row whose EAN the station would hold as the EAN of an earlier row ("rows 2 and 5:
    // 012000637681 and 0012000637681 are one EAN to Quarmel"), at most `limit`, then how many more.
    static QStringList sameStationEans(const QList<Bottle> &bottles, int limit = 10);
    // The GS1 check digit the last digit of `ean` should be: the other digits weighted 3 and 1 from the
    // right; -1 for an EAN that is not 8 to 14 digits.
    static int checkDigit(const QString &ean);
    // One line per row whose last digit is not its check digit (a mistyped code, weighed never), at most
    // `limit`, then how many more.
    static QStringList checkDigitWarnings(const QList<Bottle> &bottles, int limit = 10);

    // Date-time text of the catalogue files, "yyyy-MM-dd hh:mm:ss"; empty for an invalid date-time.
    static QString dateTimeToText(const QDateTime &dateTime);

    QList<Bottle> bottles;
    bool locked = true;

private:
    void rebuildIndex() const;
    void invalidateIndex() { indexValid = false; }

    // First row of each EAN. Rebuilt lazily after structural changes; appends keep it current.
    mutable QHash<QString, int> eanIndex;
    mutable int indexedSize = -1;
    mutable bool indexValid = false;
};
