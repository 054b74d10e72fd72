#include "tablefile.h"

#include "history.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "savefile.h"
#include "settings.h"
#include "tillsales.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStringList>
#include <QTextStream>

#include <algorithm>

Q_LOGGING_CATEGORY(lcTableFile, "tablefile")

namespace TableFile {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("TableFile", text);
}

// The kept number of a data folder: the last table number issued, and whether its save is under way. The
// history and the last copy alone cannot tell a number that was issued by a save that failed.
struct KeptNumber
{
    quint32 number = 0;
    bool saving = false;
};

QString keptNumberPath(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QLatin1String(DataFile::tableNumber));
}

KeptNumber readKeptNumber(const QString &dataFolder)
{
    KeptNumber kept;
    QFile file(keptNumberPath(dataFolder));
    if (!file.open(QIODevice::ReadOnly))
        return kept;
    const QList<QByteArray> words = file.read(64).simplified().split(' ');
    bool ok = false;
    const quint32 number = words.value(0).toUInt(&ok);
    if (!ok) {
        qCWarning(lcTableFile, "The kept table number of %s is not a number", qUtf8Printable(dataFolder));
        return kept;
    }
    kept.number = number;
    kept.saving = words.value(1) == "saving";
    return kept;
}

// The block of numbers the shared store reserved for this folder; none (first 0) without a valid one.
struct ReservedBlock
{
    quint32 first = 0;
    quint32 last = 0;
};

