#include "tablefile.h"

#include "inventory.h"
#include "iteminventory.h"

#include <QBuffer>
#include <QSaveFile>
#include <QXmlStreamWriter>

namespace TableFile {

QByteArray document(Inventory &inventory, ItemInventory &items)
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
    writer.writeEndElement();
    writer.writeEndDocument();
    return bytes;
}

bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool save(Inventory &inventory, ItemInventory &items, const QString &fileName, const QString &lastCopy)
{
    const QByteArray bytes = document(inventory, items);
    if (!writeFile(fileName, bytes) || !writeFile(lastCopy, bytes))
        return false;
    inventory.modified = false;
    items.modified = false;
    return true;
}

void continueFrom(Inventory &inventory, ItemInventory &items, const QString &lastCopy)
{
    // A missing or foreign file simply carries nothing over.
    inventory.import(lastCopy);
    inventory.calculate();
    items.load(lastCopy);
    items.calculate();
}

} // namespace TableFile
