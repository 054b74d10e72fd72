#pragma once

#include "bottle.h"

#include <QHash>
#include <QList>
#include <QLoggingCategory>

struct DocumentDamage;

// Builds local date-times from their fields. A local date-time costs the C library a time-zone lookup each
// time it is built; on a day (or in an hour) without an offset change the offset is fixed, so it is looked
// up once per day (or hour) and the date-time is held with that fixed offset.
class LocalTimes
{
public:
    QDateTime make(const QDate &date, const QTime &time);
    // "yyyy-MM-dd hh:mm:ss" exactly, else an invalid date-time.
    QDateTime fromText(const QString &text);
    QDateTime fromLatin1(const char *text, int size);

private:
    QHash<qint64, int> offsets; // local day or hour -> offset from UTC in seconds, or `unsteady`
};

// Lets the first few warnings of one kind through and counts the rest, so that a damaged file cannot fill
// the log with millions of lines.
class LogLimit
{
public:
    explicit LogLimit(const QLoggingCategory &category, qint64 shown = 10)
        : category(category), shown(shown)
    {
    }
    // True while the warning just met is still to be logged.
    bool count();
    // Logs how many were not, if any.
    void reportRest(const char *what) const;

private:
    const QLoggingCategory &category;
    qint64 shown;
    qint64 seen = 0;
};

// The catalogue document's readers and writer, kept apart from the model so tests can check the fast reader
// against the general one.
namespace CatalogueDocument {
// Both readers start each record as a copy of `fresh`.
// Reads a document laid out exactly as `write` lays it out (any white space between elements). Returns false,
// with `list` in no particular state, as soon as the bytes take any other form.
bool readCanonical(const char *data, int size, const Bottle &fresh, QList<Bottle> &list, LocalTimes &times);
// The general reader: any well-formed document, records at any depth, partial records kept on an error.
void readStream(const char *data, int size, const Bottle &fresh, QList<Bottle> &list, LocalTimes &times,
                DocumentDamage *damage);
QByteArray write(const QList<Bottle> &list);
} // namespace CatalogueDocument
