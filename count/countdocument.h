#pragma once

#include "inventory.h"
#include "iteminventory.h"
#include "tillsales.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// One saved count as a whole: its period, table number, currency, sales rows, appended items and till
// figures. Every table file is read by `read` or `parse` and written by `bytes`, so a count reads back as
// it was saved, or the reading says what was lost.
struct CountDocument
{
    QDateTime start; // the period of the count
    QDateTime end;
    quint32 counter = 0;  // the table number
    int currency = -1;    // Settings::Currency; -1 when the file does not say (saved by an older program)
    bool opening = false; // the first count of a bar: it sets the stock and is no sales period
    quint32 replaces = 0; // the table number this one corrects, or 0
    QList<SalesRow> rows;
    QList<AppendedItem> items;
    TillFigures till;

    double alcohol() const; // the sales of the rows, as saved
    double itemSales() const;

    // How a reading went. What was read before a fault stays in the document; `reason` says what was lost
    // and why, ready to show.
    enum class Result {
        Read,       // whole
        Missing,    // there is no such file
        Unreadable, // the file is there but cannot be read; `reason` is the system's
        Damaged,    // the file is read up to a fault
    };
    struct Reading
    {
        Result result = Result::Read;
        QString reason;
        bool haveCounter = false; // whether the table number was read
        bool haveEnd = false;     // whether the period end was read
        bool ok() const { return result == Result::Read; }
    };

    static Reading read(const QString &path, CountDocument *document);
    static Reading parse(const QByteArray &bytes, CountDocument *document);
    // The table file. The elements of the sales rows and appended items are laid out as every earlier copy of
    // the program reads them; what was added later goes where those readers pass over it.
    QByteArray bytes() const;
};
