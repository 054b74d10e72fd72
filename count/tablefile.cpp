#include "tablefile.h"

#include "history.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "savefile.h"
#include "tillsales.h"

#include <QBuffer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStringList>
#include <QTextStream>
#include <QXmlStreamWriter>

Q_LOGGING_CATEGORY(lcTableFile, "tablefile")

namespace TableFile {

Carried open(Inventory &inventory, ItemInventory &items, const QList<OverviewRow> &overview,
             const QString &lastCopy)
{
    inventory.loadFromOverview(overview);
    Inventory::ErrCode imported = Inventory::FileNotFound;
    if (!lastCopy.isEmpty())
        imported = inventory.import(lastCopy);
    inventory.calculate();
    // Nothing of a damaged copy is carried, not even the appended items before the fault.
    if (imported == Inventory::NoError)
        items.load(lastCopy);
    else
        items.removeRows(0, items.rowCount());
    items.calculate();
    // A count just opened holds nothing the user typed: leaving it at once loses nothing.
    inventory.modified = false;
    items.modified = false;
    switch (imported) {
    case Inventory::NoError:
        return Carried::Carried;
    case Inventory::FileNotFound:
        return Carried::Nothing;
    case Inventory::FormatError:
        break;
    }
    qCWarning(lcTableFile, "The last saved table %s is not an inventory table", qUtf8Printable(lastCopy));
    return Carried::Damaged;
}

QByteArray document(Inventory &inventory, ItemInventory &items, const TillFigures *till)
{
    ++inventory.counter;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("inventory"));
    inventory.writeXML(writer);
    items.writeXML(writer);
    if (till)
        TillSales::writeXML(writer, *till);
    writer.writeEndElement();
    writer.writeEndDocument();
    return bytes;
}

bool writeFile(const QString &fileName, const QByteArray &bytes, QString *reason)
{
    return writeFileWhole(fileName, bytes, reason, QIODevice::WriteOnly | QIODevice::Text);
}

bool save(Inventory &inventory, ItemInventory &items, const QString &fileName, const QString &lastCopy,
          QString *reason, const TillFigures *till, QString *failedFile)
{
    const QByteArray bytes = document(inventory, items, till);
    QStringList files{fileName};
    if (!lastCopy.isEmpty())
        files.append(lastCopy);
    for (const QString &file : qAsConst(files)) {
        if (writeFile(file, bytes, reason))
            continue;
        if (failedFile)
            *failedFile = file;
        return false;
    }
    // The table is saved once the two files are; a history that cannot take its copy must not make the
    // user save again under the next number.
    QString why;
    if (!lastCopy.isEmpty() && !History::keep(QFileInfo(lastCopy).absolutePath(), bytes, &why))
        qCWarning(lcTableFile, "The history keeps no copy of table %u: %s", inventory.counter,
                  qUtf8Printable(why));
    inventory.modified = false;
    items.modified = false;
    return true;
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