ReservedBlock readReservedBlock(const QString &dataFolder)
{
    QFile file(QDir(dataFolder).filePath(QLatin1String(DataFile::reservedNumbers)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> words = file.read(64).simplified().split(' ');
    bool firstOk = false;
    bool lastOk = false;
    const ReservedBlock block{words.value(0).toUInt(&firstOk), words.value(1).toUInt(&lastOk)};
    if (!firstOk || !lastOk || block.first == 0 || block.last < block.first) {
        qCWarning(lcTableFile, "The reserved table numbers of %s are not readable", qUtf8Printable(dataFolder));
        return {};
    }
    return block;
}

bool writeKeptNumber(const QString &dataFolder, const KeptNumber &kept, QString *reason)
{
    QByteArray bytes = QByteArray::number(kept.number);
    if (kept.saving)
        bytes += " saving";
    return writeFileWhole(keptNumberPath(dataFolder), bytes + '\n', reason);
}
} // namespace

Carried open(Inventory &inventory, ItemInventory &items, const QList<OverviewRow> &overview,
             const QString &lastCopy, QString *message, const QDateTime &end, quint32 corrects)
{
    inventory.loadFromOverview(overview);
    CountDocument last;
    CountDocument::Reading reading;
    reading.result = CountDocument::Result::Missing;
    if (!lastCopy.isEmpty())
        reading = CountDocument::read(lastCopy, &last);
    inventory.currency = -1;
    inventory.savedAs = 0;
    inventory.opening = reading.result == CountDocument::Result::Missing;
    inventory.timeEnd = end;
    inventory.timeStart = end;
    Carried carried = Carried::Carried;
    QString text;
    switch (reading.result) {
    case CountDocument::Result::Read:
        if (corrects != 0 && last.counter == corrects) {
            // The last table was made from this very download: counted from its end, every sale would be zero
            // and would replace the real figures. A correction starts where that table started.
            for (SalesRow &row : last.rows)
                row.finalQuantity = row.initialQuantity;
            for (AppendedItem &item : last.items)
                item.finalQuantity = item.initialQuantity;
            inventory.startFrom(last.rows, last.counter, last.start.isValid() ? last.start : end);
            inventory.opening = last.opening;
        } else {
            inventory.startFrom(last.rows, last.counter, last.end);
        }
        items.startFrom(last.items);
        // The carried prices are in the currency they were typed in: euro prices read as crowns would put
        // the takings out by the exchange rate.
        if (last.currency >= 0)
            Settings::setCurrency(last.currency);
        break;
    case CountDocument::Result::Missing:
        items.startFrom({});
        carried = Carried::Nothing;
        break;
    case CountDocument::Result::Unreadable:
        items.startFrom({});
        carried = Carried::Unreadable;
        text =
            tr("The last saved table %1 cannot be read: %2\n\nNothing is carried over from it, so every "
               "initial quantity is zero. This is not the first count: make the file readable and open the "
               "sales table again, or use Import Table.")
                .arg(QDir::toNativeSeparators(lastCopy), reading.reason);
        break;
    case CountDocument::Result::Damaged: {
        // What was read before the damage is as good as ever; only the initial quantities, which must be
        // whole to be right, are not taken.
        for (SalesRow &row : last.rows)
            row.finalQuantity = 0;
        for (AppendedItem &item : last.items)
            item.finalQuantity = 0;
        inventory.startFrom(last.rows, reading.haveCounter ? last.counter : inventory.counter,
                            reading.haveEnd ? last.end : end);
        items.startFrom(last.items);
        carried = Carried::Damaged;
        text = tr("The last saved table %1 is damaged: %2\n\nCarried over from it: the sell units and prices "
                  "of the %3 rows and %4 appended items before the damage. Every initial quantity is zero; "
                  "use Import Table to take them from a saved table file.")
                   .arg(QDir::toNativeSeparators(lastCopy), reading.reason, QString::number(last.rows.size()),
                        QString::number(last.items.size()));
        if (!reading.haveCounter)
            text += QLatin1Char(' ') + tr("Its table number was lost; the next save is numbered above every "
                                          "table in the history.");
        break;
    }
    }
    if (!text.isEmpty())
        qCWarning(lcTableFile, "%s", qUtf8Printable(text));
    if (message)
        *message = text;
    inventory.calculate();
    items.calculate();
    // A count just opened holds nothing the user typed: leaving it at once loses nothing.
    inventory.modified = false;
    items.modified = false;
    return carried;
}

CountDocument::Reading importTable(Inventory &inventory, const QString &path)
{
    CountDocument document;
    const CountDocument::Reading reading = CountDocument::read(path, &document);
    if (!reading.ok())
        return reading;
    inventory.startFrom(document.rows, inventory.counter, document.end);
    inventory.opening = false;
    return reading;
}

CountDocument gather(const Inventory &inventory, const ItemInventory &items, const TillFigures *till)
{
    CountDocument document;
    document.start = inventory.timeStart;
    document.end = inventory.timeEnd;
    document.counter = inventory.counter;
    document.currency = inventory.currency < 0 ? Settings::currency() : inventory.currency;
    document.opening = inventory.opening;
    document.replaces = inventory.savedAs;
    document.rows = inventory.rows;
    document.items = items.rows;
    if (till)
        document.till = *till;
    return document;
}

void show(const CountDocument &document, Inventory &inventory, ItemInventory &items)
{
    inventory.counter = document.counter;
    inventory.timeStart = document.start;
    inventory.timeEnd = document.end;
    // A count saved before the currency was kept is shown in the current one: there is nothing better.
    inventory.currency = document.currency < 0 ? Settings::currency() : document.currency;
    items.currency = inventory.currency;
    inventory.opening = document.opening;
    inventory.savedAs = document.counter;
    inventory.showSaved(document.rows);
    items.showSaved(document.items);
}

bool writeFile(const QString &fileName, const QByteArray &bytes, QString *reason)
{
    return writeFileWhole(fileName, bytes, reason, QIODevice::WriteOnly | QIODevice::Text);
}

bool save(Inventory &inventory, ItemInventory &items, const QString &fileName, const QString &lastCopy,
          QString *reason, const TillFigures *till, QString *failedFile)
{
    const auto fail = [failedFile](const QString &file) {
        if (failedFile)
            *failedFile = file;
        return false;
    };
    if (lastCopy.isEmpty()) {
        ++inventory.counter;
        if (!writeFile(fileName, gather(inventory, items, till).bytes(), reason))
            return fail(fileName);
        inventory.savedAs = inventory.counter;
        inventory.modified = false;
        items.modified = false;
        return true;
    }

    // Above every number issued here, whatever table was imported or saved by another window since.
    const QString dataFolder = QFileInfo(lastCopy).absolutePath();
    CountDocument last;
    CountDocument::read(lastCopy, &last);
    const quint32 own = std::max({inventory.counter, last.counter, readKeptNumber(dataFolder).number});
    // A folder that shares its bar's history through the store numbers within the block the store reserved
    // for it: the history then holds the other machines' numbers too, which are theirs to go on from. A
    // block used up falls back to numbering above everything known.
    const ReservedBlock block = readReservedBlock(dataFolder);
    const quint32 number = block.first != 0 && own < block.last
                               ? std::max(own, block.first - 1) + 1
                               : std::max(own, History::highestNumber(dataFolder)) + 1;
    // Taken for good before anything is written: a save that then fails keeps it, so two documents never
    // go out with one number.
    inventory.counter = number;
    if (!writeKeptNumber(dataFolder, {number, true}, reason))
        return fail(keptNumberPath(dataFolder));
    const QByteArray bytes = gather(inventory, items, till).bytes();

    // The history copy first: it is named by its number and never replaced, so a save cut off after it
    // can be finished from it at the next start.
    QString why;
    QString kept;
    if (!History::keep(dataFolder, bytes, &why, &kept))
        qCWarning(lcTableFile, "The history keeps no copy of table %u: %s", number, qUtf8Printable(why));
    const auto withdraw = [&] {
        // The user is told the table is not saved; the history holds saved tables only.
        if (!kept.isEmpty())
            QFile::remove(kept);
        writeKeptNumber(dataFolder, {number, false}, nullptr);
    };
    for (const QString &file : {fileName, lastCopy}) {
        if (writeFile(file, bytes, reason))
            continue;
        withdraw();
        return fail(file);
    }
    if (!writeKeptNumber(dataFolder, {number, false}, &why))
        qCWarning(lcTableFile, "The end of the save of table %u is not marked: %s", number,
                  qUtf8Printable(why));
    inventory.savedAs = number;
    inventory.modified = false;
    items.modified = false;
    return true;
}

QString recover(const QString &dataFolder)
{
    const KeptNumber kept = readKeptNumber(dataFolder);
    if (!kept.saving)
        return QString();
    const QString lastCopy = QDir(dataFolder).filePath(QLatin1String(DataFile::lastTable));
    const QString copy = History::copyOf(dataFolder, kept.number);
    QString text;
    CountDocument last;
    const bool lastIsIt = CountDocument::read(lastCopy, &last).ok() && last.counter == kept.number;
    if (copy.isEmpty()) {
        text = tr("The save of table No. %1 was cut off before anything of it was kept: that table is not "
                  "saved. The next count starts from the table saved before it.")
                   .arg(kept.number);
    } else if (!lastIsIt) {
        QFile file(copy);
        QString why;
        if (!file.open(QIODevice::ReadOnly) || !writeFile(lastCopy, file.readAll(), &why)) {
            if (why.isEmpty())
                why = file.errorString();
            // The mark stays, so that the next start tries again.
            return tr("The save of table No. %1 was cut off, and the copy %2 that the next count starts "
                      "from could not be completed from the history: %3")
                .arg(kept.number)
                .arg(QDir::toNativeSeparators(lastCopy), why);
        }
        text = tr("The save of table No. %1 was cut off. The copy that the next count starts from was "
                  "completed from the history (%2); check that the file you saved the table to holds table "
                  "No. %1 as well.")
                   .arg(kept.number)
                   .arg(QDir::toNativeSeparators(copy));
    }
    QString why;
    if (!writeKeptNumber(dataFolder, {kept.number, false}, &why))
        qCWarning(lcTableFile, "The end of the save of table %u is not marked: %s", kept.number,
                  qUtf8Printable(why));
    if (!text.isEmpty())
        qCWarning(lcTableFile, "%s", qUtf8Printable(text));
    return text;
}

QByteArray salesCsv(Inventory &inventory, ItemInventory &items)
{
    QByteArray bytes;
    QTextStream out(&bytes, QIODevice::WriteOnly);
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    out.setCodec("UTF-8");
#endif
    inventory.saveToCSV(out);
    items.saveToCSV(out);
    out.flush();
    return bytes;
}

bool writeSalesCsv(const QString &fileName, Inventory &inventory, ItemInventory &items, QString *reason)
{
    return writeFileWhole(fileName, salesCsv(inventory, items), reason,
                          QIODevice::WriteOnly | QIODevice::Text);
}

} // namespace TableFile
