#include "database.h"
#include "interaction.h"
#include "inventory.h"
#include "inventorybottle.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "tablefile.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
QString ean(int i)
{
    return QStringLiteral("859%1").arg(i, 10, 10, QLatin1Char('0'));
}

QList<Bottle> catalogue(int count)
{
    QList<Bottle> bottles;
    for (int i = 0; i < count; ++i) {
        Bottle b;
        b.ean = ean(i);
        b.fullName = QStringLiteral("Bottle %1").arg(count - i);
        b.volume = 700;
        b.fullWeight = 1200;
        b.emptyWeight = 500;
        bottles.append(b);
    }
    return bottles;
}

QList<OverviewRow> overviewRows(int count)
{
    QList<OverviewRow> rows;
    for (int i = 0; i < count; ++i) {
        OverviewRow row;
        row.ean = ean(i);
        row.name = QStringLiteral("Bottle %1").arg(i);
        row.residue = 350 + i % 300;
        row.volume = 700;
        rows.append(row);
    }
    return rows;
}
} // namespace

class bench_Inventory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void overviewOf496WeighingsAgainst1500Bottles();
    void calculate1500Rows();
    void tableDocumentOf1500Rows();
    void writeTableFileOf1500Rows();
    void importTableFileOf1500Rows();

private:
    ScriptedInteraction interaction;
    QTemporaryDir tmp;
};

void bench_Inventory::initTestCase()
{
    Interaction::setInstance(&interaction);
}

void bench_Inventory::overviewOf496WeighingsAgainst1500Bottles()
{
    Database database;
    database.setBottles(catalogue(1500));
    QList<InventoryBottle> weighings;
    for (int i = 0; i < 496; ++i) {
        InventoryBottle w;
        // Spread over the catalogue, with every fiftieth bottle weighed twice.
        w.ean = ean(i % 50 == 49 ? ((i - 1) * 7) % 1500 : (i * 7) % 1500);
        w.weight = 600 + i % 600;
        weighings.append(w);
    }
    InventoryBottleList list;
    QBENCHMARK
    {
        list.setInventory(weighings, &database);
    }
    QCOMPARE(list.rows.size(), 496);
    QVERIFY(interaction.asked.isEmpty());
}

void bench_Inventory::calculate1500Rows()
{
    Inventory inventory;
    inventory.loadFromOverview(overviewRows(1500));
    for (SalesRow &row : inventory.rows)
        row.pricePerUnit = 25;
    QBENCHMARK
    {
        inventory.calculate();
    }
}

void bench_Inventory::tableDocumentOf1500Rows()
{
    Inventory inventory;
    ItemInventory items;
    inventory.loadFromOverview(overviewRows(1500));
    inventory.calculate();
    QBENCHMARK
    {
        TableFile::gather(inventory, items).bytes();
    }
}

// Includes the flush to disk that makes the save safe against a power cut.
void bench_Inventory::writeTableFileOf1500Rows()
{
    Inventory inventory;
    ItemInventory items;
    inventory.loadFromOverview(overviewRows(1500));
    inventory.calculate();
    const QString file = tmp.filePath(QStringLiteral("bench.inv"));
    QBENCHMARK
    {
        QVERIFY(TableFile::writeFile(file, TableFile::gather(inventory, items).bytes()));
    }
}

void bench_Inventory::importTableFileOf1500Rows()
{
    Inventory saved;
    ItemInventory items;
    saved.loadFromOverview(overviewRows(1500));
    saved.calculate();
    const QString file = tmp.filePath(QStringLiteral("import.inv"));
    QVERIFY(TableFile::writeFile(file, TableFile::gather(saved, items).bytes()));

    Inventory inventory;
    inventory.loadFromOverview(overviewRows(1500));
    QBENCHMARK
    {
        QVERIFY(TableFile::importTable(inventory, file).ok());
    }
}

QTEST_MAIN(bench_Inventory)
#include "bench_inventory.moc"
