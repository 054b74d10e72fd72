// The readers of the inventory's own files: the table file (sales table and appended items) and the overview
// file. Each input is written to a file and read by all three; whatever they read is written again with the
// program's writers and must read back equal.
#include "fuzzcheck.h"

#include "countdocument.h"
#include "inventory.h"
#include "inventorybottle.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "tablefile.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace {
QTemporaryDir *folder = nullptr;

QString writeInput(const QString &name, const QByteArray &bytes)
{
    const QString path = folder->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
    return path;
}

// The sales table's rows come from an overview; a row takes over what the file holds for its EAN. The
// harness gives it a row for every EAN the file mentions.
QList<OverviewRow> overviewFor(const QByteArray &bytes)
{
    QList<OverviewRow> rows;
    QSet<QString> seen;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("bottle"))
            continue;
        const QString ean = xml.attributes().value(QLatin1String("ean")).toString();
        if (ean.isEmpty() || seen.contains(ean))
            continue;
        seen.insert(ean);
        OverviewRow row;
        row.ean = ean;
        row.volume = 700;
        rows.append(row);
    }
    return rows;
}

void checkTableFile(const QByteArray &bytes, const QString &path)
{
    const QList<OverviewRow> overview = overviewFor(bytes);
    Inventory inventory;
    inventory.loadFromOverview(overview);
    ItemInventory items;
    CountDocument document;
    if (!CountDocument::read(path, &document).ok())
        return;
    inventory.startFrom(document.rows, document.counter, document.end);
    items.startFrom(document.items);
    inventory.calculate();
    items.calculate();

    const QString again = writeInput(QStringLiteral("again.inv"), TableFile::gather(inventory, items).bytes());
    Inventory reread;
    reread.loadFromOverview(overview);
    ItemInventory rereadItems;
    CountDocument rereadDocument;
    FUZZ_CHECK(CountDocument::read(again, &rereadDocument).ok());
    reread.startFrom(rereadDocument.rows, rereadDocument.counter, rereadDocument.end);
    rereadItems.startFrom(rereadDocument.items);
    FUZZ_CHECK(reread.counter == inventory.counter);
    FUZZ_CHECK(reread.timeStart.toMSecsSinceEpoch() == inventory.timeEnd.toMSecsSinceEpoch());
    FUZZ_CHECK(reread.rows.size() == inventory.rows.size());
    for (int i = 0; i < reread.rows.size(); ++i) {
        const SalesRow &a = inventory.rows.at(i);
        const SalesRow &b = reread.rows.at(i);
        FUZZ_CHECK(b.sellUnit == a.sellUnit);
        FUZZ_CHECK(b.pricePerUnit == a.pricePerUnit);
        FUZZ_CHECK(b.initialQuantity == a.finalQuantity);
    }
    FUZZ_CHECK(rereadItems.rows.size() == items.rows.size());
    for (int i = 0; i < items.rows.size(); ++i) {
        const AppendedItem &a = items.rows.at(i);
        const AppendedItem &b = rereadItems.rows.at(i);
        FUZZ_CHECK(b.name == a.name);
        FUZZ_CHECK(b.sellUnit == a.sellUnit);
        FUZZ_CHECK(b.pricePerUnit == a.pricePerUnit);
        FUZZ_CHECK(b.initialQuantity == a.finalQuantity);
    }
}

void checkOverviewFile(const QString &path)
{
    QList<InventoryBottle> weighings;
    if (!InventoryBottleList::loadFromXML(path, weighings))
        return;
    InventoryBottleList list;
    for (const InventoryBottle &w : qAsConst(weighings)) {
        OverviewRow row;
        row.ean = w.ean;
        row.weight = w.weight;
        list.rows.append(row);
    }
    const QString again = writeInput(QStringLiteral("again.xml"), list.toXML());
    QList<InventoryBottle> reread;
    FUZZ_CHECK(InventoryBottleList::loadFromXML(again, reread));
    FUZZ_CHECK(reread.size() == weighings.size());
    for (int i = 0; i < reread.size(); ++i)
        FUZZ_CHECK(reread.at(i).ean == weighings.at(i).ean && reread.at(i).weight == weighings.at(i).weight);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
    static QTemporaryDir dir;
    if (!dir.isValid())
        std::abort();
    folder = &dir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const QString path = writeInput(QStringLiteral("input"), bytes);
    checkTableFile(bytes, path);
    checkOverviewFile(path);
    return 0;
}
